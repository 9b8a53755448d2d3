#pragma once

// Integers of any size for programs' numbers: GMP's, its shared library loaded only by the modes
// that make one. Most runs make none, and loading and linking the library at every start-up is a
// measurable part of a short run's time.
#include <gmp.h>

#include <cstdint>
#include <stdexcept>
#include <string>

namespace quelvar::godel {

class GodelError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

class Number;

// GMP's integer functions, from its shared library. Throws GodelError when it cannot be loaded.
class Gmp {
 public:
  explicit Gmp(const char* library = "libgmp.so.10");
  ~Gmp();
  Gmp(const Gmp&) = delete;
  Gmp& operator=(const Gmp&) = delete;

  Number Of(int64_t value) const;
  // `digits`: decimal digits only.
  Number FromDecimal(const std::string& digits) const;
  Number PowerOfTwo(uint64_t exponent) const;

 private:
  friend class Number;
  template <typename Function>
  Function Load(const char* name) const;

  void* library_;
  decltype(&mpz_init) init_;
  decltype(&mpz_init_set) initSet_;
  decltype(&mpz_init_set_si) initSetSi_;
  decltype(&mpz_init_set_str) initSetStr_;
  decltype(&mpz_clear) clear_;
  decltype(&mpz_add) add_;
  decltype(&mpz_add_ui) addUi_;
  decltype(&mpz_sub_ui) subUi_;
  decltype(&mpz_mul) mul_;
  decltype(&mpz_mul_ui) mulUi_;
  decltype(&mpz_cmp) cmp_;
  decltype(&_mpz_cmp_si) cmpSi_;
  decltype(&_mpz_cmp_ui) cmpUi_;
  decltype(&mpz_get_ui) getUi_;
  decltype(&mpz_get_str) getStr_;
  decltype(&mpz_sizeinbase) sizeInBase_;
  decltype(&mpz_scan1) scan1_;
  decltype(&mpz_setbit) setBit_;
  decltype(&mpz_ui_pow_ui) uiPowUi_;
};

// An integer; it keeps the Gmp that made it, which must outlive it. One moved from is 0.
class Number {
 public:
  // What NextOne gives when no bit is set from there on.
  static constexpr uint64_t kNoBit = ~uint64_t{0};

  Number(const Number& other);
  Number(Number&& other) noexcept;
  Number& operator=(Number other) noexcept;
  ~Number();

  Number operator+(const Number& b) const;
  Number operator+(uint64_t b) const;
  Number operator-(uint64_t b) const;
  Number operator*(const Number& b) const;
  Number Times(uint64_t a) const;
  Number& operator+=(const Number& b);
  bool operator==(const Number& b) const;
  bool operator==(int64_t b) const;

  int Sign() const { return mpz_sgn(value_); }
  bool AtLeast(uint64_t bound) const;
  // For a number of 0 or more: the number modulo 2^64.
  uint64_t Low() const;
  // The count of binary digits; 1 for 0.
  uint64_t Bits() const;
  // The first set bit at or after `from`, or kNoBit.
  uint64_t NextOne(uint64_t from) const;
  void SetBit(uint64_t bit);
  std::string Decimal() const;
  const Gmp& Library() const { return *gmp_; }

 private:
  friend class Gmp;
  explicit Number(const Gmp& gmp);  // uninitialised: the caller initialises value_

  const Gmp* gmp_;
  mpz_t value_;
};

inline Number operator*(uint64_t a, const Number& b) {
  return b.Times(a);
}

}  // namespace quelvar::godel
