#pragma once

#include <cstddef>
#include <memory>
#include <string_view>

namespace quelvar {

// Buffered output to a file descriptor that remembers whether every byte reached it, so that a
// report lost to a full disk or a closed stream is not taken for success. Large writes go out
// whole, many small ones (a trace) in one write a buffer. It is not a std::streambuf: building one
// builds the C++ locale, which a short run never needs (runner::Output makes one when asked).
class FdOutput final {
 public:
  explicit FdOutput(int fd);
  ~FdOutput();
  FdOutput(const FdOutput&) = delete;
  FdOutput& operator=(const FdOutput&) = delete;

  // Nothing is written once a write has failed.
  void Write(std::string_view bytes);
  // Writes out what is buffered; false when any write failed.
  bool Flush();
  // Writes out what is buffered, then closes the descriptor; false when any write or the close
  // failed. `Error` tells the errno.
  bool Close();
  int Error() const { return error_; }

 private:
  void WriteAll(const char* bytes, size_t size);

  int fd_;
  std::unique_ptr<char[]> buffer_;  // not zero-filled; none until the first byte
  size_t used_ = 0;
  int error_ = 0;
  bool closed_ = false;
};

}  // namespace quelvar
