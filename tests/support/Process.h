#pragma once

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

// The whole of a file.
std::string Slurp(const std::string& path);

}  // namespace quelvar::test
