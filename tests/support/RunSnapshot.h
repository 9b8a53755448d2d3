#pragma once

#include <cstdint>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "runner/BatchRun.h"

namespace quelvar::test {

// Everything a batch run leaves that a user or a caller could see: how it ended, the machine
// (scratch registers included), the displays, the buttons and the blue frame. Two paths that
// leave equal snapshots cannot be told apart.
struct RunSnapshot {
  bool started = false;
  BatchEnd end = BatchEnd::kFailed;
  uint64_t lines = 0;
  bool wrapped = false;
  std::string failure;
  std::vector<int16_t> regs;
  std::map<int32_t, int16_t> scratch;
  int32_t regCount = 0;
  int32_t instrIndex = 0;
  int runFlag = 0;
  std::vector<std::string> registerList;
  std::string label3;
  std::vector<bool> enabled;  // Run It, Halt, Step Or Run, Next, the Pause toggle
  std::vector<int32_t> blueRows;
  std::string report;
  friend bool operator==(const RunSnapshot&, const RunSnapshot&) = default;

  std::string Describe() const {
    std::ostringstream out;
    out << "started " << started << ", end " << static_cast<int>(end) << ", lines " << lines
        << ", wrapped " << wrapped << ", failure '" << failure << "', index " << instrIndex
        << ", run flag " << runFlag << ", label '" << label3 << "', registers";
    for (const int16_t r : regs) out << ' ' << r;
    out << ", scratch";
    for (const auto& [n, v] : scratch) out << ' ' << n << '=' << v;
    out << ", blue rows";
    for (const int32_t row : blueRows) out << ' ' << row;
    out << ", enabled";
    for (const bool e : enabled) out << ' ' << e;
    out << "\n" << report;
    return out.str();
  }
};

// Fills in what the form holds and shows: registers, index, run switch, register list, index
// label, the five run buttons and the blue frame.
inline void TakeForm(const TForm1& form, RunSnapshot& snapshot) {
  snapshot.regs = form.Regs;
  snapshot.scratch.insert(form.OuterRegs.begin(), form.OuterRegs.end());
  snapshot.regCount = form.RegCount;
  snapshot.instrIndex = form.InstrIndex;
  snapshot.runFlag = form.RunFlag;
  snapshot.registerList = static_cast<const headless::HeadlessListBox&>(*form.List1).Lines();
  snapshot.label3 = form.Label3->Text();
  for (const platform::Button* button :
       {form.Button4, form.Button5, form.Button7, form.Button8, form.Button9}) {
    snapshot.enabled.push_back(button->Enabled());
  }
  const auto& program = static_cast<const headless::HeadlessListBox&>(*form.List2);
  for (const int32_t row : program.OutlinedRows()) {
    if (program.OutlineOn(row) == platform::kBlue) snapshot.blueRows.push_back(row);
  }
}

// Loads `descriptor`, runs it with "Run It" and then by `path` to its end or `maxLines` lines.
inline RunSnapshot RunToEnd(BatchPath path, const std::string& descriptor, uint64_t maxLines) {
  BatchRun run("Quelvar", path);
  RunSnapshot snapshot;
  snapshot.started = run.Start(descriptor);
  snapshot.end = snapshot.started ? run.Finish(maxLines) : BatchEnd::kFailed;
  snapshot.lines = run.LinesExecuted();
  snapshot.wrapped = run.Wrapped();
  snapshot.failure = run.Failure();
  TakeForm(run.Form(), snapshot);
  snapshot.report = run.Report();
  return snapshot;
}

}  // namespace quelvar::test
