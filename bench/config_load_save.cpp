// config.cfg in-process: load and save of a full configuration, and loads of hostile files
// (deep nesting, a huge attribute, many hosts, many events that never match), each at 50 MB
// (refused by its size) and just under the largest size the load accepts (parsed in full).
// For the hostile loads, peak_rss_MB is the peak resident memory of a fresh process that makes
// one such load, and extra_rss_MB what that load adds over the same process loading no file
// (the time is that of the load in the benchmark's own process).
//
//   build/bench_config_load_save
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <string_view>

#include "config/config_file.h"
#include "config/uConstants.h"
#include "platform/text_encoding.h"

namespace {

namespace fs = std::filesystem;

struct Folder {
  std::string path;
  explicit Folder(const std::string& name) {
    fs::path dir = fs::temp_directory_path() / ("talvex-bench-config-" + std::to_string(::getpid()) + "-" + name);
    fs::create_directories(dir);
    path = dir.string() + "/";
  }
  ~Folder() {
    std::error_code ignored;
    fs::remove_all(path, ignored);
  }
  Folder(const Folder&) = delete;
  Folder& operator=(const Folder&) = delete;
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

void BM_SaveFull(benchmark::State& state) {
  Folder folder("save");
  FillFullSetup(folder.path);
  for (auto _ : state) benchmark::DoNotOptimize(SaveConfiguration());
}
BENCHMARK(BM_SaveFull)->Unit(benchmark::kMicrosecond);

void BM_LoadFull(benchmark::State& state) {
  Folder folder("load");
  FillFullSetup(folder.path);
  SaveConfiguration();
  for (auto _ : state) benchmark::DoNotOptimize(config_file::LoadConfigurationIn(folder.path, true, false));
}
BENCHMARK(BM_LoadFull)->Unit(benchmark::kMicrosecond);

enum Hostility { DeepNesting, HugeAttribute, ManyHosts, ManyEvents };

const std::string kHead = "<?xml version=\"1.0\" encoding=\"utf-8\"?><Brevant><Talvex_Client><Cfg>";
const std::string kTail = "</Cfg></Talvex_Client></Brevant>";
const std::string kHost = "<Host Address=\"a\" SnmpPort=\"161\" SnmpVersion=\"1\" Authentication=\"0\" Privacy=\"0\"/>";
const std::string kEvent = "<Event Name=\"Powerfaill\" Enabled=\"1\" Value=\"1\"/>";

// A well-formed file of about size bytes, complete so that the load reads every section.
std::string Hostile(Hostility kind, std::size_t size) {
  const std::string sections = "<General><Language>english</Language></General><Tasks/>";
  const std::size_t room = size - kHead.size() - kTail.size() - sections.size() - 64;
  std::string text = kHead + sections;
  if (kind == DeepNesting) {
    const std::size_t depth = room / 7;
    text += "<Events>";
    for (std::size_t i = 0; i < depth; ++i) text += "<a>";
    for (std::size_t i = 0; i < depth; ++i) text += "</a>";
    text += "</Events>";
  } else if (kind == HugeAttribute) {
    text += "<Hosts><Host Address=\"";
    text.append(room - kHost.size(), 'x');
    text += "\" SnmpPort=\"161\" SnmpVersion=\"1\" Authentication=\"0\" Privacy=\"0\"/></Hosts><Events/>";
  } else {
    const std::string& element = kind == ManyHosts ? kHost : kEvent;
    text += kind == ManyHosts ? "<Events/><Hosts>" : "<Events>";
    for (std::size_t n = room / element.size(); n > 0; --n) text += element;
    text += kind == ManyHosts ? "</Hosts>" : "</Events>";
  }
  return text + kTail;
}

// One load in this process, then its peak resident memory in kB on stdout: run by
// PeakRssOfOneLoad as a fresh process, so that nothing of the benchmark's own memory counts.
int LoadOnceAndReportPeak(const std::string& folder) {
  platform::InitLocale();
  bool loaded = config_file::LoadConfigurationIn(folder, true, false);
  std::ifstream status("/proc/self/status");
  for (std::string line; std::getline(status, line);)
    if (line.starts_with("VmHWM:")) std::printf("%ld\n", std::strtol(line.c_str() + 6, nullptr, 10));
  return loaded ? 0 : 1;
}

// Peak resident memory, in MB, of a fresh process that makes one load from folder.
double PeakRssOfOneLoad(const std::string& folder) {
  const std::string command = "'" + fs::read_symlink("/proc/self/exe").string() + "' --load-once '" + folder + "'";
  std::unique_ptr<FILE, decltype(&::pclose)> child(::popen(command.c_str(), "r"), &::pclose);
  long kb = -1;
  if (!child || std::fscanf(child.get(), "%ld", &kb) != 1) return -1;
  return static_cast<double>(kb) / 1024.0;
}

void BM_LoadHostile(benchmark::State& state) {
  const auto kind = static_cast<Hostility>(state.range(0));
  const auto size = static_cast<std::size_t>(state.range(1));
  Folder empty("empty");
  Folder folder("hostile");
  {
    std::ofstream out(folder.path + "config.cfg", std::ios::binary);
    out << Hostile(kind, size);
  }
  const double baseline = PeakRssOfOneLoad(empty.path);
  const double peak = PeakRssOfOneLoad(folder.path);
  bool loaded = false;
  for (auto _ : state) {
    loaded = config_file::LoadConfigurationIn(folder.path, true, false);
    benchmark::DoNotOptimize(loaded);
  }
  state.counters["loaded"] = loaded;
  state.counters["file_MB"] = static_cast<double>(fs::file_size(folder.path + "config.cfg")) / (1 << 20);
  state.counters["peak_rss_MB"] = peak;
  state.counters["extra_rss_MB"] = peak - baseline;
}

void HostileCases(benchmark::internal::Benchmark* b) {
  const std::int64_t justUnderLimit = (4 << 20) - 1024, huge = 50 << 20;
  for (std::int64_t kind : {DeepNesting, HugeAttribute, ManyHosts, ManyEvents})
    for (std::int64_t size : {justUnderLimit, huge}) b->Args({kind, size});
}
BENCHMARK(BM_LoadHostile)->Apply(HostileCases)->ArgNames({"kind", "bytes"})->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  if (argc == 3 && std::string_view(argv[1]) == "--load-once") return LoadOnceAndReportPeak(argv[2]);
  platform::InitLocale();
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  return 0;
}
