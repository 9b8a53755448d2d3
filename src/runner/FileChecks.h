#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "runner/Checker.h"

namespace quelvar::runner {

// What the bytes of a data form do otherwise than they look, fed a piece at a time as they are
// read: the data form reader takes the first token of each line that has one (at most 32
// characters of it) as a 16-bit value, drops the rest of the line, stops at a byte 26, and makes
// one more register of 0 when anything follows the last value's line end.
class DataFormCheck {
 public:
  explicit DataFormCheck(std::string shown) : shown_(std::move(shown)) {}
  void Feed(std::string_view bytes);
  // The findings, once every byte has been fed.
  std::vector<Finding> Finish();

 private:
  void Byte(char byte);
  void EndLine();
  void Add(int64_t line, std::string text);

  std::string shown_;
  std::vector<Finding> found_;
  int64_t line_ = 1;
  int64_t values_ = 0;
  int64_t lastValueLine_ = 0;
  bool afterCR_ = false;
  bool ended_ = false;     // a byte 26 was read
  int64_t endLine_ = 0;    // where it was
  uint64_t afterEnd_ = 0;  // bytes after it
  std::string shownLine_;  // the start of the line, for messages
  std::string token_;      // the start of its first token
  uint64_t tokenSize_ = 0;
  int tokens_ = 0;
  bool inToken_ = false;
  bool afterValue_ = false;  // the line end after a value has been read
  uint64_t trailing_ = 0;    // bytes after it, none of them a value
};

// Where a byte 0 ends a program text, when bytes follow it: the rest is never read.
class ProgramTextCheck {
 public:
  explicit ProgramTextCheck(std::string shown) : shown_(std::move(shown)) {}
  void Feed(std::string_view bytes);
  std::vector<Finding> Finish() const;

 private:
  std::string shown_;
  int64_t line_ = 1;
  bool afterCR_ = false;
  bool ended_ = false;
  int64_t endLine_ = 0;
  uint64_t afterEnd_ = 0;
};

// The UTF-8 byte-order mark, which most editors write without showing it.
inline constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

}  // namespace quelvar::runner
