// quelvar-run's own inputs (--registers, --program, each case, standard input) reach the form as
// files in memory: nothing is written to disk, a name may hold any byte, and the checks read the
// user's own files.
#include <gtest/gtest.h>

#include <string>

#include "support/RunnerProcess.h"
#include "support/TempDir.h"

namespace quelvar::test {
namespace {

constexpr const char* kAdd = "J(2,3,5)\r\nS(1)\r\nS(3)\r\nJ(1,1,1)\r\n";
constexpr const char* kSevenFromThreeAndFour =
    "R1 -> 7\nR2 -> 4\nR3 -> 4\nInstruction Index is: 5\nLines executed: 17\n";

// Each name is written by the shell's printf from its octal escapes, so that any byte reaches
// quelvar-run as it stands.
TEST(RunnerInputs, TakeAProgramNamedWithAnyByte) {
  const TempDir dir;
  dir.Write("x", "S(1)\r\n");  // what a name cut at a line end would run
  const struct {
    const char* name;     // as printf writes it
    const char* written;  // the file made, or none
  } names[] = {
      {"caf\\351.txt", "caf\xe9.txt"},
      {"-dash.txt", "-dash.txt"},
      {"with space.txt", "with space.txt"},
      {"x\\ry.txt", "x\ry.txt"},
      {"x\\ny.txt", "x\ny.txt"},
      {"x\\032y.txt", "x\x1ay.txt"},
  };
  for (const auto& n : names) {
    const std::string program = "\"$(printf '" + dir.Path() + "/" + n.name + "')\"";
    const Outcome missing = RunQuelvarRun("--registers 3,4,0 --program " + program);
    EXPECT_EQ(missing.status, 1) << n.name << "\n" << missing.out;
    const std::string path = dir.Path() + "/" + n.written;
    EXPECT_EQ(missing.err, "quelvar-run: " + path + ": Cannot open file " + path + ".\n") << n.name;
    dir.Write(n.written, kAdd);
    const Outcome ran = RunQuelvarRun("--registers 3,4,0 --program " + program);
    EXPECT_EQ(ran.status, 0) << n.name << "\n" << ran.err;
    EXPECT_EQ(ran.out, kSevenFromThreeAndFour) << n.name;
  }
}

// No temporary file: the runs work where no temporary folder can be made.
TEST(RunnerInputs, NeedNoTemporaryFolder) {
  const TempDir dir;
  const std::string program = dir.Write("add.txt", kAdd);
  const std::string cases = dir.Write("add.cases", "3,4,0 => 7\r\n0,0,0 => 0\r\n");
  const std::string noTemp = "env TMPDIR=" + dir.PathOf("none") + " " QUELVAR_RUN;
  const struct {
    std::string arguments;
    std::string out;
  } runs[] = {
      {"--registers 3,4,0 " + Example("add.rm"), kSevenFromThreeAndFour},
      {"--registers 3,4,0 --program " + program, kSevenFromThreeAndFour},
      {"--cases " + cases + " " + Example("add.rm"),
       "case 1: pass\ncase 2: pass\n2/2 cases pass\n"},
      {"--registers 3,4,0 --godel-run 1",
       "R1 -> 4\nR2 -> 4\nR3 -> 0\nInstruction Index is: 2\n"
       "Lines executed: 1\n"},
  };
  for (const auto& run : runs) {
    const Outcome outcome = RunProgram(noTemp, run.arguments);
    EXPECT_EQ(outcome.status, 0) << run.arguments << "\n" << outcome.err;
    EXPECT_EQ(outcome.out, run.out) << run.arguments;
  }
}

// A program text given alone reads its data form from standard input, whatever it is, except a
// terminal, where nobody may be there to type.
TEST(RunnerInputs, ReadTheDataFormFromAnyStandardInputButATerminal) {
  const TempDir dir;
  const std::string program = dir.Write("add.txt", kAdd);
  const std::string data = dir.Write("data.txt", "3\n4\n0\n");
  const struct {
    std::string before, after;
    int status;
    std::string out;
  } runs[] = {
      {"printf '3\\r\\n4\\r\\n0' | " QUELVAR_RUN, "", 0, kSevenFromThreeAndFour},
      {QUELVAR_RUN, " < " + data, 0, kSevenFromThreeAndFour},
      {QUELVAR_RUN, " < /dev/null", 0, "R1 -> 0\nInstruction Index is: 5\nLines executed: 1\n"},
      {QUELVAR_RUN, " <&-", 0, "R1 -> 0\nInstruction Index is: 5\nLines executed: 1\n"},
  };
  for (const auto& run : runs) {
    const Outcome outcome = RunProgram(run.before, "--program " + program + run.after);
    EXPECT_EQ(outcome.status, run.status) << run.before << run.after << "\n" << outcome.err;
    EXPECT_EQ(outcome.out, run.out) << run.before << run.after;
  }
  // util-linux's script gives the run a terminal as its standard input.
  const Outcome terminal = RunProgram(
      "script -qec '" QUELVAR_RUN " --program " + program + "' /dev/null", "< /dev/null");
  EXPECT_EQ(terminal.status, 1) << terminal.out;
  EXPECT_NE(terminal.out.find("The data form is read from standard input, which is a terminal"),
            std::string::npos)
      << terminal.out;
}

// --check with --registers or --program still reads the user's own files, named as the user
// names them.
TEST(RunnerInputs, LetTheCheckReadTheUsersOwnFiles) {
  const TempDir dir;
  dir.Write("data.txt", "3\r\n4\r\n0\r\n");
  dir.Write("prog.txt", std::string("S(1)\r\n\0S(2)\r\n", 13));
  const std::string descriptor = dir.Write("d.rm", "\r\ndata.txt\r\nprog.txt\r\n");
  const std::string nul = ":2: warning: a NUL byte ends the program text here";
  for (const std::string& given : {std::string(""), std::string("--registers 1,2,3 "),
                                   "--program " + dir.PathOf("prog.txt") + " "}) {
    const Outcome outcome = RunQuelvarRun("--check " + given + descriptor);
    EXPECT_EQ(outcome.status, 1) << given << "\n" << outcome.err;
    EXPECT_NE(outcome.out.find(dir.PathOf("prog.txt") + nul), std::string::npos) << given << "\n"
                                                                                 << outcome.out;
  }
}

}  // namespace
}  // namespace quelvar::test
