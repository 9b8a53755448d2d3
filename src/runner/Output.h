#pragma once

#include <charconv>
#include <concepts>
#include <iosfwd>
#include <memory>
#include <string_view>

namespace quelvar {
class FdOutput;
}

namespace quelvar::runner {

// Where quelvar-run writes a report or its messages: a file descriptor (through FdOutput), or any
// std::ostream (the page's runner and tests hand it string streams). Text and whole numbers go
// straight to the descriptor's buffer. A std::ostream over it is built only for the writers that
// need one (JSON, grade formats, trace tables): building any stream builds the C++ locale, which
// would otherwise be a large part of a short run's start-up.
class Output {
 public:
  explicit Output(FdOutput& fd);
  explicit Output(std::ostream& stream);
  ~Output();  // what the stream holds goes to the FdOutput
  Output(const Output&) = delete;
  Output& operator=(const Output&) = delete;

  Output& operator<<(std::string_view text);
  Output& operator<<(const char* text) { return *this << std::string_view(text); }
  Output& operator<<(char c) { return *this << std::string_view(&c, 1); }
  template <std::integral Number>
  requires(!std::same_as<Number, bool> && !std::same_as<Number, char>) Output& operator<<(
      Number number) {
    char digits[24];
    const char* end = std::to_chars(digits, digits + sizeof digits, number).ptr;
    return *this << std::string_view(digits, static_cast<size_t>(end - digits));
  }

  // The same destination as a std::ostream, made at the first call; what goes through it and
  // through `<<` keeps its order.
  std::ostream& Stream();
  // Writes out everything written so far.
  void Flush();

 private:
  class Buffer;

  FdOutput* fd_ = nullptr;
  std::ostream* stream_ = nullptr;  // the given one, or the one made over `buffer_`
  std::unique_ptr<Buffer> buffer_;
  std::unique_ptr<std::ostream> made_;
};

}  // namespace quelvar::runner
