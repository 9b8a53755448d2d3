#include "runner/BigNumber.h"

#include <dlfcn.h>

#include <memory>
#include <utility>

namespace quelvar::godel {

template <typename Function>
Function Gmp::Load(const char* name) const {
  void* const symbol = dlsym(library_, name);
  if (symbol == nullptr) {
    throw GodelError(std::string("the GMP library has no ") + name + ": it is not GMP's library");
  }
  return reinterpret_cast<Function>(symbol);
}

Gmp::Gmp(const char* library) : library_(dlopen(library, RTLD_NOW | RTLD_LOCAL)) {
  if (library_ == nullptr) {
    throw GodelError(std::string("programs' numbers need the GMP library: ") + dlerror());
  }
  try {
    init_ = Load<decltype(init_)>("__gmpz_init");
    initSet_ = Load<decltype(initSet_)>("__gmpz_init_set");
    initSetSi_ = Load<decltype(initSetSi_)>("__gmpz_init_set_si");
    initSetStr_ = Load<decltype(initSetStr_)>("__gmpz_init_set_str");
    clear_ = Load<decltype(clear_)>("__gmpz_clear");
    add_ = Load<decltype(add_)>("__gmpz_add");
    addUi_ = Load<decltype(addUi_)>("__gmpz_add_ui");
    subUi_ = Load<decltype(subUi_)>("__gmpz_sub_ui");
    mul_ = Load<decltype(mul_)>("__gmpz_mul");
    mulUi_ = Load<decltype(mulUi_)>("__gmpz_mul_ui");
    cmp_ = Load<decltype(cmp_)>("__gmpz_cmp");
    cmpSi_ = Load<decltype(cmpSi_)>("__gmpz_cmp_si");
    cmpUi_ = Load<decltype(cmpUi_)>("__gmpz_cmp_ui");
    getUi_ = Load<decltype(getUi_)>("__gmpz_get_ui");
    getStr_ = Load<decltype(getStr_)>("__gmpz_get_str");
    sizeInBase_ = Load<decltype(sizeInBase_)>("__gmpz_sizeinbase");
    scan1_ = Load<decltype(scan1_)>("__gmpz_scan1");
    setBit_ = Load<decltype(setBit_)>("__gmpz_setbit");
    uiPowUi_ = Load<decltype(uiPowUi_)>("__gmpz_ui_pow_ui");
  } catch (...) {
    dlclose(library_);
    throw;
  }
}

Gmp::~Gmp() {
  dlclose(library_);
}

Number Gmp::Of(int64_t value) const {
  Number number(*this);
  initSetSi_(number.value_, value);
  return number;
}

Number Gmp::FromDecimal(const std::string& digits) const {
  Number number(*this);
  // Initialised even when the digits are refused.
  if (initSetStr_(number.value_, digits.c_str(), 10) != 0) {
    throw GodelError("'" + digits + "' is not a whole number");
  }
  return number;
}

Number Gmp::PowerOfTwo(uint64_t exponent) const {
  Number number(*this);
  init_(number.value_);
  uiPowUi_(number.value_, 2, exponent);
  return number;
}

Number::Number(const Gmp& gmp) : gmp_(&gmp) {}

Number::Number(const Number& other) : gmp_(other.gmp_) {
  gmp_->initSet_(value_, other.value_);
}

Number::Number(Number&& other) noexcept : gmp_(other.gmp_) {
  // GMP's integers move by their limbs' pointer; the one moved from is left 0.
  value_[0] = other.value_[0];
  gmp_->init_(other.value_);
}

Number& Number::operator=(Number other) noexcept {
  std::swap(gmp_, other.gmp_);
  std::swap(value_[0], other.value_[0]);
  return *this;
}

Number::~Number() {
  gmp_->clear_(value_);
}

Number Number::operator+(const Number& b) const {
  Number sum = gmp_->Of(0);
  gmp_->add_(sum.value_, value_, b.value_);
  return sum;
}

Number Number::operator+(uint64_t b) const {
  Number sum = gmp_->Of(0);
  gmp_->addUi_(sum.value_, value_, b);
  return sum;
}

Number Number::operator-(uint64_t b) const {
  Number difference = gmp_->Of(0);
  gmp_->subUi_(difference.value_, value_, b);
  return difference;
}

Number Number::operator*(const Number& b) const {
  Number product = gmp_->Of(0);
  gmp_->mul_(product.value_, value_, b.value_);
  return product;
}

Number Number::Times(uint64_t a) const {
  Number product = gmp_->Of(0);
  gmp_->mulUi_(product.value_, value_, a);
  return product;
}

Number& Number::operator+=(const Number& b) {
  gmp_->add_(value_, value_, b.value_);
  return *this;
}

bool Number::operator==(const Number& b) const {
  return gmp_->cmp_(value_, b.value_) == 0;
}

bool Number::operator==(int64_t b) const {
  return gmp_->cmpSi_(value_, b) == 0;
}

bool Number::AtLeast(uint64_t bound) const {
  return gmp_->cmpUi_(value_, bound) >= 0;
}

uint64_t Number::Low() const {
  return gmp_->getUi_(value_);
}

uint64_t Number::Bits() const {
  return gmp_->sizeInBase_(value_, 2);
}

uint64_t Number::NextOne(uint64_t from) const {
  const mp_bitcnt_t bit = gmp_->scan1_(value_, from);
  return bit == ~mp_bitcnt_t{0} ? kNoBit : bit;
}

void Number::SetBit(uint64_t bit) {
  gmp_->setBit_(value_, bit);
}

std::string Number::Decimal() const {
  // sizeinbase may count one digit too many; a sign and the terminating zero need room too.
  const size_t room = gmp_->sizeInBase_(value_, 10) + 2;
  const std::unique_ptr<char[]> text(new char[room]);
  gmp_->getStr_(text.get(), 10, value_);
  return text.get();
}

}  // namespace quelvar::godel
