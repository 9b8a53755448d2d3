// The descriptor and data-form reader on any bytes, read in chunks of any size.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "text/MemorySource.h"
#include "text/InOutError.h"
#include "text/TextReader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  const size_t chunk = data[0] % 17 + 1;
  const std::string_view bytes(reinterpret_cast<const char*>(data) + 1, size - 1);

  // Line 1 of a descriptor: everything up to the first CR, LF or byte 26.
  {
    quelvar::MemorySource source(bytes, chunk);
    quelvar::TextReader reader(source);
    std::string line;
    reader.ReadLine(line);
    if (line != bytes.substr(0, bytes.find_first_of("\r\n\x1a"))) std::abort();
    reader.FinishLine();
    reader.ReadLine(line);
    if (line.find_first_of("\r\n\x1a") != std::string::npos) std::abort();
  }

  // The data form loop, which must make progress and end.
  quelvar::MemorySource source(bytes, chunk);
  quelvar::TextReader reader(source);
  size_t values = 0;
  try {
    do {
      reader.ReadInteger();
      reader.FinishLine();
      if (++values > bytes.size() + 1) std::abort();
    } while (!reader.AtEnd());
  } catch (const quelvar::InOutError& e) {
    if (e.code() != quelvar::kInvalidNumericInput) std::abort();
  }
  return 0;
}
