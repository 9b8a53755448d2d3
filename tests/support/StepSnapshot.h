#pragma once

#include <cstdint>
#include <string>

#include "form/MainForm.h"
#include "platform/headless/HeadlessToolkit.h"
#include "runner/GoTo.h"
#include "support/RunSnapshot.h"

namespace quelvar::test {

// Loads `descriptor`, then either goes to line count `k` or, as a user would, presses "Step Or
// Run" and "Next" k times, stopping once the program has ended or stalled or a box reported a
// failure. Both must leave the same snapshot: the machine, the displays, the buttons, the frame.
inline RunSnapshot Stepped(const std::string& descriptor, uint64_t k, bool goTo) {
  headless::HeadlessToolkit toolkit("Quelvar");
  TForm1 form(toolkit);
  toolkit.FileDialog().WillChoose(descriptor);
  toolkit.ChooseMenuItem("Load1");
  RunSnapshot snapshot;
  snapshot.started = toolkit.ErrorBoxes().empty();
  const auto inProgram = [&] {
    return form.InstrIndex >= 1 && form.InstrIndex <= form.List2->Count();
  };
  if (goTo) {
    toolkit.Dispatch([&] { snapshot.lines = GoToLineCount(form, k); });
  } else {
    toolkit.UserClick("Button7");
    while (snapshot.lines < k && inProgram() && toolkit.ErrorBoxes().empty()) {
      toolkit.UserClick("Button8");
      ++snapshot.lines;
    }
  }
  if (!toolkit.ErrorBoxes().empty()) {
    snapshot.failure = toolkit.ErrorBoxes().front().text;
    snapshot.lines = 0;  // a Next that failed inside its line may or may not count it
  }
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
  return snapshot;
}

}  // namespace quelvar::test
