#include "text/TextReader.h"

#include <new>
#include <stdexcept>

#include "text/InOutError.h"
#include "text/ValInteger.h"

namespace quelvar {
namespace {

constexpr size_t kBufferSize = 64 * 1024;
constexpr int kCR = 13;
constexpr int kLF = 10;
constexpr int kEndMark = 26;
constexpr size_t kMaxToken = 32;

bool IsBlank(int byte) {
  return byte >= 0 && byte <= 32;
}

}  // namespace

TextReader::TextReader(ByteSource& source) : source_(source), buffer_(new char[kBufferSize]) {}

int TextReader::Peek() {
  if (pos_ == filled_) {
    if (sourceDone_) return kEnd;
    filled_ = source_.Read(buffer_.get(), kBufferSize);
    pos_ = 0;
    if (filled_ == 0) {
      sourceDone_ = true;
      return kEnd;
    }
  }
  const int byte = static_cast<unsigned char>(buffer_[pos_]);
  return byte == kEndMark ? kEnd : byte;
}

void TextReader::ReadLine(std::string& line) {
  line.clear();
  try {
    for (int byte = Peek(); byte != kEnd && byte != kCR && byte != kLF; byte = Peek()) {
      line.push_back(static_cast<char>(byte));
      ++pos_;
    }
  } catch (const std::bad_alloc&) {
    throw std::runtime_error("Line too long to hold in memory");
  }
}

void TextReader::FinishLine() {
  for (int byte = Peek(); byte != kEnd; byte = Peek()) {
    ++pos_;
    if (byte == kLF) return;
    if (byte == kCR) {
      if (Peek() == kLF) ++pos_;
      return;
    }
  }
}

int32_t TextReader::ReadInteger() {
  int byte = Peek();
  while (byte != kEnd && IsBlank(byte)) {
    ++pos_;
    byte = Peek();
  }
  if (byte == kEnd) return 0;
  std::string token;
  while (byte != kEnd && !IsBlank(byte) && token.size() < kMaxToken) {
    token.push_back(static_cast<char>(byte));
    ++pos_;
    byte = Peek();
  }
  const ValResult result = ValInteger(token);
  if (result.errorPos != 0) throw InOutError(kInvalidNumericInput);
  return result.value;
}

bool TextReader::AtEnd() {
  return Peek() == kEnd;
}

}  // namespace quelvar
