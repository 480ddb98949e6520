// Runs the program's connection test on one connection, as the program runs it, and prints for
// each test "ok" or "failed" and its duration in microseconds. The first test of a process
// includes loading the SNMP module and starting the library, as the first test the operator
// runs does. Driven by bench/snmp_test_vs_snmpget.py.
//
//   bench_snmp_connection_driver TIMEOUT RETRIES REPEAT ADDRESS PORT VERSION COMMUNITY USER
//                                AUTH AUTHPASSWORD PRIVACY PRIVACYPASSWORD
// VERSION, AUTH and PRIVACY are the codes of config.cfg (0, 1, 2).
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "config/uConstants.h"
#include "connections/connection_test.h"

int main(int argc, char** argv) {
  if (argc != 13) {
    std::fprintf(stderr,
                 "usage: %s TIMEOUT RETRIES REPEAT ADDRESS PORT VERSION COMMUNITY USER AUTH AUTHPASSWORD "
                 "PRIVACY PRIVACYPASSWORD\n",
                 argv[0]);
    return 2;
  }
  Setup.Timeout = std::atoi(argv[1]);
  Setup.Retries = std::atoi(argv[2]);
  const int repeat = std::atoi(argv[3]);
  const THost host{argv[4],           static_cast<std::uint16_t>(std::atoi(argv[5])),
                   argv[7],           std::atoi(argv[6]),
                   argv[8],           std::atoi(argv[9]),
                   argv[10],          std::atoi(argv[11]),
                   argv[12]};
  for (int i = 0; i < repeat; ++i) {
    const auto start = std::chrono::steady_clock::now();
    const bool ok = connections::TestHost(host);
    const auto us =
        std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::steady_clock::now() - start).count();
    std::printf("%s %lld\n", ok ? "ok" : "failed", static_cast<long long>(us));
  }
  return 0;
}
