#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "text/TextReader.h"

namespace quelvar {

using LineSink = std::function<void(std::string_view)>;

// Splits a program text into its lines, in order, as its bytes arrive. CR LF, a lone CR and a
// lone LF each end a line (LF CR is two ends), a byte 0 ends the text, and a line end at the very
// end adds no empty line. Every other byte, 26 included, stays in its line. Only a line that
// spans two pieces is copied; the rest go out from the pieces themselves.
class ProgramTextSplitter {
 public:
  explicit ProgramTextSplitter(LineSink line) : line_(std::move(line)) {}
  void Feed(std::string_view bytes);
  // Hands out the last line, when the text does not end with a line end.
  void Finish();

 private:
  void Hold(std::string_view bytes);
  void Emit(std::string_view tail);

  LineSink line_;
  std::string partial_;  // the start of a line whose end has not arrived yet
  bool afterCR_ = false;
  bool ended_ = false;
};

void SplitProgramText(std::string_view text, const LineSink& line);
// The same, reading `source` a piece at a time, so that no more than a line is ever held.
void SplitProgramText(ByteSource& source, const LineSink& line);

}  // namespace quelvar
