#include "text/ProgramLine.h"

#include <algorithm>

#include "text/ValInteger.h"

namespace quelvar {
namespace {

// Program lines take a number's value whatever the conversion thought of the text.
int32_t Operand(std::string_view text) {
  return ValInteger(text).value;
}

}  // namespace

// Cut by position, so the brackets are never looked at.
std::string_view CutOperand(std::string_view line) {
  return line.size() > 3 ? line.substr(2, line.size() - 3) : std::string_view();
}

Field NextField(std::string_view line, size_t& pos, char delimiter) {
  const size_t start = std::min(pos, line.size());
  size_t end = start;
  while (end < line.size() && line[end] != delimiter) ++end;
  pos = end + 1;
  return {line.substr(start, end - start), end < line.size()};
}

ProgramLine DecodeProgramLine(std::string_view line) {
  using Op = ProgramLine::Op;
  ProgramLine decoded;
  // Fields of T and J are scanned from the third character on.
  size_t pos = 2;
  switch (line.empty() ? '\0' : line[0]) {
    case 'Z':
      decoded.op = Op::kZero;
      decoded.n = Operand(CutOperand(line));
      break;
    case 'S':
      decoded.op = Op::kSuccessor;
      decoded.n = Operand(CutOperand(line));
      break;
    case 'T':
      decoded.op = Op::kTransfer;
      decoded.m = Operand(NextField(line, pos, ',').text);
      decoded.n = Operand(NextField(line, pos, ')').text);
      break;
    case 'J':
      decoded.op = Op::kJump;
      decoded.m = Operand(NextField(line, pos, ',').text);
      decoded.n = Operand(NextField(line, pos, ',').text);
      decoded.q = Operand(NextField(line, pos, ')').text);
      break;
    default:
      break;
  }
  return decoded;
}

}  // namespace quelvar
