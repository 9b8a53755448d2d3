#include "runner/FdOutput.h"

#include <unistd.h>

#include <cerrno>

namespace quelvar {
namespace {

constexpr size_t kBufferSize = 64 * 1024;

}  // namespace

FdOutput::FdOutput(int fd) : fd_(fd) {}

// The buffer is made for the first byte: standard error, which most runs never write, then costs
// nothing.
void FdOutput::MakeBuffer() {
  buffer_.reset(new char[kBufferSize]);
  setp(buffer_.get(), buffer_.get() + kBufferSize);
}

FdOutput::~FdOutput() {
  sync();
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

int FdOutput::sync() {
  if (!buffer_) return error_ == 0 ? 0 : -1;
  WriteAll(pbase(), static_cast<size_t>(pptr() - pbase()));
  setp(buffer_.get(), buffer_.get() + kBufferSize);
  return error_ == 0 ? 0 : -1;
}

FdOutput::int_type FdOutput::overflow(int_type byte) {
  if (!buffer_) {
    MakeBuffer();
  } else if (sync() != 0) {
    return traits_type::eof();
  }
  if (!traits_type::eq_int_type(byte, traits_type::eof())) {
    *pptr() = traits_type::to_char_type(byte);
    pbump(1);
  }
  return traits_type::not_eof(byte);
}

std::streamsize FdOutput::xsputn(const char* bytes, std::streamsize size) {
  const auto n = static_cast<size_t>(size);
  if (!buffer_ && n < kBufferSize) MakeBuffer();
  if (n <= static_cast<size_t>(epptr() - pptr())) {
    traits_type::copy(pptr(), bytes, n);
    pbump(static_cast<int>(n));
    return size;
  }
  if (sync() != 0) return 0;
  WriteAll(bytes, n);
  return error_ == 0 ? size : 0;
}

bool FdOutput::Close() {
  sync();
  if (!closed_) {
    closed_ = true;
    if (close(fd_) != 0 && error_ == 0) error_ = errno;
  }
  return error_ == 0;
}

}  // namespace quelvar
