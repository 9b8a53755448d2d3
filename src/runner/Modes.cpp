#include "runner/Modes.h"

#include <exception>
#include <functional>
#include <new>
#include <sstream>
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

// "2 s", "0.5 s": as short as the number allows.
std::string TimeLimitText(double seconds) {
  std::ostringstream text;
  text << seconds << " s";
  return text.str();
}

// After Load: Run It and the rest of the run; with a limit of 0 lines, nothing.
BatchEnd RunAfterLoad(BatchRun& run, bool loaded, const Options& options, const Streams& io) {
  if (!loaded) return BatchEnd::kFailed;
  if (options.maxLines == 0) return BatchEnd::kLineLimit;
  if (!run.RunIt(options.trace ? &io.err : nullptr)) return BatchEnd::kFailed;
  return run.Finish(options.maxLines, options.timeout);
}

std::string FailureText(const BatchRun& run, BatchEnd end, const Options& options) {
  switch (end) {
    case BatchEnd::kFailed:
      return run.Failure();
    case BatchEnd::kStalled:
      return "the program stalled: a jump to line " + std::to_string(run.Form().InstrIndex);
    case BatchEnd::kLineLimit:
      return "stopped at the line limit of " + std::to_string(options.maxLines) + " lines";
    case BatchEnd::kTimeLimit:
      return "stopped at the time limit of " + TimeLimitText(*options.timeout) + " of CPU time";
    default:
      return {};
  }
}

CaseError NoCase(const std::string& shown) {
  return CaseError(shown + ": error: no case in the file: grading would check nothing");
}

// Runs the cases as the reader hands them out.
int GradeCases(const Options& options, RunInputs& inputs, const Streams& io, CaseReader& reader) {
  uint64_t passed = 0;
  uint64_t count = 0;
  for (Case c; reader.Next(c);) {
    const uint64_t k = count++;
    inputs.SetRegisters(c.values);
    BatchRun run(io.title);
    const BatchEnd end =
        RunAfterLoad(run, run.Load(inputs.Descriptor(), inputs.Files()), options, io);
    std::string failure = FailureText(run, end, options);
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
  // The file may have been emptied since it was checked.
  if (count == 0) throw NoCase(reader.ShownAs());
  if (options.format == Format::kJson) {
    io.out << JsonText({{"passed", passed}, {"cases", count}}) << '\n';
  } else {
    io.out << passed << "/" << count << " cases pass\n";
  }
  return passed == count ? 0 : kCaseFailedStatus;
}

// Reports a failure to read the cases file as quelvar-run's other failures are.
int ReadingCases(const Options& options, const Streams& io, const std::function<int()>& read) {
  const std::string& shown = options.casesAsGiven;
  try {
    return read();
  } catch (const CaseError& bad) {
    return Failed(options, io, bad.what(), kUsageStatus);
  } catch (const std::bad_alloc&) {
    return Failed(options, io, shown + ": error: out of memory while reading the cases", 1);
  } catch (const std::exception& failure) {
    return Failed(options, io, shown + ": " + platform::ErrorBoxText(failure.what()), 1);
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
  const bool loaded = run.Load(inputs.Descriptor(), inputs.Files());
  const BatchEnd end = RunAfterLoad(run, loaded, options, io);
  if (options.format == Format::kJson) {
    io.out << JsonText(RunJson(run, end)) << '\n';
  } else {
    run.Report(io.out);
  }
  if (end == BatchEnd::kFailed || end == BatchEnd::kTimeLimit) {
    io.err << FailureText(run, end, options) << '\n';
  }
  return static_cast<int>(end);
}

int Check(const Options&, RunInputs& inputs, const Streams& io) {
  BatchRun run(io.title);
  const bool loaded = run.Load(inputs.Descriptor(), inputs.Files());
  std::vector<Finding> findings = CheckFiles(run.Form(), inputs);
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
  // The file is read twice, a piece at a time: whole first, so that a bad line stops the grading
  // before any case runs, then case by case as each runs.
  const std::string& shown = options.casesAsGiven;
  const int checked = ReadingCases(options, io, [&] {
    bool any = false;
    platform::ReadConsistently(*options.cases, [&](ByteSource& source) {
      CaseReader reader(source, shown);
      Case c;
      any = false;
      while (reader.Next(c)) any = true;
    });
    if (!any) throw NoCase(shown);
    return 0;
  });
  if (checked != 0) return checked;
  return ReadingCases(options, io, [&] {
    platform::InputFile file(*options.cases);
    CaseReader reader(file, shown);
    return GradeCases(options, inputs, io, reader);
  });
}

}  // namespace quelvar::runner
