#include "runner/Godel.h"

#include <limits>

namespace quelvar::godel {
namespace {

using Op = ProgramLine::Op;

void CheckExponent(const mpz_class& e) {
  if (e >= kMaxBits) {
    throw GodelError("it needs 2^" + e.get_str() + ", a number of more than " +
                     std::to_string(kMaxBits) + " binary digits");
  }
}

// 2^e, when e keeps the result within the bound.
mpz_class Power(const mpz_class& e) {
  CheckExponent(e);
  mpz_class power;
  mpz_ui_pow_ui(power.get_mpz_t(), 2, e.get_ui());
  return power;
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

mpz_class Pi(const mpz_class& m, const mpz_class& n) {
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

mpz_class Beta(const ProgramLine& line) {
  if (!HasNumber(line)) throw GodelError("the line has no number");
  const mpz_class m = line.m - 1, n = line.n - 1, q = line.q - 1;
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

mpz_class Gamma(const std::vector<mpz_class>& betas) {
  // The exponents rise, so each term is one bit of gamma + 1.
  mpz_class sum = 0, exponent = -1;
  for (const mpz_class& beta : betas) {
    exponent += beta + 1;
    CheckExponent(exponent);
    mpz_setbit(sum.get_mpz_t(), exponent.get_ui());
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

std::vector<ProgramLine> DecodeGamma(const mpz_class& n) {
  if (n < 0) throw GodelError("a program's number is 0 or more");
  const mpz_class sum = n + 1;
  if (mpz_sizeinbase(sum.get_mpz_t(), 2) > kMaxBits) {
    throw GodelError("numbers of more than " + std::to_string(kMaxBits) +
                     " binary digits are not decoded");
  }
  // The set bits of n + 1 are the partial sums a1+...+ai+i-1: beta is the gap before each.
  std::vector<ProgramLine> lines;
  uint64_t next = 0;
  for (mp_bitcnt_t bit = mpz_scan1(sum.get_mpz_t(), 0);
       bit != std::numeric_limits<mp_bitcnt_t>::max(); bit = mpz_scan1(sum.get_mpz_t(), bit + 1)) {
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

std::string HumanForm(const mpz_class& gamma, size_t digits) {
  const mpz_class sum = gamma + 1;
  std::string text = std::to_string(digits) + " decimal digits, " +
                     std::to_string(mpz_sizeinbase(gamma.get_mpz_t(), 2)) + " binary digits: ";
  for (mp_bitcnt_t bit = mpz_scan1(sum.get_mpz_t(), 0);
       bit != std::numeric_limits<mp_bitcnt_t>::max(); bit = mpz_scan1(sum.get_mpz_t(), bit + 1)) {
    text += "2^" + std::to_string(bit) + " + ";
  }
  return text.substr(0, text.size() - 3) + " - 1";
}

}  // namespace quelvar::godel
