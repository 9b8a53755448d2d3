#pragma once

#include <cstdint>
#include <string_view>

namespace quelvar {

// What one program line does, read from its text the way the machine reads it: the operation is
// the first character alone (upper case only), and the operands are whatever the conversion makes
// of their fields, odd texts included. Any other line does nothing but move on to the next.
struct ProgramLine {
  enum class Op : uint8_t { kNothing, kZero, kSuccessor, kTransfer, kJump };
  Op op = Op::kNothing;
  int32_t m = 0;  // the register T copies from; the first register J compares
  int32_t n = 0;  // the register Z, S and T write; the second register J compares
  int32_t q = 0;  // the line J continues at when the two are equal
  friend bool operator==(const ProgramLine&, const ProgramLine&) = default;
};

ProgramLine DecodeProgramLine(std::string_view line);

// The pieces of that reading, for whoever must say how a line was read (the checker).
// The operand of Z and S: the line without its first two characters and its last one.
std::string_view CutOperand(std::string_view line);
// A field of T or J: the text from `pos` up to `delimiter`, or up to the end of the line when
// there is none (then `delimited` is false); `pos` moves past the delimiter.
struct Field {
  std::string_view text;
  bool delimited;
};
Field NextField(std::string_view line, size_t& pos, char delimiter);

}  // namespace quelvar
