#include "runner/Paths.h"

#include <filesystem>

#include "platform/File.h"

namespace quelvar::runner {

std::string AbsolutePath(const std::string& name) {
  if (name.empty()) return name;
  return std::filesystem::path(platform::AbsoluteName(name)).lexically_normal().string();
}

}  // namespace quelvar::runner
