#include "runner/Cases.h"

#include <algorithm>
#include <new>
#include <sstream>
#include <string_view>
#include <unordered_map>

#include "text/ValInteger.h"

namespace quelvar::runner {
namespace {

constexpr size_t kPiece = 64 * 1024;
constexpr int kEnd = -1;
// The data form reads a value's token up to this many characters and drops the rest.
constexpr size_t kDataFormToken = 32;

std::string_view Trimmed(std::string_view text) {
  const size_t first = text.find_first_not_of(" \t");
  if (first == std::string_view::npos) return {};
  return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

bool WholeNumber(std::string_view text, int32_t& value) {
  const ValResult result = ValInteger(text);
  value = result.value;
  return !text.empty() && result.errorPos == 0;
}

// What is wrong with a data-form value, or nothing when the data form reads it as written.
std::string BadValue(std::string_view text) {
  const std::string quoted =
      "'" + std::string(text.substr(0, 40)) + (text.size() > 40 ? "...'" : "'");
  int32_t value = 0;
  if (!WholeNumber(text, value)) return "value " + quoted + " is not a number";
  if (text.size() > kDataFormToken) {
    return "value " + quoted + " is longer than 32 characters: the data form reads no more of it";
  }
  if (value < -32768 || value > 32767) {
    return "value " + quoted + " is outside -32768 to 32767: the data form would hold it as " +
           std::to_string(static_cast<int16_t>(value));
  }
  return {};
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
    c = Parse(line);
    return true;
  }
  return false;
}

Case CaseReader::Parse(std::string_view line) const {
  const auto bad = [&](const std::string& why) {
    return CaseError(shownAs_ + ":" + std::to_string(number_) + ": error: " + why);
  };
  const size_t arrow = line.find("=>");
  if (arrow == std::string_view::npos || line.find("=>", arrow + 2) != std::string_view::npos) {
    throw bad("a case is 'V1,V2,... => R1' or 'V1,V2,... => R1=5 R3=0'");
  }
  Case c;
  c.line = number_;
  c.values = Trimmed(line.substr(0, arrow));
  std::string_view values = c.values;
  while (!values.empty()) {
    const size_t comma = std::min(values.find(','), values.size());
    const std::string why = BadValue(Trimmed(values.substr(0, comma)));
    if (!why.empty()) throw bad(why);
    values.remove_prefix(std::min(comma + 1, values.size()));
  }
  std::istringstream expected{std::string(line.substr(arrow + 2))};
  std::unordered_map<int32_t, int32_t> seen;
  for (std::string token; expected >> token;) {
    int32_t reg = 1;
    int32_t value = 0;
    const size_t equals = token.find('=');
    const std::string_view valueText = equals == std::string::npos
                                           ? std::string_view(token)
                                           : std::string_view(token).substr(equals + 1);
    if (equals != std::string::npos &&
        (token.front() != 'R' ||
         !WholeNumber(std::string_view(token).substr(1, equals - 1), reg))) {
      throw bad("'" + token + "' is not Rn=V");
    }
    if (!WholeNumber(valueText, value) || value < -32768 || value > 32767) {
      throw bad("'" + std::string(valueText) + "' is not a register value (-32768 to 32767)");
    }
    const auto [earlier, first] = seen.try_emplace(reg, value);
    if (!first && earlier->second != value) {
      throw bad("R" + std::to_string(reg) + " is expected to be both " +
                std::to_string(earlier->second) + " and " + std::to_string(value) +
                ": the case can never pass");
    }
    c.expected.emplace_back(reg, value);
  }
  if (c.expected.empty()) throw bad("nothing expected after '=>'");
  return c;
}

}  // namespace quelvar::runner
