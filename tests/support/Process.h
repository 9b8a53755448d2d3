#pragma once

#include <sys/types.h>

#include <string>

namespace quelvar::test {

// How a process ended and what it wrote.
struct Outcome {
  int status;
  std::string out;
  std::string err;
};

// Runs `program` with `arguments` through the shell; standard output goes where `output` says
// (a redirection), or to a file that the outcome reads back.
Outcome RunProgram(const std::string& program, const std::string& arguments,
                   const std::string& output = "");

// A child forked to work beside a test (a writer, a holder of a file): it dies with the test
// process, and it is ended and waited for on every path out of the test, so that nothing of it
// burns a core under the tests that come after.
class ChildProcess {
 public:
  // Forks; in the child, runs `work` and exits with its status.
  template <typename Work>
  explicit ChildProcess(Work work) : pid_(Fork()) {
    if (pid_ == 0) Exit(work());
  }
  ~ChildProcess();
  ChildProcess(const ChildProcess&) = delete;
  ChildProcess& operator=(const ChildProcess&) = delete;

 private:
  static pid_t Fork();
  [[noreturn]] static void Exit(int status);
  pid_t pid_;
};

// The whole of a file.
std::string Slurp(const std::string& path);

}  // namespace quelvar::test
