#pragma once

#include <functional>
#include <string_view>

namespace quelvar {

// Splits a program text into its lines and hands each to `line`, in order. CR LF, a lone CR and
// a lone LF each end a line (LF CR is two ends), a byte 0 ends the text, and a line end at the
// very end adds no empty line. Every other byte, 26 included, stays in its line.
void SplitProgramText(std::string_view text, const std::function<void(std::string_view)>& line);

}  // namespace quelvar
