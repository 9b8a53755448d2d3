#include "text/ProgramText.h"

#include <memory>
#include <new>
#include <stdexcept>

namespace quelvar {

void ProgramTextSplitter::Hold(std::string_view bytes) {
  try {
    partial_.append(bytes);
  } catch (const std::bad_alloc&) {
    throw std::runtime_error("Program line too long to hold in memory");
  }
}

void ProgramTextSplitter::Emit(std::string_view tail) {
  if (partial_.empty()) {
    line_(tail);
    return;
  }
  Hold(tail);
  line_(partial_);
  partial_.clear();
}

void ProgramTextSplitter::Feed(std::string_view bytes) {
  if (ended_) return;
  if (afterCR_ && !bytes.empty()) {
    afterCR_ = false;
    if (bytes.front() == '\n') bytes.remove_prefix(1);
  }
  const size_t zero = bytes.find('\0');
  if (zero != std::string_view::npos) {
    bytes = bytes.substr(0, zero);
    ended_ = true;
  }
  size_t start = 0;
  while (start < bytes.size()) {
    const size_t end = bytes.find_first_of("\r\n", start);
    if (end == std::string_view::npos) {
      Hold(bytes.substr(start));
      return;
    }
    Emit(bytes.substr(start, end - start));
    start = end + 1;
    if (bytes[end] == '\r') {
      if (start < bytes.size()) {
        if (bytes[start] == '\n') ++start;
      } else {
        afterCR_ = !ended_;
      }
    }
  }
}

void ProgramTextSplitter::Finish() {
  if (!partial_.empty()) Emit({});
}

void SplitProgramText(std::string_view text, const LineSink& line) {
  ProgramTextSplitter splitter(line);
  splitter.Feed(text);
  splitter.Finish();
}

void SplitProgramText(ByteSource& source, const LineSink& line) {
  ProgramTextSplitter splitter(line);
  constexpr size_t kPiece = 64 * 1024;
  const std::unique_ptr<char[]> buffer(new char[kPiece]);  // not zero-filled
  for (;;) {
    const size_t got = source.Read(buffer.get(), kPiece);
    if (got == 0) break;
    splitter.Feed({buffer.get(), got});
  }
  splitter.Finish();
}

}  // namespace quelvar
