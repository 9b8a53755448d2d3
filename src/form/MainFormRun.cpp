// Run control: Run It, the tick, Step Or Run, Next, Halt, the Pause toggle and the key stop.
#include <exception>
#include <string>

#include "form/MainForm.h"

namespace quelvar {
namespace {

// Program line k is list row k - 1; the index can be any 32-bit value, so this wraps.
int32_t RowOfLine(int32_t line) {
  return static_cast<int32_t>(static_cast<uint32_t>(line) - 1u);
}

// Runs `end` when a failure leaves the scope. A tick that fails ends the run with it: otherwise
// every later tick would fail the same way and report it again, also while the first error box
// is still open.
template <typename End>
class OnFailure {
 public:
  explicit OnFailure(End end) : end_(end), failures_(std::uncaught_exceptions()) {}
  ~OnFailure() {
    if (std::uncaught_exceptions() > failures_) end_();
  }
  OnFailure(const OnFailure&) = delete;
  OnFailure& operator=(const OnFailure&) = delete;

 private:
  End end_;
  int failures_;
};

}  // namespace

void TForm1::FrameLine(int32_t line) {
  List2->FrameRect(List2->RowRect(RowOfLine(line)));
}

void TForm1::EndRun() {
  Button4->SetEnabled(true);
  RunFlag = 0;
}

void TForm1::Button4Click() {
  RunFlag = 1;
  const OnFailure endRun([this] { EndRun(); });
  Button1->Click();
  Button2->Click();
  InstrIndex = 1;
  Timer1Timer();
}

void TForm1::Timer1Timer() {
  if (RunFlag != 1) return;
  const OnFailure endRun([this] { EndRun(); });
  Timer1->SetPeriod(1);
  if (InstrIndex <= 0) return;
  List2->SetBrushColor(platform::clBtnFace);
  FrameLine(InstrIndex);
  Button4->SetEnabled(false);
  const int32_t line = InstrIndex;
  const std::string_view text = List2->Line(RowOfLine(line));
  ANalyseCommand(text);
  Label3->SetText(DecimalText(InstrIndex));
  if (List2->Count() < InstrIndex) EndRun();
  List2->SetBrushColor(platform::kBlue);
  FrameLine(InstrIndex);
  NarrateStep(line, text, platform::Announcement::kProgress);
}

void TForm1::Button7Click() {
  Button1->Click();
  Button2->Click();
  InstrIndex = 1;
  Button7->SetEnabled(false);
  Button8->SetEnabled(true);
  List2->RepaintNow();
  List2->SetBrushColor(platform::kBlue);
  FrameLine(1);
  if (Toolkit.Announces()) {
    Toolkit.Announce(List2->Count() == 0
                         ? "stepping: the program is empty"
                         : "stepping from line 1: " + std::string(List2->Line(0).substr(
                                                          0, platform::ListBox::kShownBytes)),
                     platform::Announcement::kStep);
  }
}

void TForm1::Button8Click() {
  List2->SetBrushColor(platform::clBtnFace);
  FrameLine(InstrIndex);
  Button7->SetEnabled(false);
  Button8->SetEnabled(true);
  const int32_t line = InstrIndex;
  const std::string_view text = List2->Line(RowOfLine(line));
  ANalyseCommand(text);
  Label3->SetText(DecimalText(InstrIndex));
  if (List2->Count() < InstrIndex) {
    Button7->SetEnabled(true);
    Button8->SetEnabled(false);
  }
  List2->SetBrushColor(platform::kBlue);
  FrameLine(InstrIndex);
  NarrateStep(line, text, platform::Announcement::kStep);
}

void TForm1::Button5Click() {
  InstrIndex = -12;
  Button4->SetEnabled(true);
  if (Toolkit.Announces()) Toolkit.Announce("halted", platform::Announcement::kEnd);
}

void TForm1::Button9Click() {
  if (RunFlag != 0) {
    RunFlag = 0;
    Button9->SetCaption("Start It");
  } else {
    RunFlag = 1;
    Button9->SetCaption("Pause It");
  }
}

void TForm1::FormKeyDown(uint16_t key, uint8_t) {
  if (key != platform::kKeyF6) return;
  InstrIndex = -10;
  if (Toolkit.Announces()) Toolkit.Announce("stopped", platform::Announcement::kEnd);
}

}  // namespace quelvar
