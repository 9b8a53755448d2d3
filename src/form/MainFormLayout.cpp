// The window as a form file would describe it: every control with its place, size, text and state
// at start, the main menu with its mnemonics and shortcuts, and the tab order. Every toolkit
// builds the window from this one description.
//
// The texts and names here are the window's own and are deliberate, typos included: the button
// "Load Progrtam", the dialog filter's "Register Mashine" (in the Load command), and names such as
// ANalyseCommand. Users and their course material know them as they are; do not "fix" them. A
// table test (LayoutTest) pins every one of them.
#include "form/MainForm.h"

namespace quelvar {
namespace {

using platform::ControlKind;
using platform::ControlSpec;
using platform::kCtrl;
using platform::kShift;
using platform::MenuSpec;

constexpr ControlKind kButton = ControlKind::Button;
constexpr ControlKind kLabel = ControlKind::Label;
constexpr ControlKind kList = ControlKind::ListBox;
constexpr ControlKind kBevel = ControlKind::Bevel;
constexpr ControlKind kImage = ControlKind::Image;

// name, kind, left, top, width, height, text, enabled, visible, takes keys
constexpr ControlSpec kControls[] = {
    {"Bevel2", kBevel, 8, 0, 641, 9, "", true, true, false, "Separator"},
    {"Button6", kButton, 8, 8, 97, 17, "Load Progrtam", true, true, true},
    {"Button4", kButton, 112, 8, 105, 17, "Run It", false, true, true},
    {"Button7", kButton, 224, 8, 97, 17, "Step Or Run", false, true, true},
    {"Button8", kButton, 328, 8, 105, 17, "Next", false, true, true},
    {"Button9", kButton, 440, 8, 97, 17, "Pause It", false, true, false},
    {"Button5", kButton, 544, 8, 105, 17, "Halt", false, true, true},
    {"Bevel1", kBevel, 8, 32, 641, 9, "", true, true, false, "Separator"},
    {"Label1", kLabel, 8, 40, 47, 13, "Registers:", true, true, false},
    {"Label2", kLabel, 216, 40, 42, 13, "Program:", true, true, false},
    {"List1", kList, 16, 56, 193, 225, "", true, true, true, "Registers"},
    {"List2", kList, 216, 56, 425, 193, "", true, true, true, "Program"},
    {"Label5", kLabel, 224, 256, 79, 13, "Program module:", true, true, false},
    {"Label8", kLabel, 320, 256, 3, 13, "", true, true, false},
    {"Label6", kLabel, 224, 272, 49, 13, "Data form:", true, true, false},
    {"Label9", kLabel, 296, 272, 3, 13, "", true, true, false},
    {"Label4", kLabel, 16, 280, 91, 13, "Instruction Index is:", true, true, false},
    {"Label3", kLabel, 152, 280, 32, 13, "Label3", true, true, false},
    {"Label7", kLabel, 224, 288, 85, 13, "Program text from:", true, true, false},
    {"Label10", kLabel, 328, 288, 3, 13, "", true, true, false},
    {"Bevel3", kBevel, 4, 304, 641, 9, "", true, true, false, "Separator"},
    {"Image4", kImage, 8, 304, 233, 33, "", true, true, false,
     "Quelvar logo: three register cells, the middle one framed in blue"},
    {"Label13", kLabel, 256, 312, 191, 13, kNoticeText, true, true, false},
    {"Label11", kLabel, 256, 328, 256, 13, kWarningText, true, true, false},
    {"Button1", kButton, 424, 208, 75, 25, "Button1", true, false, false},
    {"Button2", kButton, 520, 208, 75, 25, "Button2", true, false, false},
};

constexpr platform::MenuTitleSpec kMenus[] = {{"Program", 0}, {"Run", 0}, {"Help", 0}};

// name, menu, caption, shortcut, mnemonic (the position of its letter in the caption)
constexpr MenuSpec kMenu[] = {
    {"Load1", "Program", "Load", {platform::kKeyF3, 0}, 0},
    {"Exit1", "Program", "Exit", {'X', kCtrl}, 0},
    {"RunIt1", "Run", "Run It", {platform::kKeyF9, kCtrl}, 0},
    {"N1", "Run", "-", {}, -1},
    {"StepOrRun1", "Run", "Step Or Run", {platform::kKeyF9, kShift}, 0},
    {"NextStep1", "Run", "Next Step", {platform::kKeyF7, 0}, 0},
    {"N2", "Run", "-", {}, -1},
    {"Halt1", "Run", "Halt", {platform::kKeyF6, 0}, 0},
    {"About1", "Help", "About", {platform::kKeyF1, 0}, 0},
};

constexpr std::string_view kTabOrder[] = {"List1",   "List2",   "Button4", "Button6",
                                          "Button7", "Button8", "Button5", "Button9"};

// Additions for keyboard users. Step Or Run hands its command on to Next, Run It to the Pause
// toggle, Next (at the end of the program) back to Step Or Run, Halt to Run It.
constexpr std::string_view kAfterStepOrRun[] = {"Button8"};
constexpr std::string_view kAfterRunIt[] = {"Button9"};
constexpr std::string_view kAfterNext[] = {"Button7", "Button4"};
constexpr std::string_view kAfterHalt[] = {"Button4"};
constexpr platform::FocusTakeover kFocusTakeovers[] = {
    {"Button7", kAfterStepOrRun},
    {"Button4", kAfterRunIt},
    {"Button8", kAfterNext},
    {"Button5", kAfterHalt},
};
// F8 pauses and resumes, as it does in debuggers, beside F7 (Next) and F9 (Run It); the menu
// leaves it free, and the Pause toggle has no shortcut of its own.
constexpr platform::ButtonKey kButtonKeys[] = {{{platform::kKeyF8, 0}, "Button9"}};

constexpr platform::FormLayout kLayout{"Quelvar",       190,        120,   649,       341,
                                       kControls,       kMenus,     kMenu, kTabOrder, 1000,
                                       kFocusTakeovers, kButtonKeys};

}  // namespace

const platform::FormLayout& MainFormLayout() {
  return kLayout;
}

}  // namespace quelvar
