#include "runner/Cases.h"

#include <algorithm>
#include <new>
#include <string_view>

namespace quelvar::runner {
namespace {

constexpr size_t kPiece = 64 * 1024;
constexpr int kEnd = -1;

std::string_view Trimmed(std::string_view text) {
  const size_t first = text.find_first_not_of(" \t");
  if (first == std::string_view::npos) return {};
  return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

}  // namespace

CaseReader::CaseReader(ByteSource& source, std::string shownAs)
    : source_(source), shownAs_(std::move(shownAs)), buffer_(kPiece) {}

int CaseReader::Peek() {
  if (pos_ == filled_) {
    filled_ = source_.Read(buffer_.data(), buffer_.size());
    pos_ = 0;
    if (filled_ == 0) return kEnd;
  }
  return static_cast<unsigned char>(buffer_[pos_]);
}

bool CaseReader::NextLine(std::string& line) {
  line.clear();
  int byte = Peek();
  if (byte == kEnd) return false;
  ++number_;
  try {
    while (byte != kEnd && byte != '\r' && byte != '\n') {
      const auto start = buffer_.begin() + static_cast<std::ptrdiff_t>(pos_);
      const auto stop = std::find_if(start, buffer_.begin() + static_cast<std::ptrdiff_t>(filled_),
                                     [](char c) { return c == '\r' || c == '\n'; });
      line.append(start, stop);
      pos_ += static_cast<size_t>(stop - start);
      byte = Peek();
    }
  } catch (const std::bad_alloc&) {
    throw CaseError(shownAs_ + ":" + std::to_string(number_) +
                    ": error: the line is too long to hold in memory");
  }
  if (byte != kEnd) {
    ++pos_;
    if (byte == '\r' && Peek() == '\n') ++pos_;
  }
  return true;
}

bool CaseReader::Next(Case& c) {
  std::string raw;
  while (NextLine(raw)) {
    const std::string_view line = Trimmed(raw);
    if (line.empty() || line.front() == '#') continue;
    try {
      c = ParseCase(line);
    } catch (const CaseSyntax& bad) {
      throw CaseError(shownAs_ + ":" + std::to_string(number_) + ": error: " + bad.what());
    }
    c.line = number_;
    return true;
  }
  return false;
}

}  // namespace quelvar::runner
