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
  TakeForm(form, snapshot);
  return snapshot;
}

}  // namespace quelvar::test
