#include "runner/Godel.h"

namespace quelvar::godel {
namespace {

using Op = ProgramLine::Op;

void CheckExponent(const Number& e) {
  if (e.AtLeast(kMaxBits)) {
    throw GodelError("it needs 2^" + e.Decimal() + ", a number of more than " +
                     std::to_string(kMaxBits) + " binary digits");
  }
}

// 2^e, when e keeps the result within the bound.
Number Power(const Number& e) {
  CheckExponent(e);
  return e.Library().PowerOfTwo(e.Low());
}

// pi's inverse: the m and n of x = 2^m (2n+1) - 1.
std::pair<uint64_t, uint64_t> Unpair(uint64_t x) {
  const uint64_t y = x + 1;
  const int m = __builtin_ctzll(y);
  return {static_cast<uint64_t>(m), ((y >> m) - 1) / 2};
}

int32_t Operand(uint64_t value) {
  return static_cast<int32_t>(value + 1);
}

}  // namespace

Number Pi(const Number& m, const Number& n) {
  return Power(m) * (2 * n + 1) - 1;
}

bool HasNumber(const ProgramLine& line) {
  switch (line.op) {
    case Op::kZero:
    case Op::kSuccessor:
      return line.n >= 1;
    case Op::kTransfer:
      return line.m >= 1 && line.n >= 1;
    case Op::kJump:
      return line.m >= 1 && line.n >= 1 && line.q >= 1;
    case Op::kNothing:
      break;
  }
  return false;
}

Number Beta(const Gmp& gmp, const ProgramLine& line) {
  if (!HasNumber(line)) throw GodelError("the line has no number");
  // In 64 bits: an operand the line does not use may be any 32-bit value.
  const Number m = gmp.Of(int64_t{line.m} - 1), n = gmp.Of(int64_t{line.n} - 1),
               q = gmp.Of(int64_t{line.q} - 1);
  switch (line.op) {
    case Op::kZero:
      return 4 * n;
    case Op::kSuccessor:
      return 4 * n + 1;
    case Op::kTransfer:
      return 4 * Pi(m, n) + 2;
    default:
      return 4 * Pi(Pi(m, n), q) + 3;
  }
}

Number Gamma(const Gmp& gmp, const std::vector<Number>& betas) {
  // The exponents rise, so each term is one bit of gamma + 1.
  Number sum = gmp.Of(0), exponent = gmp.Of(-1);
  for (const Number& beta : betas) {
    exponent += beta + 1;
    CheckExponent(exponent);
    sum.SetBit(exponent.Low());
  }
  return sum - 1;
}

ProgramLine DecodeBeta(uint64_t beta) {
  const uint64_t u = beta / 4;
  switch (beta % 4) {
    case 0:
      return {Op::kZero, 0, Operand(u), 0};
    case 1:
      return {Op::kSuccessor, 0, Operand(u), 0};
    case 2: {
      const auto [m, n] = Unpair(u);
      return {Op::kTransfer, Operand(m), Operand(n), 0};
    }
    default: {
      const auto [mn, q] = Unpair(u);
      const auto [m, n] = Unpair(mn);
      return {Op::kJump, Operand(m), Operand(n), Operand(q)};
    }
  }
}

std::vector<ProgramLine> DecodeGamma(const Number& n) {
  if (n.Sign() < 0) throw GodelError("a program's number is 0 or more");
  const Number sum = n + 1;
  if (sum.Bits() > kMaxBits) {
    throw GodelError("numbers of more than " + std::to_string(kMaxBits) +
                     " binary digits are not decoded");
  }
  // The set bits of n + 1 are the partial sums a1+...+ai+i-1: beta is the gap before each.
  std::vector<ProgramLine> lines;
  uint64_t next = 0;
  for (uint64_t bit = sum.NextOne(0); bit != Number::kNoBit; bit = sum.NextOne(bit + 1)) {
    lines.push_back(DecodeBeta(bit - next));
    next = bit + 1;
  }
  return lines;
}

std::string LineText(const ProgramLine& line) {
  switch (line.op) {
    case Op::kZero:
      return "Z(" + std::to_string(line.n) + ")";
    case Op::kSuccessor:
      return "S(" + std::to_string(line.n) + ")";
    case Op::kTransfer:
      return "T(" + std::to_string(line.m) + "," + std::to_string(line.n) + ")";
    case Op::kJump:
      return "J(" + std::to_string(line.m) + "," + std::to_string(line.n) + "," +
             std::to_string(line.q) + ")";
    case Op::kNothing:
      break;
  }
  return "nothing";
}

std::string HumanForm(const Number& gamma, size_t digits) {
  const Number sum = gamma + 1;
  std::string text = std::to_string(digits) + " decimal digits, " + std::to_string(gamma.Bits()) +
                     " binary digits: ";
  for (uint64_t bit = sum.NextOne(0); bit != Number::kNoBit; bit = sum.NextOne(bit + 1)) {
    text += "2^" + std::to_string(bit) + " + ";
  }
  return text.substr(0, text.size() - 3) + " - 1";
}

}  // namespace quelvar::godel
