#pragma once

#include <cstdint>

#include "form/MainForm.h"

namespace quelvar {

// Go to line count K: leaves the form as "Step Or Run" and then K presses of "Next" would, the
// presses ending early when the program has ended or stalled. The first line runs as Next runs
// it, the rest in the decoded engine, handed over as a batch run hands a run to it; what the
// engine cannot run goes on by Next. Returns how many lines executed.
uint64_t GoToLineCount(TForm1& form, uint64_t k);

}  // namespace quelvar
