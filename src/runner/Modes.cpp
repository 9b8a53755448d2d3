#include "runner/Modes.h"

#include <exception>
#include <string>
#include <vector>

#include "platform/File.h"
#include "platform/Toolkit.h"
#include "runner/BatchRun.h"
#include "runner/Cases.h"
#include "runner/Checker.h"
#include "runner/JsonReport.h"

namespace quelvar::runner {
namespace {

constexpr int kCaseFailedStatus = 5;

// After Load: Run It and the rest of the run; with a limit of 0 lines, nothing.
BatchEnd RunAfterLoad(BatchRun& run, bool loaded, const Options& options, const Streams& io) {
  if (!loaded) return BatchEnd::kFailed;
  if (options.maxLines == 0) return BatchEnd::kLineLimit;
  if (!run.RunIt(options.trace ? &io.err : nullptr)) return BatchEnd::kFailed;
  return run.Finish(options.maxLines);
}

std::string FailureText(const BatchRun& run, BatchEnd end, uint64_t maxLines) {
  switch (end) {
    case BatchEnd::kFailed:
      return run.Failure();
    case BatchEnd::kStalled:
      return "the program stalled: a jump to line " + std::to_string(run.Form().InstrIndex);
    case BatchEnd::kLineLimit:
      return "stopped at the line limit of " + std::to_string(maxLines) + " lines";
    default:
      return {};
  }
}

}  // namespace

int Failed(const Options& options, const Streams& io, const std::string& message, int status) {
  if (options.format == Format::kJson) {
    io.out << JsonText({{"outcome", "failure"}, {"message", message}}) << '\n';
  }
  io.err << message << '\n';
  return status;
}

int RunOnce(const Options& options, RunInputs& inputs, const Streams& io) {
  BatchRun run(io.title);
  const bool loaded = run.Load(inputs.Descriptor());
  const BatchEnd end = RunAfterLoad(run, loaded, options, io);
  if (options.format == Format::kJson) {
    io.out << JsonText(RunJson(run, end)) << '\n';
  } else {
    run.Report(io.out);
  }
  if (end == BatchEnd::kFailed) io.err << run.Failure() << '\n';
  return static_cast<int>(end);
}

int Check(const Options&, RunInputs& inputs, const Streams& io) {
  std::vector<Finding> findings;
  BatchRun run(io.title);
  const bool loaded = run.Load(inputs.Descriptor());
  if (loaded) {
    for (Finding& finding : CheckLoaded(run.Form(), inputs)) findings.push_back(finding);
  }
  for (const Finding& finding : findings) io.out << Diagnostic(finding) << '\n';
  if (!loaded) {
    io.err << run.Failure() << '\n';
    return 1;
  }
  return findings.empty() ? 0 : 1;
}

int Grade(const Options& options, RunInputs& inputs, const Streams& io) {
  std::string text;
  std::vector<Case> cases;
  try {
    platform::ReadConsistently(*options.cases, [&text](ByteSource& source) {
      text.clear();
      char buffer[4096];
      for (size_t got; (got = source.Read(buffer, sizeof buffer)) > 0;) text.append(buffer, got);
    });
    cases = ParseCases(text, options.casesAsGiven);
  } catch (const CaseError& bad) {
    return Failed(options, io, bad.what(), kUsageStatus);
  } catch (const std::exception& failure) {
    return Failed(options, io, options.casesAsGiven + ": " + platform::ErrorBoxText(failure.what()),
                  1);
  }

  int passed = 0;
  for (size_t k = 0; k < cases.size(); ++k) {
    const Case& c = cases[k];
    inputs.SetRegisters(c.values);
    BatchRun run(io.title);
    const BatchEnd end = RunAfterLoad(run, run.Load(inputs.Descriptor()), options, io);
    std::string failure = FailureText(run, end, options.maxLines);
    nlohmann::json mismatches = nlohmann::json::array();
    if (failure.empty()) {
      for (const auto& [reg, expected] : c.expected) {
        const int16_t actual = run.Form().ReadReg(reg);
        if (actual == expected) continue;
        failure += (failure.empty() ? "" : ", ") + ("R" + std::to_string(reg)) + " is " +
                   std::to_string(actual) + ", expected " + std::to_string(expected);
        mismatches.push_back({{"register", reg}, {"expected", expected}, {"actual", actual}});
      }
    }
    passed += failure.empty();
    if (options.format == Format::kJson) {
      nlohmann::json result = RunJson(run, end);
      result["case"] = k + 1;
      result["line"] = c.line;
      result["pass"] = failure.empty();
      result["mismatches"] = mismatches;
      io.out << JsonText(result) << '\n';
    } else {
      io.out << "case " << k + 1 << ": " << (failure.empty() ? "pass" : "FAIL: " + failure) << '\n';
    }
  }
  if (options.format == Format::kJson) {
    io.out << JsonText({{"passed", passed}, {"cases", cases.size()}}) << '\n';
  } else {
    io.out << passed << "/" << cases.size() << " cases pass\n";
  }
  return passed == static_cast<int>(cases.size()) ? 0 : kCaseFailedStatus;
}

}  // namespace quelvar::runner
