#include <gtest/gtest.h>

#include <string>

#include "support/FormFixture.h"

namespace quelvar::test {
namespace {

using Lines = std::vector<std::string>;

TEST(RegisterLine, IsRNumberArrowValue) {
  const struct {
    int32_t number;
    int16_t value;
    const char* text;
  } cases[] = {
      {1, 5, "R1 -> 5"},
      {12, -3, "R12 -> -3"},
      {32767, -32768, "R32767 -> -32768"},
      {3, 0, "R3 -> 0"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(std::string_view(RegisterLine(c.number, c.value)), c.text);
  }
}

using DisplayTest = FormTest;

TEST_F(DisplayTest, StartsWithEmptyListsAndTheLayoutTexts) {
  EXPECT_TRUE(RegisterLines().empty());
  EXPECT_TRUE(ProgramLines().empty());
  EXPECT_EQ(Label("Label3"), "Label3");
  EXPECT_EQ(Label("Label8"), "");
  EXPECT_EQ(Label("Label9"), "");
  EXPECT_EQ(Label("Label10"), "");
}

TEST_F(DisplayTest, RedrawCompletesAShorterListInOnePass) {
  form.Regs = {0, 1, -2, 3, 4};
  form.RegCount = 4;
  form.ANalyseCommand("N");
  EXPECT_EQ(RegisterLines(), (Lines{"R1 -> 1", "R2 -> -2", "R3 -> 3", "R4 -> 4"}));

  // Two lines left after a failed rewrite, say: the rest comes back, the others are replaced.
  form.List1->Clear();
  form.List1->Append("R1 -> 1");
  form.List1->Append("R2 -> -2");
  form.ANalyseCommand("S(2)");
  EXPECT_EQ(RegisterLines(), (Lines{"R1 -> 1", "R2 -> -1", "R3 -> 3", "R4 -> 4"}));
}

TEST_F(DisplayTest, LinesBeyondTheRegisterCountAreNeverTouched) {
  SetRegisters({1, 2});
  form.List1->Append("stale");
  form.ANalyseCommand("S(2)");
  EXPECT_EQ(RegisterLines(), (Lines{"R1 -> 1", "R2 -> 3", "stale"}));
}

TEST_F(DisplayTest, EveryStepLeavesEachLineShowingItsRegister) {
  SetRegisters({0, 0, 0, 0, 0});
  for (const char* line : {"S(1)", "S(5)", "T(5,3)", "Z(1)", "S(0)", "S(6)", "S(3)"}) {
    form.ANalyseCommand(line);
  }
  EXPECT_EQ(RegisterLines(), (Lines{"R1 -> 0", "R2 -> 0", "R3 -> 2", "R4 -> 0", "R5 -> 1"}));
}

TEST_F(DisplayTest, TheSelectedLineStaysSelectedAndIsShownAgainAtEveryStep) {
  SetRegisters({1, 2, 3});
  auto& list1 = toolkit.ListNamed("List1");
  list1.Select(1);
  form.ANalyseCommand("S(2)");
  EXPECT_EQ(list1.Selected(), 1);
  EXPECT_EQ(RegisterLines()[1], "R2 -> 3");

  // The user scrolls elsewhere; a step that changes another register, or nothing, shows the
  // selected line again all the same.
  list1.Select(0);
  list1.Select(2);
  form.ANalyseCommand("N(1)");
  EXPECT_EQ(list1.ShownRow(), 2);
  EXPECT_EQ(list1.Selected(), 2);
}

TEST_F(DisplayTest, TheShownCountIsCappedNotWrapped) {
  const struct {
    int32_t regCount;
    size_t lines;
  } cases[] = {{2, 2}, {32767, 32767}, {32768, 32767}, {40000, 32767}, {65537, 32767}};
  for (const auto& c : cases) {
    form.Regs.assign(static_cast<size_t>(c.regCount) + 1, 7);
    form.RegCount = c.regCount;
    form.List1->Clear();
    form.ANalyseCommand("S(1)");
    EXPECT_EQ(RegisterLines().size(), c.lines) << c.regCount;
    EXPECT_EQ(RegisterLines().front(), "R1 -> 8");
    EXPECT_EQ(RegisterLines().back(), "R" + std::to_string(c.lines) + " -> 7");
  }
}

TEST_F(DisplayTest, RegisterZeroNeverShows) {
  SetRegisters({4});
  form.ANalyseCommand("S(0)");
  form.ANalyseCommand("Z(0)");
  EXPECT_EQ(RegisterLines(), (Lines{"R1 -> 4"}));
}

}  // namespace
}  // namespace quelvar::test
