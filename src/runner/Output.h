#pragma once

#include <cassert>
#include <charconv>
#include <concepts>
#include <iosfwd>
#include <limits>
#include <memory>
#include <string_view>
#include <system_error>
#include <type_traits>

namespace quelvar {
class FdOutput;
}

namespace quelvar::runner {

template <typename T, typename... Types>
concept OneOf = (std::same_as<T, Types> || ...);

// A whole number's type, not a character's or a truth value's: those print otherwise.
template <typename T>
concept WholeNumber =
    std::integral<T> && !OneOf<std::remove_cv_t<T>, bool, char, signed char, unsigned char, wchar_t,
                               char8_t, char16_t, char32_t>;

// Where quelvar-run writes a report or its messages: a file descriptor (through FdOutput), or any
// std::ostream (the page's runner and tests hand it string streams). Text, characters and whole
// numbers go straight to the descriptor's buffer; anything else does not compile. A std::ostream
// over it is built only for the writers that need one (graded reports, CSV, trace tables): building
// any stream builds the C++ locale, which would otherwise be a large part of a short run's
// start-up.
class Output {
 public:
  explicit Output(FdOutput& fd);
  explicit Output(std::ostream& stream);
  ~Output();  // what the stream holds goes to the FdOutput
  Output(const Output&) = delete;
  Output& operator=(const Output&) = delete;

  Output& operator<<(std::string_view text);
  Output& operator<<(const char* text) { return *this << std::string_view(text); }
  // A template, so that nothing else converts to a character on its way in.
  template <std::same_as<char> Character>
  Output& operator<<(Character c) {
    return *this << std::string_view(&c, 1);
  }
  template <WholeNumber Number>
  Output& operator<<(Number number) {
    char digits[std::numeric_limits<Number>::digits10 + 3];  // a sign, and a digit digits10 omits
    const auto [end, error] = std::to_chars(digits, digits + sizeof digits, number);
    assert(error == std::errc());
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
