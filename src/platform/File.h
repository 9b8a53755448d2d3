#pragma once

#include <string>

#include "text/TextReader.h"

namespace quelvar::platform {

// A file opened for reading, closed again on every path. Only regular files are read: a folder,
// a device or a FIFO fails with "File access denied" at once, since reading one could block the
// window or never end. Failures throw InOutError with the code of the I/O error table.
class InputFile final : public ByteSource {
 public:
  // The whole name is used, as bytes. An empty name stands for standard input, read from its
  // start and only when it is a regular file (redirected from a file); otherwise it fails with the
  // invalid-handle error.
  explicit InputFile(const std::string& name);
  ~InputFile() override;
  InputFile(const InputFile&) = delete;
  InputFile& operator=(const InputFile&) = delete;

  size_t Read(char* buffer, size_t size) override;
  // Everything from the current position to the end.
  std::string ReadAll();

 private:
  friend std::string ReadProgramText(const std::string& name);
  InputFile(int fd, bool owned) : fd_(fd), owned_(owned) {}

  int fd_;
  bool owned_;
};

// Opens /dev/null as standard input when the process was started without one, so that no file
// opened later can take its place and be read for an empty data-form name.
void ReserveStandardInput();

// The whole of a program text file. Any failure to open it, an empty name included, is
// "Cannot open file NAME".
std::string ReadProgramText(const std::string& name);

}  // namespace quelvar::platform
