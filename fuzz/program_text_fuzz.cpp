// The program-text splitter on any bytes: its lines joined back give the text up to the first
// byte 0, line ends aside.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "text/ProgramText.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  std::string joined;
  size_t lines = 0;
  quelvar::SplitProgramText(text, [&](std::string_view line) {
    if (line.find_first_of(std::string_view("\r\n\0", 3)) != std::string_view::npos) std::abort();
    joined.append(line);
    ++lines;
  });
  std::string expected;
  for (const char c : text.substr(0, text.find('\0'))) {
    if (c != '\r' && c != '\n') expected.push_back(c);
  }
  if (joined != expected) std::abort();
  if (lines > size) std::abort();
  return 0;
}
