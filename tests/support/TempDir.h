#pragma once

#include <string>
#include <string_view>

namespace quelvar::test {

// A folder of its own for a test's files, removed with everything in it at the end.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  const std::string& Path() const { return path_; }
  std::string PathOf(std::string_view name) const { return path_ + "/" + std::string(name); }
  // Writes `bytes` into the file `name` and returns its full path.
  std::string Write(std::string_view name, std::string_view bytes) const;

 private:
  std::string path_;
};

// How many file descriptors the process has open now.
int OpenDescriptorCount();

}  // namespace quelvar::test
