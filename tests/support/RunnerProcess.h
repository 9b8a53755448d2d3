#pragma once

// quelvar-run as a process, for the test executables that are given its path (QUELVAR_RUN) and
// the examples folder (QUELVAR_EXAMPLES).
#include <string>

#include "support/Process.h"

namespace quelvar::test {

inline Outcome RunQuelvarRun(const std::string& arguments, const std::string& output = "") {
  return RunProgram(QUELVAR_RUN, arguments, output);
}

inline std::string Example(const std::string& name) {
  return std::string(QUELVAR_EXAMPLES) + "/" + name;
}

}  // namespace quelvar::test
