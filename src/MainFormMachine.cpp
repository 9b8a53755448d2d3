// The machine: registers and the execution of one program line.
#include <algorithm>

#include "MainForm.h"
#include "text/ValInteger.h"

namespace quelvar {
namespace {

// Program lines take a number's value whatever the conversion thought of the text.
int32_t Operand(std::string_view text) {
  return ValInteger(text).value;
}

// The operand of Z and S is cut by position: the line without its first two characters and its
// last one, so the brackets are never looked at.
std::string_view CutOperand(std::string_view line) {
  return line.size() > 3 ? line.substr(2, line.size() - 3) : std::string_view();
}

// The text from `pos` up to `delimiter`, or up to the end of the line when there is none; `pos`
// moves past the delimiter.
std::string_view NextField(std::string_view line, size_t& pos, char delimiter) {
  const size_t start = std::min(pos, line.size());
  size_t end = start;
  while (end < line.size() && line[end] != delimiter) ++end;
  pos = end + 1;
  return line.substr(start, end - start);
}

// Jump targets can be any 32-bit value, so the next line wraps rather than overflows.
int32_t NextLine(int32_t line) {
  return static_cast<int32_t>(static_cast<uint32_t>(line) + 1u);
}

}  // namespace

int16_t TForm1::ReadReg(int32_t n) const {
  if (n >= 0 && static_cast<size_t>(n) < Regs.size()) return Regs[n];
  const auto outer = OuterRegs.find(n);
  return outer == OuterRegs.end() ? 0 : outer->second;
}

void TForm1::WriteReg(int32_t n, int16_t value) {
  if (n >= 0 && static_cast<size_t>(n) < Regs.size()) {
    Regs[n] = value;
    UnshownRegs.push_back(n);
  } else {
    OuterRegs[n] = value;
  }
}

void TForm1::ANalyseCommand(std::string_view line) {
  const char op = line.empty() ? '\0' : line[0];
  // Fields of T and J are scanned from the third character on.
  size_t pos = 2;
  if (op == 'J') {
    const int32_t m = Operand(NextField(line, pos, ','));
    const int32_t n = Operand(NextField(line, pos, ','));
    const int32_t q = Operand(NextField(line, pos, ')'));
    InstrIndex = ReadReg(m) == ReadReg(n) ? q : NextLine(InstrIndex);
  }
  if (op == 'S') {
    const int32_t n = Operand(CutOperand(line));
    WriteReg(n, static_cast<int16_t>(ReadReg(n) + 1));
    InstrIndex = NextLine(InstrIndex);
  }
  if (op == 'T') {
    const int32_t m = Operand(NextField(line, pos, ','));
    const int32_t n = Operand(NextField(line, pos, ')'));
    WriteReg(n, ReadReg(m));
    InstrIndex = NextLine(InstrIndex);
  }
  if (op == 'Z') {
    WriteReg(Operand(CutOperand(line)), 0);
    InstrIndex = NextLine(InstrIndex);
  }
  RedrawRegsField();
}

}  // namespace quelvar
