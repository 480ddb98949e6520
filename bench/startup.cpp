// Whole-process start-up: the time from starting the program in a pseudo-terminal until its
// main menu's prompt has been drawn, and the process's peak resident memory.
//
//   build/bench_startup [--benchmark_repetitions=5]
//
// The program under test is TALVEX_PROGRAM, or talvexsetup in the build folder. It runs in a
// temporary copy of its folder, without config.cfg, with the shipped languages beside it.
#include <benchmark/benchmark.h>
#include <pty.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <string>

namespace {

namespace fs = std::filesystem;

std::string ProgramPath() {
  if (const char* p = std::getenv("TALVEX_PROGRAM")) return p;
  return TALVEX_BUILD_DIR "/talvexsetup";
}

// A private copy of the program and its languages, removed at the end.
struct ProgramCopy {
  fs::path dir;
  fs::path program;
  ProgramCopy() {
    dir = fs::temp_directory_path() / ("talvex-bench-" + std::to_string(::getpid()));
    fs::create_directories(dir);
    fs::path source = ProgramPath();
    program = dir / "talvexsetup";
    fs::copy_file(source, program, fs::copy_options::overwrite_existing);
    for (const char* module : {"talvexsetup-snmp.so", "talvexsetup-systemd.so"})
      fs::copy_file(source.parent_path() / module, dir / module, fs::copy_options::overwrite_existing);
    fs::copy(source.parent_path() / "languages", dir / "languages",
             fs::copy_options::recursive | fs::copy_options::overwrite_existing);
  }
  ~ProgramCopy() {
    std::error_code ignored;
    fs::remove_all(dir, ignored);
  }
};

// Starts the program in a pseudo-terminal, waits for the prompt, answers "Q" and reaps it.
// Returns the seconds until the prompt; peakKb gets the child's peak resident set.
double RunOnce(const fs::path& program, long& peakKb) {
  int master = -1;
  auto start = std::chrono::steady_clock::now();
  pid_t pid = ::forkpty(&master, nullptr, nullptr, nullptr);
  if (pid == 0) {
    ::setenv("LANG", "C.UTF-8", 1);
    ::execl(program.c_str(), program.c_str(), static_cast<char*>(nullptr));
    ::_exit(127);
  }
  std::string seen;
  char buffer[4096];
  double seconds = -1;
  while (seconds < 0) {
    ssize_t n = ::read(master, buffer, sizeof buffer);
    if (n <= 0) break;
    seen.append(buffer, static_cast<std::size_t>(n));
    // The menu is drawn when its selection prompt, the last thing written, has arrived.
    if (seen.size() >= 2 && seen.compare(seen.size() - 2, 2, ": ") == 0) {
      seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    }
  }
  (void)!::write(master, "Q\r", 2);
  while (::read(master, buffer, sizeof buffer) > 0) {
  }
  int status = 0;
  struct rusage usage {};
  ::wait4(pid, &status, 0, &usage);
  ::close(master);
  peakKb = usage.ru_maxrss;
  return seconds;
}

void BM_StartupToFirstMenu(benchmark::State& state) {
  ProgramCopy copy;
  long peakKb = 0, worstPeakKb = 0;
  for (auto _ : state) {
    double seconds = RunOnce(copy.program, peakKb);
    if (seconds < 0) {
      state.SkipWithError("the program ended before drawing its menu");
      break;
    }
    state.SetIterationTime(seconds);
    if (peakKb > worstPeakKb) worstPeakKb = peakKb;
  }
  state.counters["peak_rss_kB"] = static_cast<double>(worstPeakKb);
}
BENCHMARK(BM_StartupToFirstMenu)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(200);

}  // namespace

BENCHMARK_MAIN();
