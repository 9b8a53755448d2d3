#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "runner/BigNumber.h"
#include "text/ProgramLine.h"

namespace quelvar::godel {

// Programs as numbers, coded as the textbook does:
//   pi(m,n) = 2^m (2n+1) - 1, zeta(m,n,q) = pi(pi(m,n),q),
//   beta(Z(n)) = 4(n-1), beta(S(n)) = 4(n-1)+1, beta(T(m,n)) = 4 pi(m-1,n-1)+2,
//   beta(J(m,n,q)) = 4 zeta(m-1,n-1,q-1)+3,
//   gamma(I1..Is) = tau(beta(I1),...,beta(Is)), tau(a1..ak) = sum of 2^(a1+...+ai+i-1), minus 1.
// Every number is below 2^kMaxBits: a larger one, which a J with large operands easily asks for
// (2^(2^31) and more), is refused rather than built, and so is decoding one.
inline constexpr uint64_t kMaxBits = uint64_t{1} << 22;

Number Pi(const Number& m, const Number& n);
// The line must be Z, S, T or J with operands of 1 or more.
Number Beta(const Gmp& gmp, const ProgramLine& line);
Number Gamma(const Gmp& gmp, const std::vector<Number>& betas);

ProgramLine DecodeBeta(uint64_t beta);
// The program of number n, a line at least.
std::vector<ProgramLine> DecodeGamma(const Number& n);

// True when the machine reads the line as Z, S, T or J with every operand 1 or more.
bool HasNumber(const ProgramLine& line);
// "Z(1)", "T(2,3)", "J(1,2,3)".
std::string LineText(const ProgramLine& line);
// For a number too long to read: its count of decimal digits, its binary length, and gamma's
// exponent form, 2^e1 + 2^e2 + ... - 1.
std::string HumanForm(const Number& gamma, size_t digits);

}  // namespace quelvar::godel
