// The machine: registers and the execution of one program line.
#include "form/MainForm.h"
#include "text/ProgramLine.h"

namespace quelvar {
namespace {

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
  const ProgramLine decoded = DecodeProgramLine(line);
  switch (decoded.op) {
    case ProgramLine::Op::kJump:
      InstrIndex = ReadReg(decoded.m) == ReadReg(decoded.n) ? decoded.q : NextLine(InstrIndex);
      break;
    case ProgramLine::Op::kSuccessor:
      WriteReg(decoded.n, static_cast<int16_t>(ReadReg(decoded.n) + 1));
      InstrIndex = NextLine(InstrIndex);
      break;
    case ProgramLine::Op::kTransfer:
      WriteReg(decoded.n, ReadReg(decoded.m));
      InstrIndex = NextLine(InstrIndex);
      break;
    case ProgramLine::Op::kZero:
      WriteReg(decoded.n, 0);
      InstrIndex = NextLine(InstrIndex);
      break;
    case ProgramLine::Op::kNothing:
      break;
  }
  RedrawRegsField();
}

}  // namespace quelvar
