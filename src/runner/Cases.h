#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "text/TextReader.h"

namespace quelvar::runner {

// One grading case: the data form's values, and the registers expected once the run has ended.
struct Case {
  int32_t line = 0;                                   // in the cases file
  std::string values;                                 // V1,V2,...
  std::vector<std::pair<int32_t, int32_t>> expected;  // register, value
};

// A cases file line that is not a case, or a file with none: "FILE:LINE: error: TEXT".
class CaseError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Reads a cases file a piece at a time, holding no more than one line: lines "V1,V2,... => R1"
// (the value expected of R1) or "V1,V2,... => R1=5 R3=0"; blank lines and lines starting with
// '#' are skipped. CR LF, a lone CR and a lone LF each end a line. A value must reach the data
// form as written: a number from -32768 to 32767 of at most 32 characters (the data form reads no
// more of a token). A case that can never pass, one register expected to hold two values, is an
// error too.
class CaseReader {
 public:
  CaseReader(ByteSource& source, std::string shownAs);
  // Sets `c` to the next case; false at the end of the file.
  bool Next(Case& c);
  const std::string& ShownAs() const { return shownAs_; }

 private:
  bool NextLine(std::string& line);
  int Peek();
  Case Parse(std::string_view line) const;

  ByteSource& source_;
  std::string shownAs_;
  std::vector<char> buffer_;
  size_t pos_ = 0;
  size_t filled_ = 0;
  int32_t number_ = 0;  // of the line read last
};

}  // namespace quelvar::runner
