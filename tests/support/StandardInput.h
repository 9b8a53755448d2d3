#pragma once

namespace quelvar::test {

// Puts a file in the place of standard input for as long as it lives, then puts the old one
// back. Loaders given an empty data-form name read standard input, so tests fix what it is.
class StandardInput {
 public:
  // Takes `fd` over; by default, /dev/null.
  explicit StandardInput(int fd = -1);
  ~StandardInput();
  StandardInput(const StandardInput&) = delete;
  StandardInput& operator=(const StandardInput&) = delete;

 private:
  int saved_;
};

}  // namespace quelvar::test
