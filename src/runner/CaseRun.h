#pragma once

#include <cstdint>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "runner/BatchRun.h"
#include "runner/CaseGrammar.h"
#include "runner/Options.h"
#include "runner/RunInputs.h"

namespace quelvar::runner {

// A register a case names: what it was expected to hold and what the run left in it.
struct Named {
  int32_t reg;
  int32_t expected;
  int32_t got;
};

// One case's run and its verdict, as every report format needs it.
struct CaseResult {
  Case c;
  uint64_t number = 0;  // 1 for the first case
  std::string title;    // its name, or "case K"
  BatchEnd end = BatchEnd::kFailed;
  bool loaded = false;
  bool pass = false;
  bool wrapped = false;
  uint64_t lines = 0;
  std::string message;  // the failure, stall or limit that ended the run, if any
  std::string verdict;  // why it fails: what happened against what was expected
  std::vector<Named> named;
  std::string loadFile;  // when the load failed: the file it is about, as the user names it
  nlohmann::json run;    // with --format json: the run as it gives it
};

// The reason a run ended otherwise than at its end ("the program stalled: a jump to line 0",
// "stopped at the line limit of 50 lines", the error box's text), empty when it ended.
std::string EndText(const BatchRun& run, BatchEnd end, uint64_t maxLines,
                    const std::optional<double>& timeout);

// Loads and runs `inputs` as they stand, to the end or a limit.
BatchEnd RunToItsEnd(BatchRun& run, RunInputs& inputs, uint64_t maxLines, const Options& options,
                     std::ostream* trace);

// Runs case `c` (the k-th) on the data form it gives, and judges it.
// `trace`, when given, receives each line the run executes.
CaseResult RunCase(const Case& c, uint64_t k, const Options& options, RunInputs& inputs,
                   const std::string& title, std::ostream* trace);

// Which file a failed load or run is about, as the user names it: one that cannot be opened, or
// else the data form when no register was read, or else the program text.
std::string FailedFile(const BatchRun& run, const RunInputs& inputs);
// "quelvar-run: FILE: TEXT": a failed load or run's error box text, naming that file.
std::string FailureMessage(const BatchRun& run, const RunInputs& inputs);

// "3,4,0 => R1 is 7, expected 8": the inputs and what went wrong, for a FAIL line.
std::string FailLine(const CaseResult& result);

// The descriptor and its files, as the user names them.
nlohmann::json FilesJson(const RunInputs& inputs);

}  // namespace quelvar::runner
