#include "runner/CaseGrammar.h"

#include <algorithm>
#include <charconv>
#include <unordered_map>

#include "text/ValInteger.h"

namespace quelvar::runner {
namespace {

// The data form reads a value's token up to this many characters and drops the rest.
constexpr size_t kDataFormToken = 32;
constexpr uint32_t kMostPoints = 1'000'000;
constexpr const char* kShape =
    "a case is 'V1,V2,... => R1' or 'V1,V2,... => R1=5 R3=0' (or 'stalls', 'runs-forever'), "
    "with 'NAME:' before it and 'points P', 'hidden', 'max-lines N' after it if need be";

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

bool Digits(std::string_view text, uint64_t& value) {
  if (text.empty() || text.find_first_not_of("0123456789") != std::string_view::npos) return false;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  return error == std::errc() && end == text.data() + text.size();
}

std::vector<std::string_view> Words(std::string_view text) {
  std::vector<std::string_view> words;
  for (;;) {
    const size_t start = text.find_first_not_of(" \t");
    if (start == std::string_view::npos) return words;
    text.remove_prefix(start);
    const size_t end = std::min(text.find_first_of(" \t"), text.size());
    words.push_back(text.substr(0, end));
    text.remove_prefix(end);
  }
}

// A register expectation: "7" (R1) or "R3=0".
std::pair<int32_t, int32_t> Expectation(std::string_view word) {
  int32_t reg = 1;
  int32_t value = 0;
  const size_t equals = word.find('=');
  const std::string_view valueText =
      equals == std::string_view::npos ? word : word.substr(equals + 1);
  if (equals != std::string_view::npos &&
      (word.front() != 'R' || !WholeNumber(word.substr(1, equals - 1), reg))) {
    throw CaseSyntax("'" + std::string(word) + "' is not Rn=V");
  }
  if (!WholeNumber(valueText, value) || value < -32768 || value > 32767) {
    throw CaseSyntax("'" + std::string(valueText) + "' is not a register value (-32768 to 32767)");
  }
  return {reg, value};
}

// The options after EXPECT, each as a word or two, in brackets or not.
void ReadOptions(const std::vector<std::string_view>& words, size_t k, Case& c) {
  bool points = false;
  bool maxLines = false;
  while (k < words.size()) {
    std::string_view word = words[k];
    const bool bracket = word.front() == '[';
    if (bracket) word.remove_prefix(1);
    bool closed = !bracket;
    const auto close = [&](std::string_view& w) {
      if (bracket && !w.empty() && w.back() == ']') {
        w.remove_suffix(1);
        closed = true;
      }
    };
    close(word);
    std::string_view argument;
    const bool takesArgument = word == "points" || word == "max-lines";
    if (takesArgument) {
      if (closed && bracket) throw CaseSyntax("'" + std::string(word) + "' needs a number");
      if (++k == words.size()) throw CaseSyntax("'" + std::string(word) + "' needs a number");
      argument = words[k];
      close(argument);
    }
    if (!closed) throw CaseSyntax("'[" + std::string(word) + "' has no closing ']'");
    uint64_t number = 0;
    if (word == "hidden") {
      if (c.hidden) throw CaseSyntax("'hidden' is given twice");
      c.hidden = true;
    } else if (word == "points") {
      if (points) throw CaseSyntax("'points' is given twice");
      if (!Digits(argument, number) || number > kMostPoints) {
        throw CaseSyntax("points '" + std::string(argument) +
                         "' is not a whole number from 0 to 1000000");
      }
      points = true;
      c.points = static_cast<uint32_t>(number);
    } else if (word == "max-lines") {
      if (maxLines) throw CaseSyntax("'max-lines' is given twice");
      if (!Digits(argument, number)) {
        throw CaseSyntax("max-lines '" + std::string(argument) +
                         "' is not a whole number of lines");
      }
      maxLines = true;
      c.maxLines = number;
    } else {
      throw CaseSyntax("'" + std::string(words[k]) +
                       "' is no option: after what is expected come 'points P', 'hidden' and "
                       "'max-lines N'");
    }
    ++k;
  }
}

bool IsOption(std::string_view word) {
  if (!word.empty() && word.front() == '[') return true;
  return word == "points" || word == "hidden" || word == "max-lines";
}

}  // namespace

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

Case ParseCase(std::string_view line) {
  const size_t arrow = line.find("=>");
  if (arrow == std::string_view::npos || line.find("=>", arrow + 2) != std::string_view::npos) {
    throw CaseSyntax(kShape);
  }
  Case c;
  std::string_view values = Trimmed(line.substr(0, arrow));
  const size_t colon = values.find(':');
  if (colon != std::string_view::npos) {
    c.name = Trimmed(values.substr(0, colon));
    if (c.name.empty()) throw CaseSyntax("the case's name before ':' is empty");
    if (c.name.find(',') != std::string::npos) {
      throw CaseSyntax("the case's name '" + c.name + "' holds a ','");
    }
    values = Trimmed(values.substr(colon + 1));
  }
  c.values = values;
  while (!values.empty()) {
    const size_t comma = std::min(values.find(','), values.size());
    const std::string why = BadValue(Trimmed(values.substr(0, comma)));
    if (!why.empty()) throw CaseSyntax(why);
    values.remove_prefix(std::min(comma + 1, values.size()));
  }
  const std::vector<std::string_view> words = Words(line.substr(arrow + 2));
  size_t k = 0;
  if (k < words.size() && (words[k] == "stalls" || words[k] == "runs-forever")) {
    c.expect = words[k] == "stalls" ? Expect::kStalls : Expect::kRunsForever;
    ++k;
  } else {
    std::unordered_map<int32_t, int32_t> seen;
    for (; k < words.size() && !IsOption(words[k]); ++k) {
      if (words[k] == "stalls" || words[k] == "runs-forever") {
        throw CaseSyntax("'" + std::string(words[k]) +
                         "' is what the run does: it takes no registers beside it");
      }
      const auto [reg, value] = Expectation(words[k]);
      const auto [earlier, first] = seen.try_emplace(reg, value);
      if (!first && earlier->second != value) {
        throw CaseSyntax("R" + std::to_string(reg) + " is expected to be both " +
                         std::to_string(earlier->second) + " and " + std::to_string(value) +
                         ": the case can never pass");
      }
      c.expected.emplace_back(reg, value);
    }
    if (c.expected.empty()) throw CaseSyntax("nothing expected after '=>'");
  }
  if (k < words.size() && !IsOption(words[k])) {
    throw CaseSyntax("'" + std::string(words[0]) +
                     "' is what the run does: it takes no registers beside it");
  }
  ReadOptions(words, k, c);
  return c;
}

std::vector<int32_t> CaseValues(std::string_view values) {
  std::vector<int32_t> numbers;
  while (!values.empty()) {
    const size_t comma = std::min(values.find(','), values.size());
    numbers.push_back(ValInteger(Trimmed(values.substr(0, comma))).value);
    values.remove_prefix(std::min(comma + 1, values.size()));
  }
  return numbers;
}

std::string CaseTitle(const Case& c, uint64_t k) {
  return c.name.empty() ? "case " + std::to_string(k) : c.name;
}

}  // namespace quelvar::runner
