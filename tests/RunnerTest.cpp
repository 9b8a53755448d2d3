// quelvar-run as a user runs it: a process, its output and its exit status.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

#include "support/TempDir.h"

namespace quelvar::test {
namespace {

struct Outcome {
  int status;
  std::string out;
  std::string err;
};

std::string Slurp(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

Outcome RunQuelvarRun(const std::string& arguments) {
  const TempDir dir;
  const std::string command = std::string(QUELVAR_RUN) + " " + arguments + " >" +
                              dir.PathOf("out") + " 2>" + dir.PathOf("err");
  const int status = std::system(command.c_str());
  return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, Slurp(dir.PathOf("out")),
          Slurp(dir.PathOf("err"))};
}

std::string Example(const char* name) {
  return std::string(QUELVAR_EXAMPLES) + "/" + name;
}

TEST(QuelvarRun, RunsEachExampleToItsResult) {
  const struct {
    const char* descriptor;
    const char* out;
  } examples[] = {
      {"add.rm", "R1 -> 7\nR2 -> 4\nR3 -> 4\nInstruction Index is: 5\nLines executed: 17\n"},
      {"multiply.rm",
       "R1 -> 42\nR2 -> 7\nR3 -> 42\nR4 -> 7\nR5 -> 6\nInstruction Index is: 10\n"
       "Lines executed: 205\n"},
      {"predecessor.rm",
       "R1 -> 4\nR2 -> 5\nR3 -> 4\nInstruction Index is: 8\nLines executed: 20\n"},
      {"monus.rm",
       "R1 -> 4\nR2 -> 3\nR3 -> 4\nR4 -> 7\nR5 -> 11\nInstruction Index is: 12\n"
       "Lines executed: 29\n"},
      {"maximum.rm", "R1 -> 9\nR2 -> 9\nR3 -> 4\nInstruction Index is: 6\nLines executed: 18\n"},
      {"equal.rm", "R1 -> 1\nR2 -> 5\nInstruction Index is: 6\nLines executed: 3\n"},
      {"factorial.rm",
       "R1 -> 120\nR2 -> 5\nR3 -> 120\nR4 -> 120\nR5 -> 5\nR6 -> 24\nInstruction Index is: 17\n"
       "Lines executed: 725\n"},
  };
  for (const auto& example : examples) {
    const Outcome outcome = RunQuelvarRun(Example(example.descriptor));
    EXPECT_EQ(outcome.status, 0) << example.descriptor;
    EXPECT_EQ(outcome.out, example.out) << example.descriptor;
    EXPECT_EQ(outcome.err, "") << example.descriptor;
  }
}

TEST(QuelvarRun, StopsAProgramThatNeverHaltsAtTheLineLimit) {
  const Outcome outcome = RunQuelvarRun("--max-lines 1000 " + Example("forever.rm"));
  EXPECT_EQ(outcome.status, 4);
  EXPECT_EQ(outcome.out, "R1 -> 500\nInstruction Index is: 1\nLines executed: 1000\n");
}

TEST(QuelvarRun, ReportsAStalledProgram) {
  const TempDir dir;
  dir.Write("data.txt", "1");
  dir.Write("prog.txt", "S(1)\nJ(1,1,0)\nS(1)\n");
  const Outcome outcome = RunQuelvarRun(dir.Write("stall.rm", "Stall\rdata.txt\rprog.txt\r"));
  EXPECT_EQ(outcome.status, 3);
  EXPECT_EQ(outcome.out, "R1 -> 2\nInstruction Index is: 0\nLines executed: 2\n");
}

TEST(QuelvarRun, ReportsAFailureWithTheErrorBoxText) {
  const TempDir dir;
  dir.Write("data.txt", "1");
  dir.Write("empty.txt", "");
  const struct {
    std::string descriptor;
    const char* err;
  } cases[] = {
      {dir.PathOf("missing.rm"), "File not found.\n"},
      {dir.Write("noprog.rm", "X\r\ndata.txt\r\nnone.txt\r\n"), "Cannot open file none.txt.\n"},
      {dir.Write("empty.rm", "X\r\ndata.txt\r\nempty.txt\r\n"), "List index out of bounds (0)\n"},
  };
  for (const auto& c : cases) {
    const Outcome outcome = RunQuelvarRun(c.descriptor);
    EXPECT_EQ(outcome.status, 1) << c.descriptor;
    EXPECT_EQ(outcome.err, c.err) << c.descriptor;
  }
}

TEST(QuelvarRun, RejectsBadUsage) {
  for (const char* arguments : {"", "--max-lines", "--max-lines x a.rm", "--max-lines -1 a.rm",
                                "--frobnicate a.rm", "a.rm b.rm"}) {
    const Outcome outcome = RunQuelvarRun(arguments);
    EXPECT_EQ(outcome.status, 2) << arguments;
    EXPECT_NE(outcome.err.find("usage: quelvar-run"), std::string::npos) << arguments;
  }
  const Outcome help = RunQuelvarRun("--help");
  EXPECT_EQ(help.status, 0);
  EXPECT_NE(help.out.find("usage: quelvar-run"), std::string::npos);
}

TEST(QuelvarRun, AnEmptyDataFormNameWithStandardInputClosedIsAnInvalidHandle) {
  const TempDir dir;
  dir.Write("prog.txt", "S(1)");
  const std::string descriptor = dir.Write("stdin.rm", "In\r\n\r\nprog.txt\r\n");
  const Outcome closed = RunQuelvarRun(descriptor + " <&-");
  EXPECT_EQ(closed.status, 1);
  EXPECT_EQ(closed.err, "I/O error 6.\n");
  dir.Write("in.txt", "41");
  const Outcome redirected = RunQuelvarRun(descriptor + " <" + dir.PathOf("in.txt"));
  EXPECT_EQ(redirected.status, 0);
  EXPECT_EQ(redirected.out, "R1 -> 42\nInstruction Index is: 2\nLines executed: 1\n");
}

TEST(QuelvarRun, TracesEachLineBeforeItRuns) {
  const Outcome outcome = RunQuelvarRun("--trace --max-lines=4 " + Example("add.rm"));
  EXPECT_EQ(outcome.status, 4);
  EXPECT_EQ(outcome.err, "1: J(2,3,5)\n2: S(1)\n3: S(3)\n4: J(1,1,1)\n");
}

}  // namespace
}  // namespace quelvar::test
