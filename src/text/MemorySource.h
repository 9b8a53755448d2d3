#pragma once

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string_view>

#include "text/TextReader.h"

namespace quelvar {

// Bytes in memory, read as a file is. Tests and fuzz targets hand them out `chunk` at a time, so
// that line ends and tokens straddle reads. The bytes must outlive the source.
class MemorySource final : public ByteSource {
 public:
  explicit MemorySource(std::string_view bytes, size_t chunk = SIZE_MAX)
      : bytes_(bytes), chunk_(std::max<size_t>(chunk, 1)) {}
  size_t Read(char* buffer, size_t size) override {
    const size_t n = std::min({size, chunk_, bytes_.size()});
    std::memcpy(buffer, bytes_.data(), n);
    bytes_.remove_prefix(n);
    return n;
  }

 private:
  std::string_view bytes_;
  size_t chunk_;
};

}  // namespace quelvar
