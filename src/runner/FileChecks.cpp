#include "runner/FileChecks.h"

#include <algorithm>

#include "text/ValInteger.h"

namespace quelvar::runner {
namespace {

constexpr size_t kShown = 40;
constexpr size_t kDataFormToken = 32;

bool IsBlank(char byte) {
  return static_cast<unsigned char>(byte) <= 32;
}

std::string Quoted(std::string_view text, bool cut) {
  return "'" + std::string(text.substr(0, kShown)) + (cut || text.size() > kShown ? "...'" : "'");
}

std::string Bytes(uint64_t count) {
  return std::to_string(count) + (count == 1 ? " byte" : " bytes");
}

}  // namespace

void DataFormCheck::Add(int64_t line, std::string text) {
  found_.push_back(
      {shown_, static_cast<int32_t>(std::min<int64_t>(line, INT32_MAX)), std::move(text)});
}

void DataFormCheck::Feed(std::string_view bytes) {
  for (const char byte : bytes) Byte(byte);
}

void DataFormCheck::Byte(char byte) {
  if (ended_) {
    ++afterEnd_;
    return;
  }
  if (byte == 26) {
    ended_ = true;
    endLine_ = line_;
    return;
  }
  if (afterCR_) {
    afterCR_ = false;
    if (byte == '\n') return;
  }
  if (byte == '\r' || byte == '\n') {
    EndLine();
    afterCR_ = byte == '\r';
    return;
  }
  if (shownLine_.size() <= kShown) shownLine_.push_back(byte);
  if (IsBlank(byte)) {
    inToken_ = false;
    ++trailing_;
    return;
  }
  if (!inToken_) {
    inToken_ = true;
    ++tokens_;
  }
  if (tokens_ == 1) {
    if (token_.size() <= kShown) token_.push_back(byte);
    ++tokenSize_;
  }
}

void DataFormCheck::EndLine() {
  if (tokens_ > 0) {
    ++values_;
    const bool bom = line_ == 1 && token_.starts_with(kByteOrderMark);
    const std::string read = token_.substr(0, kDataFormToken);
    const ValResult value = ValInteger(read);
    const std::string quoted = Quoted(token_, tokenSize_ > token_.size());
    if (bom) {
      Add(line_,
          "the data form starts with a UTF-8 byte-order mark (bytes EF BB BF), which editors do "
          "not show: the machine reads the first value as no number, and the load fails with "
          "\"Invalid numeric input.\"");
    } else if (value.errorPos != 0) {
      Add(line_, "value " + quoted +
                     (tokenSize_ > kDataFormToken ? "'s first 32 characters are" : " is") +
                     " not a number: the load fails with \"Invalid numeric input.\"");
    } else if (tokenSize_ > kDataFormToken) {
      Add(line_, "value " + quoted +
                     " is longer than 32 characters: the data form reads its first 32, as " +
                     std::to_string(static_cast<int16_t>(value.value)));
    } else if (value.value < -32768 || value.value > 32767) {
      Add(line_, "value " + quoted + " is held as " +
                     std::to_string(static_cast<int16_t>(value.value)) +
                     ": a register holds -32768 to 32767");
    }
    if (tokens_ > 1 && !bom) {
      Add(line_, "line " + Quoted(shownLine_, false) +
                     " holds more than one value: only the first is read, the rest is ignored");
    }
    afterValue_ = true;
    lastValueLine_ = line_;
    trailing_ = 0;
  } else if (afterValue_) {
    ++trailing_;
  }
  ++line_;
  shownLine_.clear();
  token_.clear();
  tokenSize_ = 0;
  tokens_ = 0;
  inToken_ = false;
}

std::vector<Finding> DataFormCheck::Finish() {
  if (tokens_ > 0) {
    EndLine();
    afterValue_ = false;  // no line end after the last value: nothing follows it
  }
  if (afterValue_ && trailing_ > 0) {
    Add(lastValueLine_ + 1,
        "blank lines or spaces after the last value's line make one more register, R" +
            std::to_string(values_ + 1) + ", of 0");
  }
  if (ended_ && afterEnd_ > 0) {
    Add(endLine_,
        "a byte 26 ends the data form here: the " + Bytes(afterEnd_) + " after it are not read");
  }
  return std::move(found_);
}

void ProgramTextCheck::Feed(std::string_view bytes) {
  for (const char byte : bytes) {
    if (ended_) {
      ++afterEnd_;
      continue;
    }
    if (byte == '\0') {
      ended_ = true;
      endLine_ = line_;
      continue;
    }
    if (afterCR_ && byte == '\n') {
      afterCR_ = false;
      continue;
    }
    afterCR_ = byte == '\r';
    if (byte == '\r' || byte == '\n') ++line_;
  }
}

std::vector<Finding> ProgramTextCheck::Finish() const {
  if (!ended_ || afterEnd_ == 0) return {};
  return {{shown_, static_cast<int32_t>(std::min<int64_t>(endLine_, INT32_MAX)),
           "a NUL byte ends the program text here: the " + Bytes(afterEnd_) +
               " after it are not read"}};
}

}  // namespace quelvar::runner
