// ValInteger on any bytes, against a second, plainly written implementation of its rules.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "text/ValInteger.h"

namespace {

struct Expected {
  int32_t value;
  bool valid;
};

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

int32_t Low32(int64_t value) {
  return static_cast<int32_t>(static_cast<uint32_t>(value));
}

Expected Oracle(std::string_view text) {
  if (text.empty()) return {0, false};
  while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
  bool hex = false;
  if (!text.empty() && (text[0] == '$' || text[0] == 'x' || text[0] == 'X')) {
    hex = true;
    text.remove_prefix(1);
  } else if (text.size() >= 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
    hex = true;
    text.remove_prefix(2);
  }
  if (hex) {
    if (text.empty()) return {0, false};
    int64_t total = 0;
    for (const char c : text) {
      if (HexDigit(c) < 0 || total > 0x0FFFFFFF) return {Low32(total), false};
      total = total * 16 + HexDigit(c);
    }
    return {Low32(total), true};
  }
  bool negative = false;
  if (!text.empty() && (text[0] == '-' || text[0] == '+')) {
    negative = text[0] == '-';
    text.remove_prefix(1);
  }
  if (text.empty()) return {0, false};
  int64_t total = 0;
  for (const char c : text) {
    if (c < '0' || c > '9' || total > 214748364) return {Low32(total), false};
    total = total * 10 + (c - '0');
  }
  if (!negative) return {Low32(total), total <= INT32_MAX};
  const int32_t value = Low32(-total);
  return {value, value <= 0};
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const quelvar::ValResult got = quelvar::ValInteger(text);
  const Expected expected = Oracle(text);
  if (got.value != expected.value || (got.errorPos == 0) != expected.valid) std::abort();
  if (got.errorPos < 0 || static_cast<size_t>(got.errorPos) > size + 1) std::abort();
  return 0;
}
