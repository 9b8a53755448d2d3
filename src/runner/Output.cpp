#include "runner/Output.h"

#include <algorithm>
#include <ostream>
#include <streambuf>

#include "runner/FdOutput.h"

namespace quelvar::runner {

// A std::streambuf over an FdOutput. It keeps a small put area of its own, so that a number
// formatted a digit at a time is not a call a digit; `Output` writes through it once it exists.
class Output::Buffer final : public std::streambuf {
 public:
  explicit Buffer(FdOutput& fd) : fd_(fd) { setp(area_, area_ + sizeof area_); }
  ~Buffer() override { Pass(); }
  Buffer(const Buffer&) = delete;
  Buffer& operator=(const Buffer&) = delete;

 protected:
  int_type overflow(int_type byte) override {
    Pass();
    if (!traits_type::eq_int_type(byte, traits_type::eof())) {
      *pptr() = traits_type::to_char_type(byte);
      pbump(1);
    }
    return fd_.Error() == 0 ? traits_type::not_eof(byte) : traits_type::eof();
  }

  std::streamsize xsputn(const char* bytes, std::streamsize size) override {
    const auto n = static_cast<size_t>(size);
    if (n <= static_cast<size_t>(epptr() - pptr())) {
      std::copy_n(bytes, n, pptr());
      pbump(static_cast<int>(n));
    } else {
      Pass();
      fd_.Write({bytes, n});
    }
    return fd_.Error() == 0 ? size : 0;
  }

  int sync() override {
    Pass();
    return fd_.Flush() ? 0 : -1;
  }

 private:
  // Hands what the put area holds to the FdOutput.
  void Pass() {
    fd_.Write({pbase(), static_cast<size_t>(pptr() - pbase())});
    setp(area_, area_ + sizeof area_);
  }

  FdOutput& fd_;
  char area_[4096];
};

Output::Output(FdOutput& fd) : fd_(&fd) {}

Output::Output(std::ostream& stream) : stream_(&stream) {}

Output::~Output() = default;

Output& Output::operator<<(std::string_view text) {
  if (stream_) {
    stream_->write(text.data(), static_cast<std::streamsize>(text.size()));
  } else {
    fd_->Write(text);
  }
  return *this;
}

std::ostream& Output::Stream() {
  if (!stream_) {
    buffer_ = std::make_unique<Buffer>(*fd_);
    made_ = std::make_unique<std::ostream>(buffer_.get());
    stream_ = made_.get();
  }
  return *stream_;
}

void Output::Flush() {
  if (stream_) {
    stream_->flush();
  } else {
    fd_->Flush();
  }
}

}  // namespace quelvar::runner
