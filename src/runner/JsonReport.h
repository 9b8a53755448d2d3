#pragma once

#include <nlohmann/json.hpp>

#include "runner/BatchRun.h"

namespace quelvar::runner {

// A run as JSON: the registers shown (R1 first), the scratch registers (R0, and those a program
// wrote outside the data form), the instruction index, the lines executed, and the outcome:
// "end", "failure" (with its "message"), "stalled" or "line-limit".
nlohmann::json RunJson(const BatchRun& run, BatchEnd end);

const char* OutcomeName(BatchEnd end);

}  // namespace quelvar::runner
