// What a screen reader is told of a run: an addition. Each step is said as a sighted user sees it,
// the line that ran, what it wrote and where the run stands.
#include <string>

#include "form/MainForm.h"
#include "text/ProgramLine.h"

namespace quelvar {

std::string StepEffect(const TForm1& form, std::string_view text) {
  const ProgramLine line = DecodeProgramLine(text);
  switch (line.op) {
    case ProgramLine::Op::kNothing:
      return "changes nothing";
    case ProgramLine::Op::kJump:
      return form.ReadReg(line.m) == form.ReadReg(line.n) ? "jump to " + std::to_string(line.q)
                                                          : "no jump";
    default:
      return "R" + std::to_string(line.n) + " -> " + std::to_string(form.ReadReg(line.n));
  }
}

void TForm1::NarrateStep(int32_t line, std::string_view text, platform::Announcement kind) {
  if (!Toolkit.Announces()) return;
  std::string said = "line " + std::to_string(line) + ": " +
                     std::string(text.substr(0, platform::ListBox::kShownBytes)) + ", " +
                     StepEffect(*this, text);
  if (InstrIndex <= 0) {
    said += ". Stalled: a jump to line " + std::to_string(InstrIndex);
    kind = platform::Announcement::kEnd;
  } else if (List2->Count() < InstrIndex) {
    said += ". Stopped at line " + std::to_string(InstrIndex) + ", past the last line";
    kind = platform::Announcement::kEnd;
  }
  Toolkit.Announce(said, kind);
}

}  // namespace quelvar
