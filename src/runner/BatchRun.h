#pragma once

#include <cstdint>
#include <optional>
#include <ostream>
#include <string>

#include "form/MainForm.h"
#include "platform/headless/HeadlessToolkit.h"

namespace quelvar {

// How a batch run ended; the values are quelvar-run's exit statuses.
enum class BatchEnd : int {
  kFinished = 0,   // the run passed the last line
  kFailed = 1,     // a failure was reported
  kStalled = 3,    // a jump to line 0 or below
  kLineLimit = 4,  // the line limit was reached
  kTimeLimit = 6,  // the time limit was reached
};

// Receives each executed line of a traced run after it ran: its line number, its text, and
// whether it completed (a line that failed inside did not).
class TraceSink {
 public:
  virtual ~TraceSink() = default;
  virtual void Line(int32_t line, std::string_view text, bool done, const TForm1& form) = 0;
};

// How the lines after the first are executed: by the decoded engine, which hands the form back to
// the ticks whenever it is not in a plain run, or by ticks alone, as the window does.
enum class BatchPath { kDecoded, kTicks };

// The window's form on the headless toolkit, used as a user would: Load picks the descriptor,
// then "Run It", then ticks back to back with no waiting, or the decoded engine in their place.
class BatchRun {
 public:
  explicit BatchRun(std::string title, BatchPath path = BatchPath::kDecoded);

  // Load and "Run It"; false when either reported a failure. `trace`, when given, receives each
  // executed line after it ran, as "K: TEXT  EFFECT" (K its line number, EFFECT the register it
  // wrote with its new value, "jump to Q", "no jump" or "changes nothing").
  bool Start(const std::string& descriptor, std::ostream* trace = nullptr);
  // The two halves of Start.
  bool Load(const std::string& descriptor);
  // Load with `files` in front of the disk for this load and every one after it.
  bool Load(const std::string& descriptor, const platform::FileTable& files);
  bool RunIt(std::ostream* trace = nullptr);
  // "Run It" with each executed line going to `sink` in place of the text trace.
  bool RunIt(TraceSink& sink);
  // Ticks until the run ends, stalls, fails, or `maxLines` lines in all have executed, or, given
  // `cpuSeconds`, the process has spent that much CPU time in Finish. The clock is read between
  // slices of lines, so a run may go a few milliseconds past it.
  BatchEnd Finish(uint64_t maxLines, std::optional<double> cpuSeconds = std::nullopt);

  uint64_t LinesExecuted() const { return lines_; }
  // Whether the last Load loaded both files.
  bool Loaded() const { return loaded_; }
  // Whether a line of the run took a register from 32767 round to -32768 with S.
  bool Wrapped() const { return wrapped_; }
  // The error box's text of the first failure, empty when there was none.
  std::string Failure() const;
  // Every line of the register list, the index label and the count of executed lines; when
  // nothing was loaded, only the count.
  std::string Report() const;

  const TForm1& Form() const { return form_; }
  const headless::HeadlessToolkit& Toolkit() const { return toolkit_; }
  headless::HeadlessToolkit& Toolkit() { return toolkit_; }

 private:
  bool Failed() const { return !toolkit_.ErrorBoxes().empty(); }
  bool Tracing() const { return trace_ != nullptr || sink_ != nullptr; }
  void Trace(int32_t line, std::string_view text, bool done) const;
  // After a tick executed `text` in full: notes an S that wrapped, which leaves -32768.
  void NoteWrap(std::string_view text);

  headless::HeadlessToolkit toolkit_;
  TForm1 form_;
  BatchPath path_;
  std::ostream* trace_ = nullptr;
  TraceSink* sink_ = nullptr;
  uint64_t lines_ = 0;
  bool loaded_ = false;
  bool wrapped_ = false;
};

}  // namespace quelvar
