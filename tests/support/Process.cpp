#include "support/Process.h"

#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>

#include <cerrno>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <stdexcept>

#include "support/TempDir.h"

namespace quelvar::test {

std::string Slurp(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

Outcome RunProgram(const std::string& program, const std::string& arguments,
                   const std::string& output) {
  const TempDir dir;
  const std::string command = program + " " + arguments + " " +
                              (output.empty() ? ">" + dir.PathOf("out") : output) + " 2>" +
                              dir.PathOf("err");
  const int status = std::system(command.c_str());
  return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, Slurp(dir.PathOf("out")),
          Slurp(dir.PathOf("err"))};
}

pid_t ChildProcess::Fork() {
  const pid_t parent = getpid();
  const pid_t pid = fork();
  if (pid < 0) throw std::runtime_error("fork failed");
  // A test process killed at its time limit takes the child with it.
  if (pid == 0 && (prctl(PR_SET_PDEATHSIG, SIGKILL) != 0 || getppid() != parent)) _exit(1);
  return pid;
}

void ChildProcess::Exit(int status) {
  _exit(status);
}

ChildProcess::~ChildProcess() {
  kill(pid_, SIGKILL);
  while (waitpid(pid_, nullptr, 0) < 0 && errno == EINTR) {
  }
}

}  // namespace quelvar::test
