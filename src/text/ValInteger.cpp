#include "text/ValInteger.h"

namespace quelvar {
namespace {

constexpr uint32_t kDecimalBound = 214748364;  // one more digit may still fit in 32 bits
constexpr uint32_t kHexBound = 0x0FFFFFFF;

int DigitValue(char c, uint32_t base) {
  int d = -1;
  if (c >= '0' && c <= '9')
    d = c - '0';
  else if (base == 16 && c >= 'A' && c <= 'F')
    d = c - 'A' + 10;
  else if (base == 16 && c >= 'a' && c <= 'f')
    d = c - 'a' + 10;
  return d;
}

// Positions are 1-based, as the error position reports them.
int32_t PositionOf(size_t index) {
  return static_cast<int32_t>(index + 1);
}

}  // namespace

ValResult ValInteger(std::string_view text) {
  if (text.empty()) return {0, 1};

  size_t i = 0;
  while (i < text.size() && text[i] == ' ') ++i;

  uint32_t base = 10;
  uint32_t bound = kDecimalBound;
  bool negative = false;
  if (i < text.size() && (text[i] == '$' || text[i] == 'x' || text[i] == 'X')) {
    base = 16;
    ++i;
  } else if (i + 1 < text.size() && text[i] == '0' && (text[i + 1] == 'x' || text[i + 1] == 'X')) {
    base = 16;
    i += 2;
  } else if (i < text.size() && (text[i] == '-' || text[i] == '+')) {
    negative = text[i] == '-';
    ++i;
  }
  if (base == 16) bound = kHexBound;

  if (i == text.size()) return {0, PositionOf(i)};

  // The accumulator never exceeds 2147483649 (decimal) or 0xFFFFFFFF (hex), so 32 bits hold it.
  uint32_t magnitude = 0;
  for (; i < text.size(); ++i) {
    const int digit = DigitValue(text[i], base);
    if (digit < 0 || magnitude > bound) {
      return {static_cast<int32_t>(magnitude), PositionOf(i)};
    }
    magnitude = magnitude * base + static_cast<uint32_t>(digit);
  }
  if (base == 16) return {static_cast<int32_t>(magnitude), 0};
  if (!negative) {
    const auto value = static_cast<int32_t>(magnitude);
    return {value, magnitude <= 2147483647u ? 0 : PositionOf(text.size() - 1)};
  }
  const auto value = static_cast<int32_t>(0u - magnitude);
  return {value, value <= 0 ? 0 : PositionOf(text.size() - 1)};
}

}  // namespace quelvar
