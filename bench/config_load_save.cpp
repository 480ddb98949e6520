// config.cfg in-process: load and save of a full configuration, and loads of 50 MB hostile
// files (deep nesting, a huge attribute, many hosts) with the process's peak memory.
//
//   build/bench_config_load_save
#include <benchmark/benchmark.h>
#include <sys/resource.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "config/config_file.h"
#include "config/uConstants.h"
#include "platform/text_encoding.h"

namespace {

namespace fs = std::filesystem;

struct Folder {
  std::string path;
  Folder() {
    fs::path dir = fs::temp_directory_path() / ("talvex-bench-config-" + std::to_string(::getpid()));
    fs::create_directories(dir);
    path = dir.string() + "/";
  }
  ~Folder() {
    std::error_code ignored;
    fs::remove_all(path, ignored);
  }
};

void FillFullSetup(const std::string& dir) {
  Setup = TSetupData{};
  Setup.AppDir = dir;
  Setup.ConfigFile = dir + "config.cfg";
  SetDefaults();
  Setup.Password = "access-password";
  Setup.Hosts = {THost{"ups1.example", 161, "public", 1, "", 0, "", 0, ""},
                 THost{"10.0.0.2", 1161, "", 2, "admin", 2, "authpassword", 2, "privpassword"}};
  Setup.Redundancy = true;
  Setup.Tasks = {true, "/usr/local/bin/before-shutdown", 7};
}

long PeakRssKb() {
  struct rusage usage {};
  ::getrusage(RUSAGE_SELF, &usage);
  return usage.ru_maxrss;
}

void BM_SaveFull(benchmark::State& state) {
  Folder folder;
  FillFullSetup(folder.path);
  for (auto _ : state) benchmark::DoNotOptimize(SaveConfiguration());
}
BENCHMARK(BM_SaveFull)->Unit(benchmark::kMicrosecond);

void BM_LoadFull(benchmark::State& state) {
  Folder folder;
  FillFullSetup(folder.path);
  SaveConfiguration();
  for (auto _ : state) benchmark::DoNotOptimize(config_file::LoadConfigurationIn(folder.path, true, false));
}
BENCHMARK(BM_LoadFull)->Unit(benchmark::kMicrosecond);

std::string Hostile(int kind) {
  const std::size_t size = 50u << 20;
  std::string text = "<Brevant><Talvex_Client><Cfg>";
  if (kind == 0) {  // deep nesting
    text += "<General>";
    while (text.size() < size / 2) text += "<a>";
    while (text.size() < size) text += "</a>";
  } else if (kind == 1) {  // one huge attribute
    text += "<Hosts><Host Address=\"";
    text.append(size, 'x');
    text += "\" SnmpPort=\"161\"/></Hosts>";
  } else {  // many hosts
    text += "<Hosts>";
    while (text.size() < size)
      text += "<Host Address=\"a\" SnmpPort=\"161\" SnmpVersion=\"1\" Authentication=\"0\" Privacy=\"0\"/>";
    text += "</Hosts><General/><Events/><Tasks/>";
  }
  return text + "</Cfg></Talvex_Client></Brevant>";
}

void BM_LoadHostile(benchmark::State& state) {
  Folder folder;
  { std::ofstream(folder.path + "config.cfg", std::ios::binary) << Hostile(static_cast<int>(state.range(0))); }
  for (auto _ : state) benchmark::DoNotOptimize(config_file::LoadConfigurationIn(folder.path, true, false));
  state.counters["peak_rss_MB"] = static_cast<double>(PeakRssKb()) / 1024.0;
}
BENCHMARK(BM_LoadHostile)->Arg(0)->Arg(1)->Arg(2)->ArgNames({"kind"})->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace

int main(int argc, char** argv) {
  platform::InitLocale();
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  return 0;
}
