#include <gtest/gtest.h>

#include <cstdio>
#include <map>
#include <memory>
#include <string>

#include "support/FormFixture.h"
#include "support/StandardInput.h"

namespace quelvar::test {
namespace {

using Lines = std::vector<std::string>;
using Rows = std::vector<int32_t>;
using platform::kBlue;
using platform::kKeyF6;
using platform::kKeyF7;

// A window on the headless toolkit, driven by the commands' names.
struct Window {
  headless::HeadlessToolkit toolkit{"Demo"};
  TForm1 form{toolkit};
  std::string descriptor;

  void Do(const std::string& command) {
    if (command == "Load") {
      toolkit.FileDialog().WillChoose(descriptor);
      toolkit.ChooseMenuItem("Load1");
    } else if (command == "RunIt") {
      toolkit.PressKey(platform::kKeyF9, platform::kCtrl);
    } else if (command == "StepOrRun") {
      toolkit.PressKey(platform::kKeyF9, platform::kShift);
    } else if (command == "F7") {
      toolkit.PressKey(kKeyF7, platform::kNoShift);
    } else if (command == "Next") {
      toolkit.UserClick("Button8");
    } else if (command == "Halt") {
      toolkit.PressKey(kKeyF6, platform::kNoShift, "List2");
    } else if (command == "Pause") {
      toolkit.UserClick("Button9");
    } else if (command == "Tick") {
      toolkit.Tick();
    } else if (command == "F8") {
      toolkit.PressKey(platform::kKeyF8, platform::kNoShift, "List2");
    } else if (command == "KeyStop") {
      toolkit.PressKey(kKeyF6, platform::kShift, "List2");
    } else {
      ADD_FAILURE() << "no command " << command;
    }
  }
  void DoAll(const Lines& commands) {
    for (const std::string& command : commands) Do(command);
  }

  // "Run It", "Step Or Run", "Next" and the Pause toggle, '1' where enabled.
  std::string Buttons() {
    std::string flags;
    for (const char* name : {"Button4", "Button7", "Button8", "Button9"}) {
      flags += toolkit.ButtonNamed(name).Enabled() ? '1' : '0';
    }
    return flags;
  }
  headless::HeadlessListBox& List2() { return toolkit.ListNamed("List2"); }
  Rows BlueRows() {
    Rows rows;
    for (const int32_t row : List2().OutlinedRows()) {
      if (List2().OutlineOn(row) == kBlue) rows.push_back(row);
    }
    return rows;
  }
  std::string Label3() { return toolkit.LabelNamed("Label3").Text(); }
  Lines Errors() {
    Lines texts;
    for (const auto& box : toolkit.ErrorBoxes()) texts.push_back(box.text);
    return texts;
  }
};

// The three-line program 'Z(1)', 'S(1)', 'S(1)' over the data form 5, 6. Standard input is
// /dev/null, so that loaders given an empty name fail the same way wherever the tests run.
class RunControlTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir.Write("data.txt", "5\r\n6");
    dir.Write("prog.txt", "Z(1)\r\nS(1)\r\nS(1)");
    Reopen();
  }
  // A new window whose Load picks the three-line program's descriptor.
  Window& Reopen() {
    w = std::make_unique<Window>();
    w->descriptor = dir.Write("prog.rm", "Three\r\ndata.txt\r\nprog.txt");
    return *w;
  }

  StandardInput nullInput;
  TempDir dir;
  std::unique_ptr<Window> w;
};

const std::map<std::string, Lines> kStates = {
    {"NotLoaded", {}},
    {"Loaded", {"Load"}},
    {"Running", {"Load", "RunIt"}},
    {"Paused", {"Load", "RunIt", "Pause"}},
    {"Stepping", {"Load", "StepOrRun"}},
    {"RunFinished", {"Load", "RunIt", "Tick", "Tick"}},
    {"StepsFinished", {"Load", "StepOrRun", "F7", "F7", "F7"}},
    {"Halted", {"Load", "RunIt", "Halt"}},
    {"Stalled", {"Load", "RunIt", "KeyStop"}},
    {"SteppingHalted", {"Load", "StepOrRun", "Halt"}},
    {"SteppingLoaded", {"Load", "StepOrRun", "Load"}},
};

struct Transition {
  const char* state;
  const char* command;  // "" for the state itself
  int runFlag;
  int32_t instrIndex;
  const char* buttons;  // Run It, Step Or Run, Next, Pause: '1' enabled
  const char* caption;
  const char* label3;
  Rows blueRows;
  Lines errors;
};

TEST_F(RunControlTest, WalksTheStateTable) {
  const char* P = "Pause It";
  const char* S = "Start It";
  const Lines none;
  const Transition table[] = {
      // the states themselves
      {"NotLoaded", "", 0, 0, "0000", P, "Label3", {}, none},
      {"Loaded", "", 0, 0, "1101", P, "Label3", {}, none},
      {"Running", "", 1, 2, "0101", P, "2", {1}, none},
      {"Paused", "", 0, 2, "0101", S, "2", {1}, none},
      {"Stepping", "", 0, 1, "1011", P, "Label3", {0}, none},
      {"RunFinished", "", 0, 4, "1101", P, "4", {3}, none},
      {"StepsFinished", "", 0, 4, "1101", P, "4", {3}, none},
      {"Halted", "", 1, -12, "1101", P, "2", {1}, none},
      {"Stalled", "", 1, -10, "0101", P, "2", {1}, none},
      // not loaded: the menu still acts, on empty file names
      {"NotLoaded", "RunIt", 0, 0, "1000", P, "Label3", {}, {"I/O error 6."}},
      {"NotLoaded", "StepOrRun", 0, 0, "0000", P, "Label3", {}, {"I/O error 6."}},
      {"NotLoaded", "F7", 0, 0, "0010", P, "Label3", {}, {"List index out of bounds (-1)"}},
      {"NotLoaded", "Halt", 0, -12, "1000", P, "Label3", {}, none},
      {"NotLoaded", "Pause", 0, 0, "0000", P, "Label3", {}, none},
      {"NotLoaded", "Tick", 0, 0, "0000", P, "Label3", {}, none},
      {"NotLoaded", "KeyStop", 0, -10, "0000", P, "Label3", {}, none},
      // loaded
      {"Loaded", "RunIt", 1, 2, "0101", P, "2", {1}, none},
      {"Loaded", "StepOrRun", 0, 1, "1011", P, "Label3", {0}, none},
      {"Loaded", "F7", 0, 0, "1101", P, "Label3", {}, none},
      {"Loaded", "Next", 0, 0, "1101", P, "Label3", {}, none},
      {"Loaded", "Halt", 0, -12, "1101", P, "Label3", {}, none},
      {"Loaded", "Pause", 1, 0, "1101", P, "Label3", {}, none},
      {"Loaded", "Tick", 0, 0, "1101", P, "Label3", {}, none},
      // running
      {"Running", "Tick", 1, 3, "0101", P, "3", {2}, none},
      {"Running", "RunIt", 1, 2, "0101", P, "2", {1}, none},
      {"Running", "StepOrRun", 1, 1, "0011", P, "2", {0}, none},
      {"Running", "F7", 1, 2, "0101", P, "2", {1}, none},
      {"Running", "Halt", 1, -12, "1101", P, "2", {1}, none},
      {"Running", "Pause", 0, 2, "0101", S, "2", {1}, none},
      {"Running", "KeyStop", 1, -10, "0101", P, "2", {1}, none},
      // paused
      {"Paused", "Tick", 0, 2, "0101", S, "2", {1}, none},
      {"Paused", "Pause", 1, 2, "0101", P, "2", {1}, none},
      {"Paused", "RunIt", 1, 2, "0101", S, "2", {1}, none},
      {"Paused", "StepOrRun", 0, 1, "0011", S, "2", {0}, none},
      {"Paused", "Halt", 0, -12, "1101", S, "2", {1}, none},
      // stepping
      {"Stepping", "F7", 0, 2, "1011", P, "2", {1}, none},
      {"Stepping", "Next", 0, 2, "1011", P, "2", {1}, none},
      {"Stepping", "RunIt", 1, 2, "0011", P, "2", {1}, none},
      {"Stepping", "StepOrRun", 0, 1, "1011", P, "Label3", {0}, none},
      {"Stepping", "Halt", 0, -12, "1011", P, "Label3", {0}, none},
      {"Stepping", "Pause", 1, 1, "1011", P, "Label3", {0}, none},
      {"Stepping", "Tick", 0, 1, "1011", P, "Label3", {0}, none},
      {"Stepping", "KeyStop", 0, -10, "1011", P, "Label3", {0}, none},
      // Load while stepping enables "Step Or Run" again and leaves "Next" enabled: F7 then does
      // nothing, while "Next" steps and disables "Step Or Run" once more
      {"SteppingLoaded", "", 0, 1, "1111", P, "Label3", {0}, none},
      {"SteppingLoaded", "F7", 0, 1, "1111", P, "Label3", {0}, none},
      {"SteppingLoaded", "Next", 0, 2, "1011", P, "2", {1}, none},
      // finished
      {"RunFinished", "RunIt", 1, 2, "0101", P, "2", {1}, none},
      {"RunFinished", "StepOrRun", 0, 1, "1011", P, "4", {0}, none},
      {"RunFinished", "F7", 0, 4, "1101", P, "4", {3}, none},
      {"RunFinished", "Halt", 0, -12, "1101", P, "4", {3}, none},
      {"RunFinished", "Pause", 1, 4, "1101", P, "4", {3}, none},
      {"RunFinished", "Tick", 0, 4, "1101", P, "4", {3}, none},
      {"StepsFinished", "F7", 0, 4, "1101", P, "4", {3}, none},
      {"StepsFinished", "Next", 0, 4, "1101", P, "4", {3}, none},
      {"StepsFinished", "RunIt", 1, 2, "0101", P, "2", {1}, none},
      {"StepsFinished", "StepOrRun", 0, 1, "1011", P, "4", {0}, none},
      // halted and stalled
      {"Halted", "Tick", 1, -12, "1101", P, "2", {1}, none},
      {"Halted", "RunIt", 1, 2, "0101", P, "2", {1}, none},
      {"Halted", "StepOrRun", 1, 1, "1011", P, "2", {0}, none},
      {"Halted", "Pause", 0, -12, "1101", S, "2", {1}, none},
      {"Stalled", "Tick", 1, -10, "0101", P, "2", {1}, none},
      {"Stalled", "RunIt", 1, 2, "0101", P, "2", {1}, none},
      {"Stalled", "Halt", 1, -12, "1101", P, "2", {1}, none},
      {"Stalled", "Pause", 0, -10, "0101", S, "2", {1}, none},
      // "Next" after "Halt" while stepping fails, once per press, and changes nothing else; the
      // frame of line -12 stands nowhere, so the one on line 1 stays
      {"SteppingHalted",
       "F7",
       0,
       -12,
       "1011",
       P,
       "Label3",
       {0},
       {"List index out of bounds (-13)"}},
  };
  for (const Transition& t : table) {
    SCOPED_TRACE(std::string(t.state) + " + " + t.command);
    Window& win = Reopen();
    win.DoAll(kStates.at(t.state));
    if (*t.command != '\0') win.Do(t.command);
    EXPECT_EQ(win.form.RunFlag, t.runFlag);
    EXPECT_EQ(win.form.InstrIndex, t.instrIndex);
    EXPECT_EQ(win.Buttons(), t.buttons);
    EXPECT_EQ(win.toolkit.ButtonNamed("Button9").Caption(), t.caption);
    EXPECT_EQ(win.Label3(), t.label3);
    EXPECT_EQ(win.BlueRows(), t.blueRows);
    EXPECT_EQ(win.Errors(), t.errors);
  }
}

TEST_F(RunControlTest, RunsTheThreeLineProgramToItsEnd) {
  w->DoAll({"Load", "RunIt"});
  EXPECT_EQ(w->Label3(), "2");
  w->Do("Tick");
  EXPECT_EQ(w->Label3(), "3");
  w->Do("Tick");
  EXPECT_EQ(w->Label3(), "4");
  EXPECT_TRUE(w->toolkit.ButtonNamed("Button4").Enabled());
  EXPECT_EQ(w->form.RunFlag, 0);
  EXPECT_EQ(w->toolkit.ButtonNamed("Button9").Caption(), "Pause It");
  EXPECT_EQ(w->BlueRows(), (Rows{3}));  // just below line 3
  EXPECT_EQ(w->toolkit.ListNamed("List1").Lines(), (Lines{"R1 -> 2", "R2 -> 6"}));
  EXPECT_TRUE(w->Errors().empty());
}

TEST_F(RunControlTest, StepsTheThreeLineProgramToItsEnd) {
  w->DoAll({"Load", "StepOrRun"});
  for (const char* label : {"2", "3", "4"}) {
    w->Do("Next");
    EXPECT_EQ(w->Label3(), label);
  }
  EXPECT_EQ(w->Buttons(), "1101");
  w->Do("F7");
  EXPECT_EQ(w->form.InstrIndex, 4);
  EXPECT_TRUE(w->Errors().empty());
}

TEST_F(RunControlTest, TheTimerTurnsToOneMillisecondAtTheFirstTickThatRuns) {
  auto& timer = w->toolkit.MainTimer();
  w->DoAll({"Load", "Tick", "Tick"});
  EXPECT_EQ(timer.Period(), 1000);
  w->DoAll({"RunIt", "Tick", "Tick", "Halt", "Pause", "Tick"});
  EXPECT_EQ(timer.Period(), 1);
  EXPECT_EQ(timer.Restarts(), 1);
}

TEST_F(RunControlTest, ARefusedTimerIsReportedOnceAndEndsTheRun) {
  w->toolkit.MainTimer().RefuseTimers(true);
  w->DoAll({"Load", "RunIt", "Tick", "Tick"});
  EXPECT_EQ(w->Errors(), (Lines{"Not enough timers available."}));
  EXPECT_EQ(w->toolkit.MainTimer().Period(), 1);
  EXPECT_EQ(w->form.RunFlag, 0);
  EXPECT_TRUE(w->toolkit.ButtonNamed("Button4").Enabled());
}

// A tick that fails ends the run as running off the end would, and is reported once.
TEST_F(RunControlTest, AFailingRunIsReportedOnce) {
  const struct {
    const char* what;
    Lines commands;
    const char* program;  // written before the last command when not null
    Lines errors;
  } cases[] = {
      {"pause toggle after a finished run",
       {"Load", "RunIt", "Tick", "Tick", "Pause"},
       nullptr,
       {"List index out of bounds (3)"}},
      {"an empty program", {"Load", "RunIt"}, "", {"List index out of bounds (0)"}},
      {"a shorter program loaded during the run",
       {"Load", "RunIt", "Tick", "Load"},
       "Z(1)",
       {"List index out of bounds (2)"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    Reopen();
    dir.Write("prog.txt", "Z(1)\r\nS(1)\r\nS(1)");
    for (size_t i = 0; i < c.commands.size(); ++i) {
      if (c.program != nullptr && i + 1 == c.commands.size()) dir.Write("prog.txt", c.program);
      w->Do(c.commands[i]);
    }
    for (int tick = 0; tick < 5; ++tick) w->Do("Tick");
    EXPECT_EQ(w->Errors(), c.errors);
    EXPECT_EQ(w->form.RunFlag, 0);
    EXPECT_TRUE(w->toolkit.ButtonNamed("Button4").Enabled());
  }
}

TEST_F(RunControlTest, AFailingLoaderInsideRunItEndsTheRun) {
  w->DoAll({"Load", "RunIt", "Tick"});
  std::remove(dir.PathOf("data.txt").c_str());
  w->DoAll({"RunIt", "Tick", "Tick", "Tick"});
  EXPECT_EQ(w->Errors(), (Lines{"File not found."}));
  EXPECT_EQ(w->form.RunFlag, 0);
  EXPECT_EQ(w->form.InstrIndex, 3);
  EXPECT_EQ(w->Label3(), "3");
}

TEST_F(RunControlTest, NextPastTheEndWhileTicksRunFailsOncePerPress) {
  w->DoAll({"Load", "StepOrRun", "Pause", "Next", "Next", "Next"});
  EXPECT_EQ(w->form.InstrIndex, 4);
  w->DoAll({"Tick", "Tick"});
  EXPECT_EQ(w->Errors(), (Lines{"List index out of bounds (3)"}));
  w->form.RunFlag = 0;
  w->toolkit.ButtonNamed("Button8").SetEnabled(true);
  w->DoAll({"Next", "Next"});
  EXPECT_EQ(w->Errors().size(), 3u);
}

TEST_F(RunControlTest, JumpsEndOrStallTheRun) {
  const struct {
    const char* program;
    int32_t instrIndex;
    int runFlag;
    const char* runIt;
    Rows blueRows;
  } cases[] = {
      {"J(1,1,0)", 0, 1, "0", {}},           // stalled: nothing runs, nothing is framed
      {"J(1,1,2)\r\nZ(1)", 3, 0, "1", {2}},  // to count + 1: the end, framed below the last
      {"J(1,1,7)\r\nZ(1)", 7, 0, "1", {}},   // further on: the end, with no frame
      {"J(1,1,1)", 1, 1, "0", {0}},          // the line itself, for ever
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.program);
    Reopen();
    dir.Write("prog.txt", c.program);
    w->DoAll({"Load", "RunIt", "Tick", "Tick", "Tick"});
    EXPECT_EQ(w->form.InstrIndex, c.instrIndex);
    EXPECT_EQ(w->form.RunFlag, c.runFlag);
    EXPECT_EQ(w->Buttons().substr(0, 1), c.runIt);
    EXPECT_EQ(w->BlueRows(), c.blueRows);
    EXPECT_TRUE(w->Errors().empty());
  }
}

TEST_F(RunControlTest, TicksAndNextExecuteTogether) {
  w->DoAll({"Load", "StepOrRun", "RunIt"});
  EXPECT_EQ(w->form.InstrIndex, 2);
  w->Do("Next");
  w->Do("Tick");
  EXPECT_EQ(w->form.InstrIndex, 4);
  EXPECT_EQ(w->form.RunFlag, 0);
  EXPECT_EQ(w->toolkit.ListNamed("List1").Lines(), (Lines{"R1 -> 2", "R2 -> 6"}));
}

TEST_F(RunControlTest, ARepaintRemovesTheFrameUntilTheNextStep) {
  w->DoAll({"Load", "RunIt"});
  w->List2().RepaintNow();
  EXPECT_TRUE(w->BlueRows().empty());
  w->Do("Tick");
  EXPECT_EQ(w->BlueRows(), (Rows{2}));
}

}  // namespace
// What a screen reader is told (an addition): each command and each step once, as the window
// shows it; the steps of a run as progress, its end at once.
TEST_F(RunControlTest, AnnouncesEveryStepAndTheEndOfARun) {
  using Kind = platform::Announcement;
  const struct {
    Lines commands;
    std::vector<std::pair<std::string, Kind>> said;
  } cases[] = {
      {{"Load", "StepOrRun", "F7", "F7", "F7"},
       {{"stepping from line 1: Z(1)", Kind::kStep},
        {"line 1: Z(1), R1 -> 0", Kind::kStep},
        {"line 2: S(1), R1 -> 1", Kind::kStep},
        {"line 3: S(1), R1 -> 2. Stopped at line 4, past the last line", Kind::kEnd}}},
      {{"Load", "RunIt", "Tick", "Tick"},
       {{"line 1: Z(1), R1 -> 0", Kind::kProgress},
        {"line 2: S(1), R1 -> 1", Kind::kProgress},
        {"line 3: S(1), R1 -> 2. Stopped at line 4, past the last line", Kind::kEnd}}},
      {{"Load", "RunIt", "Halt"},
       {{"line 1: Z(1), R1 -> 0", Kind::kProgress}, {"halted", Kind::kEnd}}},
      {{"Load", "RunIt", "KeyStop"},
       {{"line 1: Z(1), R1 -> 0", Kind::kProgress}, {"stopped", Kind::kEnd}}},
  };
  for (const auto& c : cases) {
    Window& w = Reopen();
    w.toolkit.RecordAnnouncements();
    w.DoAll(c.commands);
    std::vector<std::pair<std::string, Kind>> said;
    for (const auto& announcement : w.toolkit.Announcements()) {
      said.emplace_back(announcement.text, announcement.kind);
    }
    EXPECT_EQ(said, c.said) << c.commands.size();
  }
}

TEST_F(RunControlTest, AnnouncesJumpsLinesThatDoNothingAndAStall) {
  dir.Write("prog.txt", "J(1,1,3)\r\nz(1)\r\nJ(1,2,5)\r\nJ(1,1,0)");
  Window& w = Reopen();
  w.toolkit.RecordAnnouncements();
  w.DoAll({"Load", "StepOrRun", "F7", "F7", "F7"});
  std::vector<std::string> said;
  for (const auto& announcement : w.toolkit.Announcements()) said.push_back(announcement.text);
  EXPECT_EQ(said, (Lines{"stepping from line 1: J(1,1,3)", "line 1: J(1,1,3), jump to 3",
                         "line 3: J(1,2,5), no jump",
                         "line 4: J(1,1,0), jump to 0. Stalled: a jump to line 0"}));
  w.toolkit.UserClick("Button4");
  dir.Write("prog.txt", "z(1)");
  w.DoAll({"StepOrRun", "F7"});
  EXPECT_EQ(w.toolkit.Announcements().back().text, "line 1: z(1), changes nothing");
}

// The batch runner's toolkit does not listen, so a run composes no announcement at all.
TEST_F(RunControlTest, AToolkitThatDoesNotListenIsToldNothing) {
  w->DoAll({"Load", "StepOrRun", "F7", "RunIt", "Tick", "Halt"});
  EXPECT_TRUE(w->toolkit.Announcements().empty());
}

// F8, which the menu leaves free, presses the Pause toggle wherever the focus is, and only when
// it is enabled.
TEST_F(RunControlTest, F8PressesThePauseToggle) {
  w->Do("F8");
  EXPECT_EQ(w->form.RunFlag, 0);
  w->DoAll({"Load", "RunIt", "F8"});
  EXPECT_EQ(w->form.RunFlag, 0);
  EXPECT_EQ(w->toolkit.ButtonNamed("Button9").Caption(), "Start It");
  w->Do("F8");
  EXPECT_EQ(w->form.RunFlag, 1);
  EXPECT_EQ(w->toolkit.ButtonNamed("Button9").Caption(), "Pause It");
}

}  // namespace quelvar::test
