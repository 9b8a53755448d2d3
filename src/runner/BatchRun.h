#pragma once

#include <cstdint>
#include <ostream>
#include <string>

#include "MainForm.h"
#include "platform/headless/HeadlessToolkit.h"

namespace quelvar {

// How a batch run ended; the values are quelvar-run's exit statuses.
enum class BatchEnd : int {
  kFinished = 0,   // the run passed the last line
  kFailed = 1,     // a failure was reported
  kStalled = 3,    // a jump to line 0 or below
  kLineLimit = 4,  // the line limit was reached
};

// The window's form on the headless toolkit, used as a user would: Load picks the descriptor,
// then "Run It", then ticks back to back with no waiting.
class BatchRun {
 public:
  explicit BatchRun(std::string title);

  // Load and "Run It"; false when either reported a failure. `trace`, when given, receives each
  // executed line as "K: TEXT" before it runs.
  bool Start(const std::string& descriptor, std::ostream* trace = nullptr);
  // Ticks until the run ends, stalls, fails, or `maxLines` lines in all have executed.
  BatchEnd Finish(uint64_t maxLines);

  uint64_t LinesExecuted() const { return lines_; }
  // The error box's text of the first failure, empty when there was none.
  std::string Failure() const;
  // Every line of the register list, the index label and the count of executed lines.
  void Report(std::ostream& out) const;

 private:
  bool Failed() const { return !toolkit_.ErrorBoxes().empty(); }
  void Trace() const;

  headless::HeadlessToolkit toolkit_;
  TForm1 form_;
  std::ostream* trace_ = nullptr;
  uint64_t lines_ = 0;
};

}  // namespace quelvar
