#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "platform/Layout.h"
#include "platform/Toolkit.h"

namespace quelvar {

// The main window: all machine state and every command of Quelvar. It reaches its controls only
// through the toolkit, so the same form runs in the Qt window, in tests and in the batch runner.
class TForm1 {
 public:
  explicit TForm1(platform::Toolkit& toolkit);
  TForm1(const TForm1&) = delete;
  TForm1& operator=(const TForm1&) = delete;

  // Machine state. Cell i of Regs is register Ri; it has RegCount + 1 cells once a data form has
  // been loaded. Registers a program names outside that range live in OuterRegs.
  std::vector<int16_t> Regs;
  int32_t RegCount = 0;
  int32_t InstrIndex = 0;
  uint8_t RunFlag = 0;
  std::unordered_map<int32_t, int16_t> OuterRegs;

  // The program descriptor's three lines.
  std::string ModuleName;
  std::string DataFileName;
  std::string ProgramFileName;

  // Controls, named as the window description names them.
  platform::Button* Button1;
  platform::Button* Button2;
  platform::Button* Button4;
  platform::Button* Button5;
  platform::Button* Button6;
  platform::Button* Button7;
  platform::Button* Button8;
  platform::Button* Button9;
  platform::Label* Label3;
  platform::Label* Label8;
  platform::Label* Label9;
  platform::Label* Label10;
  platform::ListBox* List1;
  platform::ListBox* List2;
  platform::Timer* Timer1;
  platform::OpenDialog* OpenDialog1;

  // The machine and the displays.
  void ANalyseCommand(std::string_view line);
  void RedrawRegsField();
  int16_t ReadReg(int32_t n) const;
  void WriteReg(int32_t n, int16_t value);
  int32_t DisplayedRegCount() const;

  // Loading.
  void Button6Click();  // Load
  void Button1Click();  // data form loader
  void Button2Click();  // program text loader

  // Run control.
  void Button4Click();  // Run It
  void Timer1Timer();
  void Button7Click();  // Step Or Run
  void Button8Click();  // Next
  void Button5Click();  // Halt
  void Button9Click();  // the Pause toggle
  void FormKeyDown(uint16_t key, uint8_t shift);

  // Draws the frame of program line `line` in the list's brush colour.
  void FrameLine(int32_t line);
  // The end of a run: "Run It" enabled again, the run switch off.
  void EndRun();
  // Tells assistive technology what executing program line `line` (whose text was `text`) did,
  // and where that left the run; an addition for screen-reader users.
  void NarrateStep(int32_t line, std::string_view text, platform::Announcement kind);

  // The menu.
  void Load1Click();
  void Exit1Click();
  void RunIt1Click();
  void StepOrRun1Click();
  void NextStep1Click();
  void Halt1Click();
  void About1Click();

 private:
  void FillRegsField();
  // Tells the toolkit when a load takes long, so that the window shows it is busy; nothing where
  // the toolkit shows nothing.
  std::function<void()> Busy();

  platform::Toolkit& Toolkit;
  // Registers written since the register list last showed them. Every other listed line already
  // shows its register, so a redraw rewrites only these, and not all N lines after every step.
  std::vector<int32_t> UnshownRegs;
};

// The one-line notice shown in the window and, after "Quelvar.", in the About box.
inline constexpr std::string_view kNoticeText =
    " An unlimited register machine for the classroom: Z, S, T and J.";
inline constexpr std::string_view kWarningText =
    "Registers hold 16 bits: S(n) on 32767 gives -32768.";

// The window as the toolkits build it.
const platform::FormLayout& MainFormLayout();

// A short text built without touching the heap: the per-step texts of the displays.
struct ShortText {
  std::array<char, 32> chars;
  size_t size = 0;
  operator std::string_view() const { return {chars.data(), size}; }
};

// What executing `text` did to `form`, said once it has run: the register it wrote with its new
// value ("R3 -> 2"), "jump to Q", "no jump" or "changes nothing".
std::string StepEffect(const TForm1& form, std::string_view text);

// "R", the register number, " -> ", the value.
ShortText RegisterLine(int32_t number, int16_t value);
ShortText DecimalText(int32_t value);

}  // namespace quelvar
