#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

namespace quelvar::runner {

// One grading case: the data form's values, and the registers expected once the run has ended.
struct Case {
  int32_t line = 0;                                   // in the cases file
  std::string values;                                 // V1,V2,...
  std::vector<std::pair<int32_t, int32_t>> expected;  // register, value
};

// A cases file line that is not a case: "FILE:LINE: error: TEXT".
class CaseError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Lines "V1,V2,... => R1" (the value expected of R1) or "V1,V2,... => R1=5 R3=0"; blank lines
// and lines starting with '#' are skipped. LF or CR LF end a line.
std::vector<Case> ParseCases(const std::string& text, const std::string& shownAs);

}  // namespace quelvar::runner
