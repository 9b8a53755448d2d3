#pragma once

#include "form/MainForm.h"
#include "platform/headless/HeadlessToolkit.h"

namespace quelvar::fuzz {

// A form on the headless toolkit, made once a fuzz target and set back before every input to the
// same small machine: R1 = 2, R2 = 2, R3 = 7 listed, about to execute line 4.
struct SmallMachine {
  headless::HeadlessToolkit toolkit;
  TForm1 form{toolkit};

  TForm1& Reset() {
    form.Regs = {0, 2, 2, 7};
    form.RegCount = 3;
    form.OuterRegs.clear();
    form.List1->Clear();
    form.InstrIndex = 4;
    form.RedrawRegsField();
    return form;
  }
};

}  // namespace quelvar::fuzz
