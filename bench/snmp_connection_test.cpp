// The connection test against a local snmpd, side by side with net-snmp's own snmpget doing the
// same GET (a whole process each time, as an operator would run it), for SNMPv2c and for
// SNMPv3 authPriv (SHA/AES); and a failing test against a socket that never answers, whose
// duration should be attempts x Timeout.
//
//   build/bench_snmp_connection_test
#include <benchmark/benchmark.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "config/uConstants.h"
#include "connections/connection_test.h"
#include "platform/text_encoding.h"
#include "snmp_agent.h"

namespace {

test::SnmpAgent* agent = nullptr;
std::string persistentDir;

THost V2c() { return THost{"127.0.0.1", agent->port(), "ups-community", SnmpVersion2c, "", 0, "", 0, ""}; }
THost V3() {
  return THost{"127.0.0.1", agent->port(), "", SnmpVersion3, "shaaes", AuthSHA, "shapassword", PrivAES, "aespassword"};
}

void OurTest(benchmark::State& state, THost (*host)()) {
  Setup.Timeout = 1;
  Setup.Retries = 1;
  for (auto _ : state)
    if (!connections::TestHost(host())) state.SkipWithError("the test failed");
}
BENCHMARK_CAPTURE(OurTest, v2c, V2c)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(OurTest, v3_sha_aes, V3)->Unit(benchmark::kMillisecond);

bool RunSnmpget(const std::vector<std::string>& options) {
  std::vector<std::string> args = {"snmpget", "-m", "", "-r", "0", "-t", "1"};
  args.insert(args.end(), options.begin(), options.end());
  args.push_back("127.0.0.1:" + std::to_string(agent->port()));
  args.push_back(connections::kTestObject);
  pid_t pid = ::fork();
  if (pid == 0) {
    std::vector<char*> argv;
    for (auto& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    (void)!::freopen("/dev/null", "w", stdout);
    (void)!::freopen("/dev/null", "w", stderr);
    // snmpget keeps its state in a persistent folder: a private one, not the system's.
    ::setenv("SNMP_PERSISTENT_DIR", persistentDir.c_str(), 1);
    ::execvp("snmpget", argv.data());
    ::_exit(127);
  }
  int status = 0;
  ::waitpid(pid, &status, 0);
  return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

void Snmpget(benchmark::State& state, bool v3) {
  const std::vector<std::string> options =
      v3 ? std::vector<std::string>{"-v3", "-l", "authPriv", "-u", "shaaes", "-a", "SHA", "-A", "shapassword", "-x",
                                    "AES", "-X", "aespassword"}
         : std::vector<std::string>{"-v2c", "-c", "ups-community"};
  for (auto _ : state)
    if (!RunSnmpget(options)) state.SkipWithError("snmpget failed");
}
BENCHMARK_CAPTURE(Snmpget, v2c, false)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Snmpget, v3_sha_aes, true)->Unit(benchmark::kMillisecond);

void FailingTest(benchmark::State& state) {
  Setup.Timeout = 1;
  Setup.Retries = static_cast<std::int32_t>(state.range(0));
  for (auto _ : state) {
    test::SilentSocket silent;
    auto start = std::chrono::steady_clock::now();
    connections::TestHost(THost{"127.0.0.1", silent.port(), "public", SnmpVersion2c, "", 0, "", 0, ""});
    double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    state.SetIterationTime(seconds);
    state.counters["requests"] = silent.Count();
    state.counters["deviation_%"] = (seconds / (state.range(0) * 1.0) - 1.0) * 100.0;
  }
}
BENCHMARK(FailingTest)->Arg(3)->UseManualTime()->Iterations(2)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  platform::InitLocale();
  test::SnmpAgent running;
  agent = &running;
  if (!running.Running()) return 1;
  char folder[] = "/tmp/talvex-snmpget-XXXXXX";
  if (!::mkdtemp(folder)) return 1;
  persistentDir = folder;
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  std::filesystem::remove_all(persistentDir);
  return 0;
}
