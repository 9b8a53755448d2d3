#pragma once

#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace quelvar::runner {

// What a case expects of its run: that it ends with the registers named, that it stalls (a jump
// to line 0 or below), or that it never halts (it reaches its line limit or the time limit).
enum class Expect { kRegisters, kStalls, kRunsForever };

// One grading case, from a line "[NAME:] V1,V2,... => EXPECT [points P] [hidden] [max-lines N]".
struct Case {
  int32_t line = 0;    // in the cases file
  std::string name;    // empty when the line gives none
  std::string values;  // V1,V2,...
  Expect expect = Expect::kRegisters;
  std::vector<std::pair<int32_t, int32_t>> expected;  // register, value
  uint32_t points = 1;
  bool hidden = false;               // for the student's eyes: the platforms that can hide it do
  std::optional<uint64_t> maxLines;  // in place of --max-lines for this case
};

// Why a line is no case; the reader puts "FILE:LINE: error: " before it.
class CaseSyntax : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Reads one case line (already trimmed, not a comment). EXPECT is R1's value ("7"), registers
// ("R1=5 R3=0"), "stalls" or "runs-forever"; the options may each stand in brackets
// ("[points 2]"). Values must reach the data form as written: numbers from -32768 to 32767 of at
// most 32 characters. Throws CaseSyntax.
Case ParseCase(std::string_view line);

// The values of "V1,V2,..." as numbers; the text must have passed ParseCase.
std::vector<int32_t> CaseValues(std::string_view values);

// "case K", or the case's own name.
std::string CaseTitle(const Case& c, uint64_t k);

// What is wrong with a data-form value, or nothing when the data form reads it as written.
std::string BadValue(std::string_view text);

}  // namespace quelvar::runner
