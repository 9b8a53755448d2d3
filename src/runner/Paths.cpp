#include "runner/Paths.h"

#include <filesystem>
#include <system_error>

namespace quelvar::runner {

std::string AbsolutePath(const std::string& name) {
  std::error_code error;
  const std::filesystem::path path = std::filesystem::absolute(name, error);
  return error ? name : path.lexically_normal().string();
}

}  // namespace quelvar::runner
