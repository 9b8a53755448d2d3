#include "runner/GoTo.h"

#include "runner/DecodedEngine.h"

namespace quelvar {
namespace {

bool InProgram(const TForm1& form) {
  return form.InstrIndex >= 1 && form.InstrIndex <= form.List2->Count();
}

// While the engine runs, the form is in a run, as after Run It's first tick; stepping's run
// switch and timer period come back however the engine ends.
class InRun {
 public:
  explicit InRun(TForm1& form) : form_(form), period_(form.Timer1->Period()) {
    form.RunFlag = 1;
    form.Timer1->SetPeriod(1);
  }
  ~InRun() {
    form_.RunFlag = 0;
    form_.Timer1->SetPeriod(period_);
  }
  InRun(const InRun&) = delete;
  InRun& operator=(const InRun&) = delete;

 private:
  TForm1& form_;
  int32_t period_;
};

}  // namespace

uint64_t GoToLineCount(TForm1& form, uint64_t k) {
  form.Button7Click();
  if (k == 0 || !InProgram(form)) return 0;
  form.Button8Click();
  uint64_t executed = 1;
  if (executed < k && InProgram(form)) {
    const bool runItEnabled = form.Button4->Enabled();
    uint64_t run = 0;
    {
      const InRun inRun(form);
      DecodedEngine(form).Run(k - executed, run);
    }
    executed += run;
    // Run It, Step Or Run and Next as Next leaves them.
    form.Button4->SetEnabled(runItEnabled);
    const bool ended = form.List2->Count() < form.InstrIndex;
    form.Button7->SetEnabled(ended);
    form.Button8->SetEnabled(!ended);
  }
  for (; executed < k && InProgram(form); ++executed) form.Button8Click();
  return executed;
}

}  // namespace quelvar
