// quelvar-run for the classroom: --check, --registers, --program, --cases, --format json, and
// files with any editor's line ends.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <nlohmann/json.hpp>
#include <sstream>
#include <string>
#include <vector>

#include "support/RunnerProcess.h"
#include "support/TempDir.h"

namespace quelvar::test {
namespace {

// A descriptor "prog.rm" over "data.txt" and "prog.txt" in `dir`; returns its path.
std::string WriteProgram(const TempDir& dir, const std::string& data, const std::string& program) {
  dir.Write("data.txt", data);
  dir.Write("prog.txt", program);
  return dir.Write("prog.rm", "Test\r\ndata.txt\r\nprog.txt\r\n");
}

// Each finding, with the line that makes it and its exact text. The data form has 3 registers;
// FILE is the program text as the descriptor names it, beside the descriptor.
TEST(Check, SaysWhatTheMachineWillDoWithEachOddLine) {
  const struct {
    const char* line;
    const char* says;  // after "prog.txt:2: warning: "
  } cases[] = {
      {"z(1)",
       "'z(1)' does not start with Z, S, T or J: it changes nothing, and a run that "
       "reaches it stays on it"},
      {"", "empty line: it changes nothing, and a run that reaches it stays on it"},
      {"# add",
       "'# add' does not start with Z, S, T or J: it changes nothing, and a run that "
       "reaches it stays on it"},
      {"S(1",
       "'S(1' does S(0): the operand is read from the third character to the one before "
       "last"},
      {"T(1;2)",
       "'T(1;2)' does T(1,0): no ',' after the first operand, so it runs to the end of "
       "the line and the operands after it are 0"},
      {"J(1,2",
       "'J(1,2' does J(1,2,0): no ',' after the second operand, so it runs to the end of "
       "the line and the operands after it are 0"},
      {"J(1,2,3",
       "'J(1,2,3' does J(1,2,3): no ')' after the third operand, so it runs to the end "
       "of the line"},
      {"T(1,2) copy", "'T(1,2) copy' does T(1,2): the text after ')' is ignored: ' copy'"},
      {"S[1]",
       "'S[1]' does S(1): the operand is read from the third character to the one "
       "before last"},
      {"S(0x2)", "operand '0x2' is not a plain decimal number: it is read as 2"},
      {"S( 2)", "operand ' 2' is not a plain decimal number: it is read as 2"},
      {"T(+1,2)", "operand '+1' is not a plain decimal number: it is read as 1"},
      {"S(2a)", "operand '2a' is not a plain decimal number: it is read as 2"},
      {"Z(0)",
       "R0 is a scratch register, never shown: a load does not reset it, so it starts at 0 only "
       "in the first run of a window (and in every quelvar-run run), and keeps its value across "
       "Run Its"},
      {"S(-2)", "R-2 is a scratch register: each load sets it to 0, and it is never shown"},
      {"S(4)",
       "R4 is beyond the data form's 3 registers: a scratch register that each load sets to 0, "
       "never shown"},
      {"J(1,1,0)", "jump target 0: a run that jumps there stalls, and Next fails"},
      {"J(1,1,9)",
       "jump target 9 is beyond line 4, the end: a jump there ends the run with no "
       "line framed"},
  };
  for (const auto& c : cases) {
    const TempDir dir;
    const std::string descriptor =
        WriteProgram(dir, "1\r\n2\r\n3\r\n", "S(1)\r\n" + std::string(c.line) + "\r\nS(2)\r\n");
    const Outcome outcome = RunQuelvarRun("--check " + descriptor);
    EXPECT_EQ(outcome.status, 1) << c.line;
    const std::string expected = dir.PathOf("prog.txt") + ":2: warning: " + c.says + "\n";
    EXPECT_NE(outcome.out.find(expected), std::string::npos)
        << c.line << "\nexpected: " << expected << "got: " << outcome.out;
  }
}

// The bytes of the files that the machine reads otherwise than they look, each with the finding
// it makes, and what the machine does with them: the load's failure, or the registers it holds.
TEST(Check, SaysWhatTheFilesHoldOtherwiseThanTheyLook) {
  const struct {
    std::string data;
    std::string program;
    const char* says;  // the whole finding, after the folder
    const char* runs;  // the run's report or its failure
  } cases[] = {
      {"1\r\n", std::string("S(1)\r\nS(1)\0\r\nZ(1)\r\n", 19),
       "prog.txt:2: warning: a NUL byte ends the program text here: the 8 bytes after it are not "
       "read",
       "R1 -> 3\nInstruction Index is: 3\nLines executed: 2\n"},
      {"1\r\n2\x1a\r\n3\r\n", "S(1)\r\n",
       "data.txt:2: warning: a byte 26 ends the data form here: the 5 bytes after it are not read",
       "R1 -> 2\nR2 -> 2\nInstruction Index is: 2\nLines executed: 1\n"},
      {"40000\r\n", "S(1)\r\n",
       "data.txt:1: warning: value '40000' is held as -25536: a register holds -32768 to 32767",
       "R1 -> -25535\nInstruction Index is: 2\nLines executed: 1\n"},
      {"3 4\r\n", "S(1)\r\n",
       "data.txt:1: warning: line '3 4' holds more than one value: only the first is read, the "
       "rest is ignored",
       "R1 -> 4\nInstruction Index is: 2\nLines executed: 1\n"},
      {"000000000000000000000000000000003\r\n", "S(1)\r\n",
       "data.txt:1: warning: value '000000000000000000000000000000003' is longer than 32 "
       "characters: the data form reads its first 32, as 0",
       "R1 -> 1\nInstruction Index is: 2\nLines executed: 1\n"},
      {"1\r\n\r\n", "S(1)\r\n",
       "data.txt:2: warning: blank lines or spaces after the last value's line make one more "
       "register, R2, of 0",
       "R1 -> 2\nR2 -> 0\nInstruction Index is: 2\nLines executed: 1\n"},
      {"1\r\n", "",
       "prog.txt: warning: the program text has no line: any run fails with \"List index out of "
       "bounds (0)\"",
       "prog.txt: List index out of bounds (0)\n"},
      {"\xEF\xBB\xBF"
       "1\r\n",
       "S(1)\r\n",
       "data.txt:1: warning: the data form starts with a UTF-8 byte-order mark (bytes EF BB BF), "
       "which editors do not show: the machine reads the first value as no number, and the load "
       "fails with \"Invalid numeric input.\"",
       "data.txt: Invalid numeric input.\n"},
      {"1\r\n",
       "\xEF\xBB\xBF"
       "S(1)\r\nS(1)\r\n",
       "prog.txt:1: warning: the program text starts with a UTF-8 byte-order mark (bytes EF BB "
       "BF), which editors do not show: to the machine line 1 does not start with Z, S, T or J, "
       "so it changes nothing, and a run that reaches it stays on it",
       "R1 -> 1\nInstruction Index is: 1\nLines executed: 10\n"},
  };
  for (const auto& c : cases) {
    const TempDir dir;
    const std::string descriptor = WriteProgram(dir, c.data, c.program);
    const Outcome check = RunQuelvarRun("--check " + descriptor);
    EXPECT_EQ(check.status, 1) << c.says;
    EXPECT_EQ(check.out, dir.Path() + "/" + c.says + "\n");
    const Outcome run = RunQuelvarRun("--max-lines 10 " + descriptor);
    const bool ran = run.status == 0 || run.status == 4;
    EXPECT_EQ(ran ? run.out : run.err, ran ? c.runs : "quelvar-run: " + dir.Path() + "/" + c.runs)
        << c.says;
  }
}

TEST(Check, FindsNothingInTheExamples) {
  for (const auto& entry : std::filesystem::directory_iterator(QUELVAR_EXAMPLES)) {
    if (entry.path().extension() != ".rm") continue;
    const Outcome outcome = RunQuelvarRun("--check " + entry.path().string());
    EXPECT_EQ(outcome.status, 0) << entry.path();
    EXPECT_EQ(outcome.out, "") << entry.path();
  }
}

TEST(Check, ReportsAFileThatCannotBeRead) {
  const TempDir dir;
  const Outcome missing = RunQuelvarRun("--check " + dir.PathOf("none.rm"));
  EXPECT_EQ(missing.status, 1);
  EXPECT_EQ(missing.err, "quelvar-run: " + dir.PathOf("none.rm") + ": File not found.\n");
}

// `bytes` with every line end, CR LF, lone CR or lone LF, made `end`.
std::string WithLineEnds(const std::string& bytes, const std::string& end) {
  std::string out;
  for (size_t i = 0; i < bytes.size(); ++i) {
    if (bytes[i] == '\r' || bytes[i] == '\n') {
      if (bytes[i] == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n') ++i;
      out += end;
    } else {
      out += bytes[i];
    }
  }
  return out;
}

std::string ReadWhole(const std::filesystem::path& path) {
  std::ifstream file(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

// Every example's three files rewritten with LF, CR LF and CR line ends run alike, as editors
// on any system save them.
TEST(QuelvarRun, RunsTheExamplesAlikeWithLfCrLfAndCrLineEnds) {
  for (const auto& entry : std::filesystem::directory_iterator(QUELVAR_EXAMPLES)) {
    if (entry.path().extension() != ".rm" || entry.path().stem() == "forever") continue;
    const Outcome asShipped = RunQuelvarRun(entry.path().string());
    ASSERT_EQ(asShipped.status, 0) << entry.path();
    const std::string stem = entry.path().stem().string();
    for (const char* end : {"\n", "\r\n", "\r"}) {
      const TempDir dir;
      for (const std::string& name : {stem + ".rm", stem + "-data.txt", stem + "-program.txt"}) {
        dir.Write(name, WithLineEnds(ReadWhole(entry.path().parent_path() / name), end));
      }
      const Outcome converted = RunQuelvarRun(dir.PathOf(stem + ".rm"));
      EXPECT_EQ(converted.status, 0) << stem << " with " << int(std::string(end).back());
      EXPECT_EQ(converted.out, asShipped.out) << stem << " with " << int(std::string(end).back());
      EXPECT_EQ(converted.err, "") << stem << " with " << int(std::string(end).back());
    }
  }
}

TEST(QuelvarRun, TakesRegistersAndAProgramInPlaceOfTheirFiles) {
  const TempDir dir;
  const std::string add = dir.Write("add.txt", "J(2,3,5)\r\nS(1)\r\nS(3)\r\nJ(1,1,1)\r\n");
  const struct {
    std::string arguments;
    const char* out;
  } cases[] = {
      {"--registers 3,4,0 " + Example("add.rm"),
       "R1 -> 7\nR2 -> 4\nR3 -> 4\nInstruction Index is: 5\nLines executed: 17\n"},
      {"--program " + add + " --registers 30,12,0",
       "R1 -> 42\nR2 -> 12\nR3 -> 12\nInstruction Index is: 5\nLines executed: 49\n"},
      // The data form's conversion: hexadecimal, a sign, and a value that wraps (so the loop
      // would go round the whole 16 bits; ten lines of it).
      {"--max-lines 10 --program " + add + " --registers '$10,+2,70000'",
       "R1 -> 19\nR2 -> 2\nR3 -> 4466\nInstruction Index is: 3\nLines executed: 10\n"},
      {"--program " + add + " " + Example("add.rm"),
       "R1 -> 7\nR2 -> 4\nR3 -> 4\nInstruction Index is: 5\nLines executed: 17\n"},
      // No registers given, no data form: one register of 0.
      {"--program " + add + " --registers ''",
       "R1 -> 0\nInstruction Index is: 5\nLines executed: 1\n"},
  };
  for (const auto& c : cases) {
    const Outcome outcome = RunQuelvarRun(c.arguments);
    EXPECT_EQ(outcome.out, c.out) << c.arguments << "\n" << outcome.err;
  }
  const Outcome bad = RunQuelvarRun("--registers 1,x " + Example("add.rm"));
  EXPECT_EQ(bad.status, 1);
  EXPECT_EQ(bad.err, "quelvar-run: --registers: Invalid numeric input.\n");
}

// Any byte in a message: JSON gives each byte that is not UTF-8 as U+F700 + the byte, and a
// failure before the load prints the document too.
TEST(QuelvarRun, JsonTakesAnyByteInAMessage) {
  const TempDir dir;
  dir.Write("data.txt", "3\r\n");
  const std::string descriptor = dir.Write("d.rm", "\r\ndata.txt\r\nmissing\xfe.txt\r\n");
  const struct {
    std::string arguments;
    int status;
    std::string says;  // in the message, as JSON text decodes it
  } runs[] = {
      {"--format json --program \"$(printf 'missing\\376.txt')\" " + Example("add.rm"), 1,
       "missing\uF7FE.txt"},
      {"--format json --cases \"$(printf '" + dir.Path() + "/c\\351\\357\\236\\200')\" " +
           Example("add.rm"),
       1, "c\uF7E9\uF7EF\uF79E\uF780"},
      {"--format json " + descriptor, 1, "missing\uF7FE.txt"},
  };
  for (const auto& run : runs) {
    const Outcome outcome = RunQuelvarRun(run.arguments);
    EXPECT_EQ(outcome.status, run.status) << run.arguments << "\n" << outcome.err;
    const nlohmann::json document = nlohmann::json::parse(outcome.out);
    EXPECT_EQ(document.at("outcome"), "failure") << outcome.out;
    const std::string says = nlohmann::json::parse("\"" + run.says + "\"");
    EXPECT_NE(document.at("message").get<std::string>().find(says), std::string::npos)
        << outcome.out;
  }
}

TEST(QuelvarRun, JsonGivesTheRegistersPastTheLastShownOne) {
  const TempDir dir;
  std::string data;
  for (int k = 1; k <= 32770; ++k) data += std::to_string(k % 1000) + "\r\n";
  dir.Write("data.txt", data);
  dir.Write("prog.txt", "S(32770)\r\n");
  const Outcome outcome =
      RunQuelvarRun("--format json " + dir.Write("d.rm", "\r\ndata.txt\r\nprog.txt\r\n"));
  EXPECT_EQ(outcome.status, 0) << outcome.err;
  const nlohmann::json registers = nlohmann::json::parse(outcome.out).at("registers");
  ASSERT_EQ(registers.size(), 32770u);
  EXPECT_EQ(registers[32766], 767);
  EXPECT_EQ(registers[32769], 771);
}

TEST(QuelvarRun, RunsNoLineWithALimitOfNone) {
  const Outcome outcome = RunQuelvarRun("--max-lines 0 " + Example("add.rm"));
  EXPECT_EQ(outcome.status, 4);
  EXPECT_EQ(outcome.out,
            "R1 -> 3\nR2 -> 4\nR3 -> 0\nInstruction Index is: Label3\n"
            "Lines executed: 0\n");
}

TEST(QuelvarRun, TakesADescriptorWhoseNameStartsWithAHyphenAfterTwoHyphens) {
  const TempDir dir;
  dir.Write("data.txt", "1\r\n");
  dir.Write("prog.txt", "S(1)\r\n");
  dir.Write("-odd.rm", "Odd\r\ndata.txt\r\nprog.txt\r\n");
  const Outcome inFolder = RunProgram("cd " + dir.Path() + " && " QUELVAR_RUN, "-- -odd.rm");
  EXPECT_EQ(inFolder.status, 0) << inFolder.err;
  EXPECT_EQ(inFolder.out, "R1 -> 2\nInstruction Index is: 2\nLines executed: 1\n");
}

TEST(QuelvarRun, ReportsAsJson) {
  const TempDir dir;
  const std::string descriptor =
      WriteProgram(dir, "2\r\n0\r\n", "S(1)\r\nS(0)\r\nS(-3)\r\nT(1,2)\r\nJ(1,2,0)\r\n");
  const Outcome stalled = RunQuelvarRun("--format json " + descriptor);
  EXPECT_EQ(stalled.status, 3);
  const nlohmann::json run = nlohmann::json::parse(stalled.out);
  nlohmann::json expected = nlohmann::json::parse(R"({"registers": [3, 3],
      "scratch": {"-3": 1, "0": 1}, "instructionIndex": 0, "linesExecuted": 5,
      "outcome": "stalled"})");
  expected["files"] = {{"descriptor", descriptor},
                       {"dataForm", dir.PathOf("data.txt")},
                       {"program", dir.PathOf("prog.txt")}};
  EXPECT_EQ(run, expected);
  EXPECT_EQ(stalled.err, "");  // the document says it

  const Outcome failed = RunQuelvarRun("--format json " + dir.PathOf("none.rm"));
  EXPECT_EQ(failed.status, 1);
  const nlohmann::json failure = nlohmann::json::parse(failed.out);
  EXPECT_EQ(failure["outcome"], "failure");
  EXPECT_EQ(failure["message"], "File not found.");
  EXPECT_EQ(failure["file"], dir.PathOf("none.rm"));
  EXPECT_EQ(failure["linesExecuted"], 0);
}

TEST(Cases, GradesEachCaseAndSumsUp) {
  const TempDir dir;
  dir.Write("add.cases",
            "# addition\n3,4,0 => 7\n\n3,4,0 => R1=8\n3,4,0 => R1=7 R2=4 R3=9\r\n0,0,0 => 0\n");
  const Outcome outcome =
      RunQuelvarRun("--cases " + dir.PathOf("add.cases") + " " + Example("add.rm"));
  EXPECT_EQ(outcome.status, 5);
  EXPECT_EQ(outcome.out,
            "case 1: pass\ncase 2: FAIL: 3,4,0 => R1 is 7, expected 8\n"
            "case 3: FAIL: 3,4,0 => R1 is 7, expected 7; R2 is 4, expected 4; R3 is 4, expected 9\n"
            "case 4: pass\n2/4 cases pass\n");
}

TEST(Cases, FailsACaseThatStallsFailsOrRunsToTheLimit) {
  const TempDir dir;
  const std::string descriptor = WriteProgram(dir, "0\r\n", "J(1,2,0)\r\nS(1)\r\nJ(1,1,2)\r\n");
  dir.Write("c.cases", "0,0 => 0\n0,1 => 1\n9q => 1\n");
  const Outcome outcome =
      RunQuelvarRun("--max-lines 50 --cases " + dir.PathOf("c.cases") + " " + descriptor);
  EXPECT_EQ(outcome.status, 2);  // 9q is no number: nothing runs
  EXPECT_EQ(outcome.err, dir.PathOf("c.cases") + ":3: error: value '9q' is not a number\n");

  dir.Write("c.cases", "0,0 => 0\n0,1 => 1\n");
  const Outcome graded =
      RunQuelvarRun("--max-lines 50 --cases " + dir.PathOf("c.cases") + " " + descriptor);
  EXPECT_EQ(graded.status, 5);
  EXPECT_EQ(graded.out,
            "case 1: FAIL: 0,0 => the program stalled: a jump to line 0; R1 is 0, expected 0\n"
            "case 2: FAIL: 0,1 => stopped at the line limit of 50 lines; R1 is 25, expected 1\n"
            "0/2 cases pass\n");

  // A program that cannot be loaded is no case failing: the grading says why, naming the file.
  dir.Write("empty.txt", "");
  const std::string empty = dir.Write("e.rm", "E\r\ndata.txt\r\nempty.txt\r\n");
  const Outcome failed = RunQuelvarRun("--cases " + dir.PathOf("c.cases") + " " + empty);
  EXPECT_EQ(failed.status, 1);
  EXPECT_EQ(failed.out, "");
  EXPECT_EQ(failed.err,
            "quelvar-run: " + dir.PathOf("empty.txt") + ": List index out of bounds (0)\n");
  const Outcome missing = RunQuelvarRun("--cases " + dir.PathOf("c.cases") + " d.rm");
  EXPECT_EQ(missing.status, 1);
  EXPECT_EQ(missing.err, "quelvar-run: d.rm: File not found.\n");
}

TEST(Cases, RejectsLinesThatAreNoCase) {
  const char* const kShape =
      "a case is 'V1,V2,... => R1' or 'V1,V2,... => R1=5 R3=0' (or 'stalls', 'runs-forever'), "
      "with 'NAME:' before it and 'points P', 'hidden', 'max-lines N' after it if need be";
  const struct {
    const char* line;
    const char* error;
  } cases[] = {
      {"3,4", kShape},
      {"3 => 4 => 5", kShape},
      {"3,4 =>", "nothing expected after '=>'"},
      {"3,4 => R1=", "'' is not a register value (-32768 to 32767)"},
      {"3,4 => X1=2", "'X1=2' is not Rn=V"},
      {"3,4 => 40000", "'40000' is not a register value (-32768 to 32767)"},
      {"3,,4 => 7", "value '' is not a number"},
      // Values the data form would read otherwise, and a case that can never pass.
      {"000000000000000000000000000000003 => 3",
       "value '000000000000000000000000000000003' is longer than 32 characters: the data form "
       "reads no more of it"},
      {"40000 => 1",
       "value '40000' is outside -32768 to 32767: the data form would hold it as -25536"},
      {"3 4 => 1", "value '3 4' is not a number"},
      {"1 => R1=7 R1=8", "R1 is expected to be both 7 and 8: the case can never pass"},
      {"1 => 7 R1=8", "R1 is expected to be both 7 and 8: the case can never pass"},
      // The fields a case may add.
      {": 1,1,0 => 2", "the case's name before ':' is empty"},
      {"a,b: 1,1,0 => 2", "the case's name 'a,b' holds a ','"},
      {"1,1,0 => 2 points", "'points' needs a number"},
      {"1,1,0 => 2 [points]", "'points' needs a number"},
      {"1,1,0 => 2 points -1", "points '-1' is not a whole number from 0 to 1000000"},
      {"1,1,0 => 2 points 2 points 3", "'points' is given twice"},
      {"1,1,0 => 2 hidden hidden", "'hidden' is given twice"},
      {"1,1,0 => 2 [points 2", "'[points' has no closing ']'"},
      {"1,1,0 => 2 max-lines x", "max-lines 'x' is not a whole number of lines"},
      {"1,1,0 => 2 max-lines 1 max-lines 2", "'max-lines' is given twice"},
      {"1,1,0 => 2 hidden R2=1",
       "'R2=1' is no option: after what is expected come 'points P', 'hidden' and 'max-lines N'"},
      {"1,1,0 => 2 loud", "'loud' is not a register value (-32768 to 32767)"},
      {"1,1,0 => stalls R1=0", "'stalls' is what the run does: it takes no registers beside it"},
      {"1,1,0 => R1=0 runs-forever",
       "'runs-forever' is what the run does: it takes no registers beside it"},
      {"1,1,0 => hidden", "nothing expected after '=>'"},
  };
  for (const auto& c : cases) {
    const TempDir dir;
    dir.Write("bad.cases", std::string("1,1,0 => 2\n") + c.line + "\n");
    const Outcome outcome =
        RunQuelvarRun("--cases " + dir.PathOf("bad.cases") + " " + Example("add.rm"));
    EXPECT_EQ(outcome.status, 2) << c.line;
    EXPECT_EQ(outcome.err, dir.PathOf("bad.cases") + ":2: error: " + c.error + "\n") << c.line;
    EXPECT_EQ(outcome.out, "") << c.line;
  }
}

// CR, CR LF and LF each end a line: a comment on the first line hides no case.
TEST(Cases, ReadsEveryLineEnd) {
  for (const char* end : {"\r", "\r\n", "\n"}) {
    const TempDir dir;
    const std::string e = end;
    dir.Write("c.cases", "# addition" + e + "3,4,0 => 7" + e + e + "1,1,0 => R1=3" + e);
    const Outcome outcome =
        RunQuelvarRun("--cases " + dir.PathOf("c.cases") + " " + Example("add.rm"));
    EXPECT_EQ(outcome.status, 5) << int(e.back());
    EXPECT_EQ(outcome.out,
              "case 1: pass\ncase 2: FAIL: 1,1,0 => R1 is 2, expected 3\n1/2 cases pass\n")
        << int(e.back());
  }
}

TEST(Cases, AFileWithNoCaseIsAnError) {
  for (const char* text : {"", "# nothing yet\r", "\n\n# one\n  \n"}) {
    const TempDir dir;
    dir.Write("c.cases", text);
    const Outcome outcome =
        RunQuelvarRun("--cases " + dir.PathOf("c.cases") + " " + Example("add.rm"));
    EXPECT_EQ(outcome.status, 2) << text;
    EXPECT_EQ(outcome.err,
              dir.PathOf("c.cases") + ": error: no case in the file: grading would check nothing\n")
        << text;
    EXPECT_EQ(outcome.out, "") << text;
  }
}

// A case that never halts is stopped by --timeout as well as the line limit.
TEST(Cases, StopsACaseAtTheTimeLimit) {
  const TempDir dir;
  const std::string descriptor = WriteProgram(dir, "0\r\n", "S(9)\r\nJ(1,1,1)\r\n");
  dir.Write("c.cases", "0 => 0\n");
  const std::string limits = "--max-lines 100000000000000 --timeout 0.1 ";
  const Outcome graded =
      RunQuelvarRun(limits + "--cases " + dir.PathOf("c.cases") + " " + descriptor);
  EXPECT_EQ(graded.status, 5);
  EXPECT_EQ(graded.out,
            "case 1: FAIL: 0 => stopped at the time limit of 0.1 s of CPU time; R1 is 0, "
            "expected 0 (a register wrapped from 32767 to -32768)\n0/1 cases pass\n");
  const Outcome run = RunQuelvarRun(limits + descriptor);
  EXPECT_EQ(run.status, 6);
  EXPECT_EQ(run.err,
            "quelvar-run: " + descriptor + ": stopped at the time limit of 0.1 s of CPU time\n");
  const Outcome json = RunQuelvarRun(limits + "--format json " + descriptor);
  EXPECT_EQ(json.status, 6);
  EXPECT_EQ(nlohmann::json::parse(json.out)["outcome"], "time-limit");
}

// The cases file is read a line at a time; a line too long for the memory there is says so, not
// a C++ library's text.
TEST(Cases, ALineTooLongToHoldIsAnError) {
#if defined(__SANITIZE_ADDRESS__)
  GTEST_SKIP() << "AddressSanitizer's operator new aborts instead of throwing std::bad_alloc";
#endif
  const TempDir dir;
  {
    std::ofstream cases(dir.PathOf("long.cases"), std::ios::binary);
    const std::string block(1 << 20, '1');
    for (int i = 0; i < 160; ++i) cases << block;
    cases << " => 1\n";
  }
  const Outcome outcome =
      RunProgram("sh -c 'ulimit -v 98304; " QUELVAR_RUN,
                 "--cases " + dir.PathOf("long.cases") + " " + Example("add.rm") + "'");
  EXPECT_EQ(outcome.status, 2);
  EXPECT_EQ(outcome.err,
            dir.PathOf("long.cases") + ":1: error: the line is too long to hold in memory\n");
}

// --format json with --cases: one document, with the descriptor, its files, and each case's inputs,
// expected and got.
TEST(Cases, ReportsTheGradingAsOneJsonDocument) {
  const TempDir dir;
  dir.Write("c.cases", "3,4,0 => 7\nsum: 3,4,0 => R2=5 points 3 hidden\n");
  const Outcome outcome =
      RunQuelvarRun("--format json --cases " + dir.PathOf("c.cases") + " " + Example("add.rm"));
  EXPECT_EQ(outcome.status, 5);
  const nlohmann::json document = nlohmann::json::parse(outcome.out);
  EXPECT_EQ(document["descriptor"], Example("add.rm"));
  EXPECT_EQ(document["files"]["program"], Example("add-program.txt"));
  ASSERT_EQ(document["cases"].size(), 2u);
  const nlohmann::json& first = document["cases"][0];
  EXPECT_EQ(first["pass"], true);
  EXPECT_EQ(first["inputs"], nlohmann::json::parse("[3, 4, 0]"));
  EXPECT_EQ(first["registers"], nlohmann::json::parse("[7, 4, 4]"));
  const nlohmann::json& second = document["cases"][1];
  EXPECT_EQ(second["name"], "sum");
  EXPECT_EQ(second["line"], 2);
  EXPECT_EQ(second["hidden"], true);
  EXPECT_EQ(second["expected"], nlohmann::json::parse(R"({"R2": 5})"));
  EXPECT_EQ(second["got"], nlohmann::json::parse(R"({"R2": 4})"));
  EXPECT_EQ(second["verdict"], "R2 is 4, expected 5");
  EXPECT_EQ(second["mismatches"],
            nlohmann::json::parse(R"([{"register": 2, "expected": 5, "actual": 4}])"));
  EXPECT_EQ(document["passed"], 1);
  EXPECT_EQ(document["total"], 2);
  EXPECT_EQ(document["points"], 1);
  EXPECT_EQ(document["maxPoints"], 4);
}

// What a case expects of its run, each outcome against each expectation. The program stalls on
// R1 = 0, never halts on R1 = 1 and ends with R1 + 2 otherwise.
TEST(Cases, JudgesEachOutcomeAgainstWhatTheCaseExpects) {
  const TempDir dir;
  const std::string descriptor =
      WriteProgram(dir, "0\r\n", "J(1,9,0)\r\nS(9)\r\nJ(1,9,3)\r\nS(1)\r\nS(1)\r\n");
  const struct {
    const char* line;
    const char* says;
  } cases[] = {
      {"0 => stalls", "case 1: pass"},
      {"1 => runs-forever", "case 1: pass"},
      {"1 => runs-forever max-lines 7", "case 1: pass"},
      {"5 => 7", "case 1: pass"},
      {"5 => stalls", "case 1: FAIL: 5 => the run ended after 5 lines; expected it to stall"},
      {"5 => runs-forever max-lines 7",
       "case 1: FAIL: 5 => the run ended after 5 lines; expected it to run to the line limit of "
       "7 lines"},
      {"0 => runs-forever",
       "case 1: FAIL: 0 => the program stalled: a jump to line 0; expected it to run to the line "
       "limit of 1000 lines"},
      {"1 => stalls",
       "case 1: FAIL: 1 => stopped at the line limit of 1000 lines; expected it to stall"},
      {"1 => 3 max-lines 20",
       "case 1: FAIL: 1 => stopped at the line limit of 20 lines; R1 is 1, expected 3"},
      // The issue's own lines, brackets and all.
      {"add-small: 5 => R1=7 [points 2] [max-lines 1000]", "add-small: pass"},
      {"loop: 1 => runs-forever [max-lines 100000]", "loop: pass"},
      {"named case: 5 => R1=7 R2=0 hidden points 0", "named case: pass"},
  };
  for (const auto& c : cases) {
    dir.Write("c.cases", std::string(c.line) + "\n");
    const Outcome outcome =
        RunQuelvarRun("--max-lines 1000 --cases " + dir.PathOf("c.cases") + " " + descriptor);
    EXPECT_EQ(outcome.out.substr(0, outcome.out.find('\n')), c.says) << c.line;
    EXPECT_EQ(outcome.status, std::string(c.says).find("FAIL") == std::string::npos ? 0 : 5)
        << c.line;
  }
}

// An S on 32767 wraps round to -32768: a case whose run did so says it, in the engine's run and
// in the first line's (the tick's), whether it passes or not.
TEST(Cases, SaysWhenARunWrappedARegister) {
  const TempDir dir;
  const std::string engine = WriteProgram(dir, "0\r\n", "Z(2)\r\nS(1)\r\n");
  dir.Write("first.txt", "S(1)\r\n");
  const std::string tick = dir.Write("first.rm", "F\r\ndata.txt\r\nfirst.txt\r\n");
  dir.Write("c.cases", "32767,0 => -32768\n32766,0 => 32767\n32767,0 => 0\n");
  for (const std::string& descriptor : {engine, tick}) {
    const Outcome outcome = RunQuelvarRun("--cases " + dir.PathOf("c.cases") + " " + descriptor);
    EXPECT_EQ(outcome.out,
              "case 1: pass (a register wrapped from 32767 to -32768)\n"
              "case 2: pass\n"
              "case 3: FAIL: 32767,0 => R1 is -32768, expected 0 (a register wrapped from 32767 "
              "to -32768)\n"
              "2/3 cases pass\n")
        << descriptor;
    const nlohmann::json document = nlohmann::json::parse(
        RunQuelvarRun("--format json --cases " + dir.PathOf("c.cases") + " " + descriptor).out);
    EXPECT_EQ(document["cases"][0]["wrapped"], true);
    EXPECT_EQ(document["cases"][1]["wrapped"], false);
    EXPECT_EQ(document["wrapped"], true);
  }
}

}  // namespace
}  // namespace quelvar::test
