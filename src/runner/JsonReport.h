#pragma once

#include <nlohmann/json.hpp>
#include <string>
#include <string_view>

#include "runner/BatchRun.h"

namespace quelvar::runner {

// A run as JSON: every register of the data form (R1 first, past the 32767 shown too), the scratch
// registers (R0, and those a program wrote outside the data form), the instruction index, the lines
// executed, and the outcome: "end", "failure" (with its "message"), "stalled" or "line-limit".
nlohmann::json RunJson(const BatchRun& run, BatchEnd end);

const char* OutcomeName(BatchEnd end);

// `document` as one line of JSON text, whatever bytes its strings hold. A string that is not
// UTF-8 is written reversibly: each byte that is not part of a UTF-8 character, and each byte of a
// character from U+F780 to U+F7FF, becomes the character U+F700 + that byte (U+F780 to U+F7FF);
// every other character is written as it is.
std::string JsonText(const nlohmann::json& document);
// `bytes` as UTF-8 text, written reversibly as JsonText writes its strings.
std::string ReversibleUtf8(std::string_view bytes);

}  // namespace quelvar::runner
