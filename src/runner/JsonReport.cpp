#include "runner/JsonReport.h"

#include <map>
#include <string>
#include <string_view>

namespace quelvar::runner {
namespace {

// The length of the UTF-8 character at the start of `text`, or 0 when it does not start with one.
size_t CharacterLength(std::string_view text) {
  const auto byte = [&text](size_t k) { return static_cast<unsigned char>(text[k]); };
  const auto follows = [&](size_t k) { return k < text.size() && (byte(k) & 0xC0) == 0x80; };
  const unsigned char lead = byte(0);
  if (lead < 0x80) return 1;
  if (lead >= 0xC2 && lead <= 0xDF) return follows(1) ? 2 : 0;
  if (lead >= 0xE0 && lead <= 0xEF) {
    if (!follows(1) || !follows(2)) return 0;
    if (lead == 0xE0 && byte(1) < 0xA0) return 0;   // overlong
    if (lead == 0xED && byte(1) >= 0xA0) return 0;  // a surrogate
    return 3;
  }
  if (lead >= 0xF0 && lead <= 0xF4) {
    if (!follows(1) || !follows(2) || !follows(3)) return 0;
    if (lead == 0xF0 && byte(1) < 0x90) return 0;   // overlong
    if (lead == 0xF4 && byte(1) >= 0x90) return 0;  // past U+10FFFF
    return 4;
  }
  return 0;
}

// U+F780 to U+F7FF: EF 9E 80 to EF 9F BF.
bool StandsForAByte(std::string_view character) {
  return character.size() == 3 && static_cast<unsigned char>(character[0]) == 0xEF &&
         (static_cast<unsigned char>(character[1]) & 0xFE) == 0x9E;
}

std::string Escaped(std::string_view bytes) {
  std::string text;
  text.reserve(bytes.size());
  while (!bytes.empty()) {
    const size_t length = CharacterLength(bytes);
    const std::string_view character = bytes.substr(0, length);
    if (length > 0 && !StandsForAByte(character)) {
      text += character;
    } else {
      for (const char c : length > 0 ? character : bytes.substr(0, 1)) {
        // U+F700 + c, with c from 0x80 to 0xFF: EF 9C+(c>>6) 80+(c&0x3F).
        const unsigned char b = static_cast<unsigned char>(c);
        text += static_cast<char>(0xEF);
        text += static_cast<char>(0x9C + (b >> 6));
        text += static_cast<char>(0x80 + (b & 0x3F));
      }
    }
    bytes.remove_prefix(length > 0 ? length : 1);
  }
  return text;
}

nlohmann::json WithEscapedStrings(const nlohmann::json& value) {
  if (value.is_string()) return Escaped(value.get_ref<const std::string&>());
  if (value.is_array()) {
    nlohmann::json array = nlohmann::json::array();
    for (const nlohmann::json& item : value) array.push_back(WithEscapedStrings(item));
    return array;
  }
  if (value.is_object()) {
    nlohmann::json object = nlohmann::json::object();
    for (const auto& [key, item] : value.items()) object[Escaped(key)] = WithEscapedStrings(item);
    return object;
  }
  return value;
}

}  // namespace

std::string ReversibleUtf8(std::string_view bytes) {
  return Escaped(bytes);
}

std::string JsonText(const nlohmann::json& document) {
  return WithEscapedStrings(document).dump();
}

const char* OutcomeName(BatchEnd end) {
  switch (end) {
    case BatchEnd::kFinished:
      return "end";
    case BatchEnd::kStalled:
      return "stalled";
    case BatchEnd::kLineLimit:
      return "line-limit";
    case BatchEnd::kTimeLimit:
      return "time-limit";
    default:
      return "failure";
  }
}

nlohmann::json RunJson(const BatchRun& run, BatchEnd end) {
  const TForm1& form = run.Form();
  nlohmann::json registers = nlohmann::json::array();
  // Every register of the data form, those past the window's last shown one too.
  for (int32_t i = 1; i <= form.RegCount; ++i) registers.push_back(form.ReadReg(i));
  // Ordered by number, so that the same run always prints the same text.
  std::map<int32_t, int16_t> scratch(form.OuterRegs.begin(), form.OuterRegs.end());
  if (!form.Regs.empty()) scratch[0] = form.Regs[0];
  nlohmann::json scratchJson = nlohmann::json::object();
  for (const auto& [number, value] : scratch) scratchJson[std::to_string(number)] = value;
  nlohmann::json result = {
      {"registers", registers},
      {"scratch", scratchJson},
      {"instructionIndex", form.InstrIndex},
      {"linesExecuted", run.LinesExecuted()},
      {"outcome", OutcomeName(end)},
  };
  if (end == BatchEnd::kFailed) result["message"] = run.Failure();
  return result;
}

}  // namespace quelvar::runner
