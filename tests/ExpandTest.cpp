// quelvar-run --expand: programs built from programs with CALL lines, as descriptor trios.
#include <gtest/gtest.h>

#include <string>

#include "support/RunnerProcess.h"
#include "support/TempDir.h"

namespace quelvar::test {
namespace {

std::string Compose(const std::string& name) {
  return Example("compose/" + name);
}

// The textbook's addition from the successor, and its multiplication from that addition (a
// callee that calls another), graded by the cases of the examples written by hand.
TEST(Expand, BuildsAdditionAndMultiplicationThatPassTheExamplesCases) {
  const TempDir dir;
  const struct {
    const char* source;
    const char* cases;
    const char* passed;
  } rows[] = {
      {"add.src", "add.cases", "5/5 cases pass, 6/6 points\n"},
      {"multiply.src", "multiply.cases", "6/6 cases pass, 7/7 points\n"},
  };
  for (const auto& row : rows) {
    const std::string rm = dir.PathOf(std::string(row.source) + ".rm");
    const Outcome expand = RunQuelvarRun("--expand " + Compose(row.source) + " -o " + rm);
    ASSERT_EQ(expand.status, 0) << expand.err;
    EXPECT_EQ(expand.out + expand.err, "");
    const Outcome graded = RunQuelvarRun("--cases " + Example(row.cases) + " " + rm);
    EXPECT_EQ(graded.status, 0) << row.source << graded.out;
    EXPECT_TRUE(graded.out.ends_with(row.passed)) << graded.out;
  }
}

TEST(Expand, WritesTheTrioAndTheLineMap) {
  const TempDir dir;
  ASSERT_EQ(
      RunQuelvarRun("--expand " + Compose("multiply.src") + " -o " + dir.PathOf("mul.rm")).status,
      0);
  EXPECT_EQ(Slurp(dir.PathOf("mul.rm")),
            "Expanded from multiply.src\r\nmul-data.txt\r\nmul-program.txt\r\n");
  EXPECT_EQ(Slurp(dir.PathOf("mul-data.txt")), "0\r\n0\r\n0\r\n0\r\n");
  // R1..R4 are the caller's; the addition runs on R5..R8 (its inputs R5, R6, its counter R7,
  // its R1 R8 for the successor's... which runs on R8 itself); jumps after the call move on.
  EXPECT_EQ(Slurp(dir.PathOf("mul-program.txt")),
            "Z(4)\r\nJ(3,2,16)\r\n"
            "T(4,5)\r\nT(1,6)\r\nZ(7)\r\nZ(8)\r\n"
            "J(6,7,13)\r\nT(5,8)\r\nS(8)\r\nT(8,5)\r\nS(7)\r\nJ(5,5,7)\r\n"
            "T(5,4)\r\n"
            "S(3)\r\nJ(1,1,2)\r\nT(4,1)\r\n");
  EXPECT_EQ(Slurp(dir.PathOf("mul.map")),
            "multiply.src:1\r\nmultiply.src:2\r\n"
            "multiply.src:3\r\nmultiply.src:3\r\nmultiply.src:3\r\nmultiply.src:3\r\n"
            "multiply.src:3 > add.src:1\r\nmultiply.src:3 > add.src:2\r\n"
            "multiply.src:3 > add.src:2 > successor.txt:1\r\nmultiply.src:3 > add.src:2\r\n"
            "multiply.src:3 > add.src:3\r\nmultiply.src:3 > add.src:4\r\n"
            "multiply.src:3\r\n"
            "multiply.src:4\r\nmultiply.src:5\r\nmultiply.src:6\r\n");
}

TEST(Expand, RunsCallsAsTheTextbookBuildsThem) {
  const struct {
    const char* callee;  // written as callee.txt
    const char* caller;
    const char* registers;
    const char* program;
    const char* result;
  } rows[] = {
      // A jump past the callee's end goes on to the copy out, then to the line after the call.
      {"J(1,1,9)\nS(1)\n", "CALL callee.txt [2 -> 1]\nS(1)\nJ(1,1,99)\n", "5,6",
       "T(2,3)\r\nJ(3,3,4)\r\nS(3)\r\nT(3,1)\r\nS(1)\r\nJ(1,1,7)\r\n", "R1 -> 7\nR2 -> 6\n"},
      // The callee's work registers are cleared before each call, so the second call gives what
      // the first gave.
      {"S(2)\nS(2)\nT(2,1)\n", "CALL callee.txt [1 -> 1]\nCALL callee.txt [1 -> 2]\n", "0,0",
       "T(1,3)\r\nZ(4)\r\nS(4)\r\nS(4)\r\nT(4,3)\r\nT(3,1)\r\n"
       "T(1,3)\r\nZ(4)\r\nS(4)\r\nS(4)\r\nT(4,3)\r\nT(3,2)\r\n",
       "R1 -> 2\nR2 -> 2\n"},
      // No inputs: the callee starts from zeros; registers in a CALL are spaced freely; a jump
      // to line 0 stays one; a line that does nothing is copied as it is.
      {"S(1)\nJ(1,1,0)\n", "S(2)\nCALL callee.txt [ ->  2 ]\nS(1)\n", "3,0",
       "S(2)\r\nZ(3)\r\nS(3)\r\nJ(3,3,0)\r\nT(3,2)\r\nS(1)\r\n", "R1 -> 3\nR2 -> 1\n"},
      // The caller's own jumps are renumbered to where their lines went.
      {"Z(1)\n", "J(1,2,3)\nCALL callee.txt [1 -> 1]\nS(2)\nJ(1,1,5)\n", "1,1",
       "J(1,2,5)\r\nT(1,3)\r\nZ(3)\r\nT(3,1)\r\nS(2)\r\nJ(1,1,7)\r\n", "R1 -> 1\nR2 -> 2\n"},
  };
  for (const auto& row : rows) {
    const TempDir dir;
    dir.Write("callee.txt", row.callee);
    const std::string source = dir.Write("caller.src", row.caller);
    const Outcome expand = RunQuelvarRun("--expand " + source + " -o " + dir.PathOf("out.rm"));
    ASSERT_EQ(expand.status, 0) << row.caller << expand.err;
    EXPECT_EQ(Slurp(dir.PathOf("out-program.txt")), row.program) << row.caller;
    const Outcome run = RunQuelvarRun("--max-lines 100 --registers " + std::string(row.registers) +
                                      " " + dir.PathOf("out.rm"));
    EXPECT_EQ(run.out.substr(0, run.out.find("Instruction")), row.result) << row.caller;
  }
}

TEST(Expand, KeepsTheDataFormOfAFarRegisterToWhatTheWindowLists) {
  const TempDir dir;
  const std::string source = dir.Write("far.src", "S(2000000000)\nCALL one.txt [1 -> 1]\n");
  dir.Write("one.txt", "S(1)\n");
  ASSERT_EQ(RunQuelvarRun("--expand " + source + " -o " + dir.PathOf("far.rm")).status, 0);
  EXPECT_EQ(Slurp(dir.PathOf("far-data.txt")).size(), 32767u * 3);
  EXPECT_EQ(Slurp(dir.PathOf("far-program.txt")),
            "S(2000000000)\r\nT(1,2000000001)\r\nS(2000000001)\r\nT(2000000001,1)\r\n");
  const std::string beyond = dir.Write("beyond.src", "S(2147483647)\nCALL one.txt [1 -> 1]\n");
  const Outcome refused = RunQuelvarRun("--expand " + beyond + " -o " + dir.PathOf("b.rm"));
  EXPECT_EQ(refused.status, 1);
  EXPECT_NE(refused.err.find("beyond.src: the calls need registers beyond R2147483647"),
            std::string::npos)
      << refused.err;
}

TEST(Expand, RefusesWhatCannotBeBuilt) {
  const struct {
    const char* file;
    const char* text;
    const char* err;
  } rows[] = {
      {"a.src", "S(1)\nCALL b.src [1 -> 1]\n", "recursion in the calls: a.src -> b.src -> a.src"},
      {"self.src", "CALL self.src [1 -> 1]\n", "recursion in the calls: self.src -> self.src"},
      {"call.src", "S(1)\nCALL r0.txt [1 -> 1]\n",
       "call.src:2 > r0.txt:1: a called program's registers are 1 or more, so that they can move "
       "to fresh ones; this line names R0"},
      {"bad.src", "S(1)\nCALL b.src [1 > 1]\n",
       "bad.src:2: a call is written CALL FILE [L1,...,Ln -> L]"},
      {"zero.src", "CALL b.src [0 -> 1]\n",
       "zero.src:1: a call's registers are 1 to 2147483647, not 0"},
  };
  for (const auto& row : rows) {
    const TempDir dir;
    dir.Write("b.src", "CALL a.src [1 -> 1]\n");
    dir.Write("r0.txt", "Z(0)\n");
    const std::string source = dir.Write(row.file, row.text);
    const Outcome outcome = RunQuelvarRun("--expand " + source + " -o " + dir.PathOf("out.rm"));
    EXPECT_EQ(outcome.status, 1) << row.text;
    EXPECT_NE(outcome.err.find(row.err), std::string::npos) << outcome.err;
    EXPECT_EQ(Slurp(dir.PathOf("out.rm")), "") << row.text;
  }
}

TEST(Expand, TheTraceNamesTheSourceLineFromTheLineMap) {
  const TempDir dir;
  ASSERT_EQ(RunQuelvarRun("--expand " + Compose("add.src") + " -o " + dir.PathOf("add.rm")).status,
            0);
  const std::string run = "--trace --max-lines 4 --registers 1,1,0 --line-map " +
                          dir.PathOf("add.map") + " " + dir.PathOf("add.rm");
  EXPECT_EQ(RunQuelvarRun(run).err,
            "1: J(2,3,7)  no jump  from add.src:1\n"
            "2: T(1,4)  R4 -> 1  from add.src:2\n"
            "3: S(4)  R4 -> 2  from add.src:2 > successor.txt:1\n"
            "4: T(4,1)  R1 -> 2  from add.src:2\n");
  EXPECT_EQ(RunQuelvarRun("--trace-format csv " + run).err,
            "step,line,instruction,source,R1,R2,R3,R4\n"
            "1,1,\"J(2,3,7)\",add.src:1,1,1,0,0\n"
            "2,2,\"T(1,4)\",add.src:2,1,1,0,1\n"
            "3,3,S(4),add.src:2 > successor.txt:1,1,1,0,2\n"
            "4,4,\"T(4,1)\",add.src:2,2,1,0,2\n");
}

}  // namespace
}  // namespace quelvar::test
