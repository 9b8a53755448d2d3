#include "support/Process.h"

#include <sys/wait.h>

#include <cstdlib>
#include <fstream>
#include <sstream>

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

}  // namespace quelvar::test
