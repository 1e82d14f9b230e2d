// The harness of the bench on real drivers.
//
//   realdrivers-harness run RESULTS KERNEL INITRAMFS [SESSION_SECONDS]
//       boots the machine, serves its session and keeps the results in RESULTS;
//   realdrivers-harness result RESULTS PROGRAM [--gtest_filter=TEST | --gtest_list_tests]
//       reports one test's result from that session, as ctest runs it (the guest programs'
//       launcher); listing runs the program itself, which only lists on the host.
//
// Exit status 77 means skipped: the machine could not run here, and the reason is printed.
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iostream>
#include <string>
#include <vector>

#include "tests/realdrivers/harness/Machine.h"
#include "tests/realdrivers/harness/Results.h"
#include "tests/realdrivers/harness/Session.h"

namespace {

using namespace realdrivers;

constexpr int Skipped = 77;

std::string Tail(const std::string& path, std::size_t bytes) {
  std::ifstream in(path, std::ios::binary);
  std::string text((std::istreambuf_iterator<char>(in)), {});
  return text.size() > bytes ? "..." + text.substr(text.size() - bytes) : text;
}

int Unavailable(const std::string& path, const std::string& reason) {
  std::ofstream(path + "/unavailable") << reason << '\n';
  std::cout << "The tests on real drivers are SKIPPED: " << reason << std::endl;
  return Skipped;
}

int Run(const std::string& path, const std::string& kernel, const std::string& initramfs, int seconds) {
  const ResultFolder folder(path);
  Session::Limits limits;
  if (seconds > 0) limits.session = std::chrono::seconds(seconds);
  try {
    // While working on one test, QUORVEL_BENCH_FILTER=PATTERN runs only the tests it matches.
    const char* filter = std::getenv("QUORVEL_BENCH_FILTER");
    Machine machine({kernel, initramfs, folder.MachineLog(), filter ? filter : ""});
    TestLog log;
    std::ofstream transcript(folder.SessionLog());
    Session session(machine, log, transcript, limits);
    const Session::End end = session.Run();
    const int status = machine.Finish(std::chrono::seconds(10));
    folder.WriteResults(log.Results());
    if (end == Session::End::NotBooted) {
      if (status == 127) return Unavailable(path, "qemu-system-x86_64 could not be run");
      return Unavailable(path, "the machine did not boot (" + folder.SessionLog() + "); QEMU said: " +
                                   Tail(folder.MachineLog(), 2000));
    }
    const char* problem = end == Session::End::OutOfTime  ? "the session ran out of time"
                          : end == Session::End::EndedEarly ? "the machine stopped before its session ended"
                                                            : "";
    folder.WriteSessionEnd(problem);
    int passed = 0, failed = 0, skipped = 0;
    for (const TestResult& r : log.Results()) {
      (r.outcome == Outcome::Passed ? passed : r.outcome == Outcome::Failed ? failed : skipped)++;
      if (r.outcome == Outcome::Failed) std::cout << "failed in the machine: " << r.program << " " << r.test << '\n';
    }
    std::cout << "The machine ran " << log.Results().size() << " tests: " << passed << " passed, " << failed
              << " failed, " << skipped << " skipped" << (*problem ? std::string("; ") + problem : "")
              << ". Transcript: " << folder.SessionLog() << std::endl;
    return 0;
  } catch (const std::exception& e) {
    return Unavailable(path, e.what());
  }
}

int Result(const std::string& path, const std::string& program, const std::vector<std::string>& args) {
  std::string test;
  for (const std::string& arg : args) {
    if (arg == "--gtest_list_tests") {
      std::vector<char*> argv = {const_cast<char*>(program.c_str())};
      for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
      argv.push_back(nullptr);
      execv(program.c_str(), argv.data());
      std::cerr << program << ": " << std::strerror(errno) << '\n';
      return 1;
    }
    if (arg.rfind("--gtest_filter=", 0) == 0) test = arg.substr(std::strlen("--gtest_filter="));
  }
  const ResultFolder folder(path);
  if (const auto reason = folder.Unavailable()) {
    std::cout << "SKIPPED: the machine for the tests on real drivers could not run here: " << *reason;
    return Skipped;
  }
  const std::string name = program.substr(program.find_last_of('/') + 1);
  if (const auto result = folder.Find(name, test)) {
    std::cout << result->output;
    return result->outcome == Outcome::Passed ? 0 : result->outcome == Outcome::Skipped ? Skipped : 1;
  }
  const auto problem = folder.SessionProblem();
  if (!problem) {
    std::cout << "no session of the machine ran (the test RealDriversMachine did not run)\n";
  } else {
    std::cout << "this test has no result from the machine's session"
              << (problem->empty() ? "" : ": " + *problem) << " (" << folder.SessionLog() << ")\n";
  }
  return 1;
}

}  // namespace

int main(int argc, char** argv) {
  const std::vector<std::string> args(argv + 1, argv + argc);
  if (args.size() >= 4 && args[0] == "run") return Run(args[1], args[2], args[3], args.size() > 4 ? std::stoi(args[4]) : 0);
  if (args.size() >= 3 && args[0] == "result")
    return Result(args[1], args[2], std::vector<std::string>(args.begin() + 3, args.end()));
  std::cerr << "usage: realdrivers-harness run RESULTS KERNEL INITRAMFS [SESSION_SECONDS]\n"
               "       realdrivers-harness result RESULTS PROGRAM [GTEST_ARGS...]\n";
  return 2;
}
