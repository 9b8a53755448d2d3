#include "runner/JsonReport.h"

#include <map>
#include <string>

namespace quelvar::runner {

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
  for (int32_t i = 1; i <= form.DisplayedRegCount(); ++i) registers.push_back(form.ReadReg(i));
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
