#pragma once

#include <cstdint>
#include <filesystem>
#include <map>
#include <stdexcept>
#include <string>
#include <vector>

namespace quelvar::runner {

// A program built from programs. A source holds program lines and lines
//   CALL FILE [L1,...,Ln -> L]
// (FILE relative to the source's folder), the textbook's P[L1,...,Ln -> L]: the program of FILE,
// itself expanded, runs on fresh registers M+1... above every register the caller and it use:
// L1..Ln are copied into M+1..M+n, its other registers are cleared, its lines follow with their
// registers moved up by M and their jumps renumbered (a jump past its end goes on to the copy
// out), and its R1 is copied into L. Jumps of the source to its own lines are renumbered to where
// those lines went; a jump past the source's end still leaves the program.
struct ExpandedLine {
  std::string text;
  std::string origin;  // "FILE:LINE", then " > FILE:LINE" for each call it lies in
};

struct Expansion {
  std::vector<ExpandedLine> lines;
  int32_t ownRegisters = 0;  // the highest register the source's own lines and calls name
  int32_t registers = 0;     // the highest register the expansion uses, ownRegisters at least
};

class ExpandError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Expansions stop at this many lines.
inline constexpr size_t kMaxExpandedLines = 1'000'000;

class Expander {
 public:
  // `shown` is how messages and the line map name the file.
  const Expansion& Expand(const std::filesystem::path& file, const std::string& shown);

 private:
  std::map<std::filesystem::path, Expansion> done_;
  std::vector<std::filesystem::path> calling_;
  std::vector<std::string> callingShown_;
};

// Writes NAME.rm, NAME-data.txt (the source's own registers, all 0, at most as many as the window
// lists), NAME-program.txt and the line map NAME.map, one origin a program line; CR LF ends every
// line.
void WriteExpansion(const Expansion& expansion, const std::string& descriptor,
                    const std::string& sourceShown);

}  // namespace quelvar::runner
