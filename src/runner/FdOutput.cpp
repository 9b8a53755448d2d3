#include "runner/FdOutput.h"

#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace quelvar {
namespace {

constexpr size_t kBufferSize = 64 * 1024;

}  // namespace

FdOutput::FdOutput(int fd) : fd_(fd) {}

FdOutput::~FdOutput() {
  Flush();
}

void FdOutput::WriteAll(const char* bytes, size_t size) {
  while (size > 0 && error_ == 0) {
    const ssize_t written = write(fd_, bytes, size);
    if (written < 0) {
      if (errno != EINTR) error_ = errno;
      continue;
    }
    bytes += written;
    size -= static_cast<size_t>(written);
  }
}

bool FdOutput::Flush() {
  WriteAll(buffer_.get(), used_);
  used_ = 0;
  return error_ == 0;
}

// The buffer is made for the first byte: standard error, which most runs never write, then costs
// nothing.
void FdOutput::Write(std::string_view bytes) {
  if (bytes.empty()) return;
  if (bytes.size() > kBufferSize - used_ && !Flush()) return;
  if (bytes.size() >= kBufferSize) {
    WriteAll(bytes.data(), bytes.size());
    return;
  }
  if (!buffer_) buffer_.reset(new char[kBufferSize]);
  std::memcpy(buffer_.get() + used_, bytes.data(), bytes.size());
  used_ += bytes.size();
}

bool FdOutput::Close() {
  Flush();
  if (!closed_) {
    closed_ = true;
    if (close(fd_) != 0 && error_ == 0) error_ = errno;
  }
  return error_ == 0;
}

}  // namespace quelvar
