#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace quelvar {
class TForm1;
struct ProgramLine;
}  // namespace quelvar

namespace quelvar::runner {

class RunInputs;

// One thing a program's files do otherwise than they look, and what the machine will do instead.
struct Finding {
  std::string file;
  int32_t line = 0;  // 0: the whole file
  std::string text;
  friend bool operator==(const Finding&, const Finding&) = default;
};

// "FILE:LINE: warning: TEXT", or "FILE: warning: TEXT" for a whole file, as compilers say it.
std::string Diagnostic(const Finding& finding);

// A line written as the machine reads it: "S(1)", "T(1,2)", "J(1,2,3)", or "nothing".
std::string Canonical(const ProgramLine& line);

// What is odd about one program line, read exactly as the machine reads it, in a program of
// `count` lines over a data form of `registers` registers of which `shown` are listed.
std::vector<std::string> CheckLine(std::string_view text, int32_t count, int32_t registers,
                                   int32_t shown);

// What the bytes of the program text and the data form that the load named do otherwise than they
// look: a NUL that ends the program text, and each data-form value not held as written.
std::vector<Finding> CheckFiles(const TForm1& form, const RunInputs& inputs);

// Every odd line of the loaded program, and a program with no line.
std::vector<Finding> CheckLoaded(const TForm1& form, const RunInputs& inputs);

}  // namespace quelvar::runner
