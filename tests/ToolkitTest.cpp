#include <gtest/gtest.h>

#include <functional>
#include <new>
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/headless/HeadlessToolkit.h"
#include "support/FormFixture.h"

namespace quelvar::test {
namespace {

using platform::clBtnFace;
using platform::kBlue;
using platform::Rect;

TEST(ErrorBoxText, AppendsAPeriodAfterAnythingSortingAboveIt) {
  const struct {
    const char* message;
    const char* text;
  } cases[] = {
      {"File not found", "File not found."},
      {"I/O error 6", "I/O error 6."},
      {"List index out of bounds (-13)", "List index out of bounds (-13)"},
      {"Done.", "Done."},
      {"Stop!", "Stop!"},
      {"Trailing space ", "Trailing space "},
      {"", ""},
      {"a/", "a/."},
  };
  for (const auto& c : cases) EXPECT_EQ(platform::ErrorBoxText(c.message), c.text);
}

TEST(ApplicationTitle, IsTheFileNameCutAtItsFirstPeriodInTitleCase) {
  EXPECT_EQ(platform::ApplicationTitle("C:/Tools/DEMO.EXE"), "Demo");
  EXPECT_EQ(platform::ApplicationTitle("demo.test.exe"), "Demo");
  EXPECT_EQ(platform::ApplicationTitle("/usr/local/bin/quelvar"), "Quelvar");
  EXPECT_EQ(platform::ApplicationTitle("./build/QUELVAR-run"), "Quelvar-run");
}

using ToolkitTest = FormTest;

// No error box shows a C++ library's inner text or a type name.
TEST_F(ToolkitTest, DispatchNeverShowsALibrarysOwnText) {
  const struct {
    std::function<void()> fail;
    const char* text;
  } cases[] = {
      {[] { throw std::bad_alloc(); }, "Not enough memory."},
      {[] { std::vector<int>().at(3); }, "Internal error."},
      {[] { std::string().substr(9); }, "Internal error."},
      {[] { throw 7; }, "Internal error."},
      {[] { throw std::runtime_error("Unable to insert a line"); }, "Unable to insert a line."},
  };
  for (const auto& c : cases) {
    toolkit.Dispatch(c.fail);
    EXPECT_EQ(toolkit.ErrorBoxes().back().text, c.text);
  }
}

TEST_F(ToolkitTest, DispatchShowsTheFailureOnceWithTheTitleAsCaption) {
  toolkit.Dispatch([] { throw std::runtime_error("File not found"); });
  ASSERT_EQ(toolkit.ErrorBoxes().size(), 1u);
  EXPECT_EQ(toolkit.ErrorBoxes()[0], (headless::MessageBox{"Demo", "File not found."}));
}

TEST_F(ToolkitTest, ClickFromCodeRunsTheHandlerWhateverTheButtonsState) {
  // Button8 ("Next") is disabled at start and Button1 is hidden; both handlers run from code.
  SetProgram({"S(1)"});
  SetRegisters({0});
  form.InstrIndex = 1;
  form.Button8->Click();
  EXPECT_EQ(form.ReadReg(1), 1);

  // A user's click on a disabled button does nothing.
  form.Button8->SetEnabled(false);
  form.InstrIndex = 1;
  toolkit.UserClick("Button8");
  EXPECT_EQ(form.ReadReg(1), 1);
}

TEST_F(ToolkitTest, ListLinesOutsideTheListFail) {
  SetProgram({"Z(1)"});
  EXPECT_EQ(form.List2->Line(0), "Z(1)");
  for (int32_t row : {-13, -1, 1, 5}) {
    try {
      form.List2->Line(row);
      ADD_FAILURE() << row;
    } catch (const std::runtime_error& e) {
      EXPECT_EQ(std::string(e.what()), "List index out of bounds (" + std::to_string(row) + ")");
    }
  }
}

TEST_F(ToolkitTest, RowRectanglesFollowTheRowRule) {
  auto& list = List2();
  const int32_t h = headless::HeadlessListBox::kRowHeight;
  EXPECT_EQ(list.RowRect(0), (Rect{0, 0, 425, h}));  // where line 1 would stand
  EXPECT_TRUE(list.RowRect(1).Empty());
  SetProgram({"Z(1)", "S(1)", "S(1)"});
  EXPECT_EQ(list.RowRect(2), (Rect{0, 2 * h, 425, 3 * h}));
  EXPECT_EQ(list.RowRect(3), (Rect{0, 3 * h, 425, 4 * h}));  // just below the last row
  EXPECT_TRUE(list.RowRect(4).Empty());
  EXPECT_TRUE(list.RowRect(-1).Empty());
}

TEST_F(ToolkitTest, OutlinesKeepTheColourDrawnLastUntilARepaint) {
  SetProgram({"Z(1)", "S(1)"});
  auto& list = List2();
  EXPECT_EQ(list.BrushColor(), platform::kWhite);
  list.SetBrushColor(kBlue);
  list.FrameRect(list.RowRect(1));
  list.FrameRect(list.RowRect(7));
  EXPECT_EQ(list.OutlinedRows(), (std::vector<int32_t>{1}));
  list.SetBrushColor(clBtnFace);
  list.FrameRect(list.RowRect(1));
  EXPECT_EQ(list.OutlineOn(1), clBtnFace);
  EXPECT_EQ(list.BrushColor(), clBtnFace);
  list.RepaintNow();
  EXPECT_TRUE(list.OutlinedRows().empty());
}

TEST_F(ToolkitTest, TheTimerRestartsOnlyOnANewPeriodAndRecordsARefusedOne) {
  auto& timer = toolkit.MainTimer();
  EXPECT_EQ(timer.Period(), 1000);
  timer.SetPeriod(1000);
  EXPECT_EQ(timer.Restarts(), 0);
  timer.RefuseTimers(true);
  EXPECT_THROW(
      {
        try {
          timer.SetPeriod(1);
        } catch (const std::runtime_error& e) {
          EXPECT_STREQ(e.what(), "Not enough timers available");
          throw;
        }
      },
      std::runtime_error);
  EXPECT_EQ(timer.Period(), 1);
  EXPECT_FALSE(timer.Running());
  timer.SetPeriod(1);  // the same period: nothing happens, no second failure
  EXPECT_EQ(timer.Restarts(), 1);
}

TEST_F(ToolkitTest, ShortcutsComeFirstAndOtherKeysReachTheKeyHandlerWhereTakesKeys) {
  using platform::kKeyF6;
  toolkit.PressKey(kKeyF6, platform::kNoShift, "List2");
  EXPECT_EQ(form.InstrIndex, -12);
  toolkit.PressKey(kKeyF6, platform::kShift, "List2");
  EXPECT_EQ(form.InstrIndex, -10);
  form.InstrIndex = 3;
  toolkit.PressKey(kKeyF6, platform::kCtrl | platform::kAlt, "Button9");
  EXPECT_EQ(form.InstrIndex, 3);
  toolkit.PressKey(kKeyF6, platform::kAlt, "");
  EXPECT_EQ(form.InstrIndex, -10);
}

TEST_F(ToolkitTest, AboutShowsTheNoticeUnderTheTitleAndExitCloses) {
  toolkit.PressKey(platform::kKeyF1, platform::kNoShift, "List1");
  ASSERT_EQ(toolkit.Messages().size(), 1u);
  EXPECT_EQ(toolkit.Messages()[0].caption, "Demo");
  EXPECT_EQ(toolkit.Messages()[0].text, "Quelvar." + std::string(kNoticeText));
  EXPECT_FALSE(toolkit.Closed());
  toolkit.PressKey('X', platform::kCtrl, "Button9");
  EXPECT_TRUE(toolkit.Closed());
}

}  // namespace
}  // namespace quelvar::test
