#include "runner/Cases.h"

#include <sstream>
#include <string_view>

#include "text/ValInteger.h"

namespace quelvar::runner {
namespace {

std::string_view Trimmed(std::string_view text) {
  const size_t first = text.find_first_not_of(" \t\r");
  if (first == std::string_view::npos) return {};
  return text.substr(first, text.find_last_not_of(" \t\r") - first + 1);
}

bool WholeNumber(std::string_view text, int32_t& value) {
  const ValResult result = ValInteger(text);
  value = result.value;
  return !text.empty() && result.errorPos == 0;
}

}  // namespace

std::vector<Case> ParseCases(const std::string& text, const std::string& shownAs) {
  std::vector<Case> cases;
  std::istringstream lines(text);
  std::string raw;
  for (int32_t number = 1; std::getline(lines, raw); ++number) {
    const std::string_view line = Trimmed(raw);
    if (line.empty() || line.front() == '#') continue;
    const auto bad = [&](const std::string& why) {
      return CaseError(shownAs + ":" + std::to_string(number) + ": error: " + why);
    };
    const size_t arrow = line.find("=>");
    if (arrow == std::string_view::npos || line.find("=>", arrow + 2) != std::string_view::npos) {
      throw bad("a case is 'V1,V2,... => R1' or 'V1,V2,... => R1=5 R3=0'");
    }
    Case c;
    c.line = number;
    c.values = Trimmed(line.substr(0, arrow));
    std::string_view values = c.values;
    while (!values.empty()) {
      const size_t comma = std::min(values.find(','), values.size());
      int32_t value = 0;
      if (!WholeNumber(Trimmed(values.substr(0, comma)), value)) {
        throw bad("value '" + std::string(Trimmed(values.substr(0, comma))) + "' is not a number");
      }
      values.remove_prefix(std::min(comma + 1, values.size()));
    }
    std::istringstream expected{std::string(line.substr(arrow + 2))};
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
      c.expected.emplace_back(reg, value);
    }
    if (c.expected.empty()) throw bad("nothing expected after '=>'");
    cases.push_back(std::move(c));
  }
  return cases;
}

}  // namespace quelvar::runner
