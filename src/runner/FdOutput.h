#pragma once

#include <memory>
#include <streambuf>

namespace quelvar {

// Buffered output to a file descriptor that remembers whether every byte reached it, so that a
// report lost to a full disk or a closed stream is not taken for success. Large writes go out
// whole, many small ones (a trace) in one write a buffer.
class FdOutput final : public std::streambuf {
 public:
  explicit FdOutput(int fd);
  ~FdOutput() override;
  FdOutput(const FdOutput&) = delete;
  FdOutput& operator=(const FdOutput&) = delete;

  // Writes out what is buffered, then closes the descriptor; false when any write or the close
  // failed. `Error` tells the errno.
  bool Close();
  int Error() const { return error_; }

 protected:
  int_type overflow(int_type byte) override;
  std::streamsize xsputn(const char* bytes, std::streamsize size) override;
  int sync() override;

 private:
  void MakeBuffer();
  void WriteAll(const char* bytes, size_t size);

  int fd_;
  std::unique_ptr<char[]> buffer_;  // not zero-filled; none until the first byte
  int error_ = 0;
  bool closed_ = false;
};

}  // namespace quelvar
