#include "runner/CaseRun.h"

#include <sstream>

#include "platform/File.h"
#include "runner/GradeFormats.h"
#include "runner/JsonReport.h"

namespace quelvar::runner {
namespace {

// "2 s", "0.5 s": as short as the number allows.
std::string TimeLimitText(double seconds) {
  std::ostringstream text;
  text << seconds << " s";
  return text.str();
}

std::string RegistersText(const std::vector<Named>& named) {
  std::string text;
  for (const Named& n : named) {
    text += (text.empty() ? "" : "; ") + ("R" + std::to_string(n.reg)) + " is " +
            std::to_string(n.got) + ", expected " + std::to_string(n.expected);
  }
  return text;
}

// Why `result` fails, or empty when it passes.
std::string Verdict(const CaseResult& result, uint64_t maxLines) {
  const Case& c = result.c;
  const std::string ended = "the run ended after " + std::to_string(result.lines) + " lines";
  switch (c.expect) {
    case Expect::kStalls:
      if (result.end == BatchEnd::kStalled) return {};
      return (result.end == BatchEnd::kFinished ? ended : result.message) +
             "; expected it to stall";
    case Expect::kRunsForever:
      if (result.end == BatchEnd::kLineLimit || result.end == BatchEnd::kTimeLimit) return {};
      return (result.end == BatchEnd::kFinished ? ended : result.message) +
             "; expected it to run to the line limit of " + std::to_string(maxLines) + " lines";
    default: {
      bool same = result.end == BatchEnd::kFinished;
      for (const Named& n : result.named) same = same && n.got == n.expected;
      if (same) return {};
      const std::string registers = RegistersText(result.named);
      if (result.end == BatchEnd::kFinished) return registers;
      return result.message + (registers.empty() ? "" : "; " + registers);
    }
  }
}

}  // namespace

std::string EndText(const BatchRun& run, BatchEnd end, uint64_t maxLines,
                    const std::optional<double>& timeout) {
  switch (end) {
    case BatchEnd::kFailed:
      return run.Failure();
    case BatchEnd::kStalled:
      return "the program stalled: a jump to line " + std::to_string(run.Form().InstrIndex);
    case BatchEnd::kLineLimit:
      return "stopped at the line limit of " + std::to_string(maxLines) + " lines";
    case BatchEnd::kTimeLimit:
      return "stopped at the time limit of " + TimeLimitText(*timeout) + " of CPU time";
    default:
      return {};
  }
}

BatchEnd RunToItsEnd(BatchRun& run, RunInputs& inputs, uint64_t maxLines, const Options& options,
                     std::ostream* trace) {
  if (!inputs.LoadInto(run)) return BatchEnd::kFailed;
  if (maxLines == 0) return BatchEnd::kLineLimit;
  if (!run.RunIt(trace)) return BatchEnd::kFailed;
  return run.Finish(maxLines, options.timeout);
}

CaseResult RunCase(const Case& c, uint64_t k, const Options& options, RunInputs& inputs,
                   const std::string& title, std::ostream* trace) {
  CaseResult result;
  result.c = c;
  result.number = k;
  result.title = CaseTitle(c, k);
  inputs.SetRegisters(c.values);
  BatchRun run(title);
  const uint64_t maxLines = c.maxLines.value_or(options.maxLines);
  result.end = RunToItsEnd(run, inputs, maxLines, options, trace);
  result.loaded = run.Loaded();
  result.lines = run.LinesExecuted();
  result.wrapped = run.Wrapped();
  result.message = EndText(run, result.end, maxLines, options.timeout);
  if (result.end == BatchEnd::kFailed) result.loadFile = FailedFile(run, inputs);
  if (result.loaded) {
    for (const auto& [reg, value] : c.expected) {
      result.named.push_back({reg, value, run.Form().ReadReg(reg)});
    }
  }
  result.verdict = Verdict(result, maxLines);
  result.pass = result.verdict.empty();
  if (options.format == Format::kJson) result.run = RunJson(run, result.end);
  return result;
}

std::string FailedFile(const BatchRun& run, const RunInputs& inputs) {
  const TForm1& form = run.Form();
  const auto Opens = [&inputs](const std::string& name) { return inputs.Files().Opens(name); };
  if (!Opens(inputs.Descriptor())) return inputs.DescriptorShown();
  const bool named = !form.DataFileName.empty() || !form.ProgramFileName.empty();
  if (!named && form.List1->Count() == 0) return inputs.DescriptorShown();
  if (!form.DataFileName.empty() && !Opens(form.DataFileName)) return inputs.DataFormShown();
  if (!Opens(form.ProgramFileName)) return inputs.ProgramShown();
  return form.List1->Count() == 0 ? inputs.DataFormShown() : inputs.ProgramShown();
}

std::string FailureMessage(const BatchRun& run, const RunInputs& inputs) {
  return RunnerMessage(FailedFile(run, inputs), run.Failure());
}

std::string FailLine(const CaseResult& result) {
  return result.c.values + " => " + result.verdict;
}

nlohmann::json FilesJson(const RunInputs& inputs) {
  return {{"descriptor", inputs.DescriptorShown()},
          {"dataForm", inputs.DataFormShown()},
          {"program", inputs.ProgramShown()}};
}

}  // namespace quelvar::runner
