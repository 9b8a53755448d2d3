// The decoded engine against the ticks: every run must leave exactly what the ticks leave, and
// every rare line (scratch registers, jumps out of the program, the line limit) must still come
// out right.
#include <gtest/gtest.h>

#include <string>

#include "support/RunSnapshot.h"
#include "support/TempDir.h"

namespace quelvar::test {
namespace {

std::string Lines(std::initializer_list<const char*> lines) {
  std::string text;
  for (const char* line : lines) text += std::string(line) + "\r\n";
  return text;
}

std::string Zeros(int count) {
  std::string text;
  for (int i = 0; i < count; ++i) text += "0\r\n";
  return text;
}

TEST(DecodedEngine, LeavesWhatTheTicksLeave) {
  const struct {
    const char* what;
    std::string data;
    std::string program;
    uint64_t maxLines;
    BatchEnd end;
    uint64_t lines;
    int32_t instrIndex;
  } cases[] = {
      {"multiplication to its end", Lines({"6", "7"}),
       Lines({"J(2,4,9)", "Z(5)", "J(1,5,7)", "S(3)", "S(5)", "J(1,1,3)", "S(4)", "J(1,1,1)",
              "T(3,1)"}),
       100000, BatchEnd::kFinished, 205, 10},
      {"line limit inside a loop", Lines({"0"}), Lines({"S(1)", "J(1,1,1)"}), 1001,
       BatchEnd::kLineLimit, 1001, 2},
      {"a limit of one line leaves nothing to the engine", Lines({"0"}),
       Lines({"S(1)", "J(1,1,1)"}), 1, BatchEnd::kLineLimit, 1, 2},
      {"a jump to 0 stalls", Lines({"3"}), Lines({"S(1)", "J(1,1,0)", "S(1)"}), 100,
       BatchEnd::kStalled, 2, 0},
      {"a jump below 0 stalls there", Lines({"3"}), Lines({"S(1)", "J(1,1,-5)"}), 100,
       BatchEnd::kStalled, 2, -5},
      {"a jump to the line after the last ends the run", Lines({"1", "1"}),
       Lines({"S(1)", "J(1,1,4)", "S(2)"}), 100, BatchEnd::kFinished, 2, 4},
      {"a jump far beyond the end ends the run with no frame", Lines({"1", "1"}),
       Lines({"S(2)", "S(1)", "J(1,2,2147483647)", "S(2)"}), 100, BatchEnd::kFinished, 3,
       2147483647},
      {"a loop on a negative register, every line of it a tick", Lines({"0", "5"}),
       Lines({"S(-1)", "S(1)", "J(1,2,5)", "J(1,1,1)", "T(-1,3)"}), 100, BatchEnd::kFinished, 20,
       6},
      {"a register beyond the data form", Lines({"0", "4"}),
       Lines({"S(9)", "T(9,1)", "J(1,2,5)", "J(9,9,1)", "Z(9)"}), 1000, BatchEnd::kFinished, 16, 6},
      {"a scratch register the line limit stops before is never written", Lines({"0"}),
       Lines({"S(1)", "S(-4)", "Z(9)", "T(1,7)"}), 2, BatchEnd::kLineLimit, 2, 3},
      {"a loop on scratch registers until one wraps round to the other", Lines({"0"}),
       Lines({"S(-1)", "S(-1)", "J(-1,40,5)", "J(1,1,1)", "T(-1,1)"}), 200000, BatchEnd::kFinished,
       131072, 6},
      {"register 0", Lines({"2"}), Lines({"S(0)", "S(0)", "T(0,1)", "Z(0)", "J(0,1,1)"}), 50,
       BatchEnd::kFinished, 5, 6},
      {"missing brackets and commas", Lines({"1", "2", "3"}),
       Lines({"T(1;2)", "S(1", "T(3", "J(1,2"}), 100, BatchEnd::kFinished, 4, 5},
      {"a line the machine does not know runs again and again", Lines({"1"}),
       Lines({"S(1)", "z(1)", "S(1)"}), 50, BatchEnd::kLineLimit, 50, 2},
      {"so does an empty line", Lines({"1"}), Lines({"S(1)", "", "S(1)"}), 50, BatchEnd::kLineLimit,
       50, 2},
      {"registers wrap at 16 bits", Lines({"32766"}), Lines({"S(1)", "S(1)", "S(1)"}), 100,
       BatchEnd::kFinished, 3, 4},
      {"an empty program fails at once", Lines({"1"}), "", 100, BatchEnd::kFailed, 0, 1},
      {"registers beyond the shown ones change but are not listed", Zeros(32770),
       Lines({"S(32769)", "S(32767)", "S(1)", "T(32769,2)", "J(1,1,7)", "S(3)"}), 100,
       BatchEnd::kFinished, 5, 7},
      {"a limit that falls on the line that would end the run", Lines({"0"}),
       Lines({"S(1)", "S(1)", "S(1)"}), 2, BatchEnd::kLineLimit, 2, 3},
  };
  for (const auto& c : cases) {
    const TempDir dir;
    dir.Write("data.txt", c.data);
    dir.Write("prog.txt", c.program);
    const std::string descriptor = dir.Write("run.rm", "Engine\r\ndata.txt\r\nprog.txt\r\n");
    const RunSnapshot decoded = RunToEnd(BatchPath::kDecoded, descriptor, c.maxLines);
    const RunSnapshot ticks = RunToEnd(BatchPath::kTicks, descriptor, c.maxLines);
    EXPECT_EQ(decoded, ticks) << c.what << "\ndecoded: " << decoded.Describe()
                              << "\nticks: " << ticks.Describe();
    EXPECT_EQ(ticks.end, c.end) << c.what;
    EXPECT_EQ(ticks.lines, c.lines) << c.what;
    EXPECT_EQ(ticks.instrIndex, c.instrIndex) << c.what;
  }
}

// A line that fails inside, after it started (its register list refuses the new line), counts
// as executed: "Lines executed" counts every line that began.
TEST(BatchRun, CountsALineThatFailedInside) {
  const TempDir dir;
  dir.Write("data.txt", Lines({"0"}));
  dir.Write("prog.txt", Lines({"S(1)", "S(1)", "S(1)"}));
  BatchRun run("Quelvar", BatchPath::kTicks);
  ASSERT_TRUE(run.Start(dir.Write("run.rm", "Fail\r\ndata.txt\r\nprog.txt\r\n")));
  run.Toolkit().ListNamed("List1").RefuseLines(true);
  EXPECT_EQ(run.Finish(100), BatchEnd::kFailed);
  EXPECT_EQ(run.Failure(), "Unable to insert a line.");
  EXPECT_EQ(run.LinesExecuted(), 2u);
  EXPECT_EQ(run.Form().Regs[1], 2);
}

}  // namespace
}  // namespace quelvar::test
