#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

#include "runner/CaseGrammar.h"
#include "text/TextReader.h"

namespace quelvar::runner {

// A cases file line that is not a case, or a file with none: "FILE:LINE: error: TEXT".
class CaseError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Reads a cases file a piece at a time, holding no more than one line: each a case as ParseCase
// reads it; blank lines and lines starting with '#' are skipped. CR LF, a lone CR and a lone LF
// each end a line. A line that is no case is a CaseError naming the file and the line.
class CaseReader {
 public:
  CaseReader(ByteSource& source, std::string shownAs);
  // Sets `c` to the next case; false at the end of the file.
  bool Next(Case& c);
  const std::string& ShownAs() const { return shownAs_; }

 private:
  bool NextLine(std::string& line);
  int Peek();

  ByteSource& source_;
  std::string shownAs_;
  std::vector<char> buffer_;
  size_t pos_ = 0;
  size_t filled_ = 0;
  int32_t number_ = 0;  // of the line read last
};

}  // namespace quelvar::runner
