#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <string>

#include "platform/File.h"
#include "support/FormFixture.h"
#include "support/StandardInput.h"
#include "text/InOutError.h"

namespace quelvar::test {
namespace {

using Lines = std::vector<std::string>;
using platform::kBlue;

class LoadTest : public FormTest {
 protected:
  // The four commands that Load enables, in the order it enables them.
  std::vector<bool> Commands() {
    std::vector<bool> enabled;
    for (const char* name : {"Button4", "Button5", "Button7", "Button9"}) {
      enabled.push_back(Button(name).Enabled());
    }
    return enabled;
  }
  void Load() { toolkit.ChooseMenuItem("Load1"); }
  const std::vector<bool> kNone{false, false, false, false};
  const std::vector<bool> kAll{true, true, true, true};
};

TEST_F(LoadTest, LoadsTheDescriptorTheDataFormAndTheProgramText) {
  PrepareLoad("5\r\n7\r\n9\r\n", "Z(1)\r\nS(1)\r\n");
  Load();
  EXPECT_TRUE(ErrorTexts().empty());
  EXPECT_EQ(form.ModuleName, "Test");
  EXPECT_EQ(Label("Label8"), "Test");
  EXPECT_EQ(Label("Label9"), "data.txt");
  EXPECT_EQ(Label("Label10"), "prog.txt");
  EXPECT_EQ(form.RegCount, 3);
  EXPECT_EQ(form.Regs, (std::vector<int16_t>{0, 5, 7, 9}));
  EXPECT_EQ(RegisterLines(), (Lines{"R1 -> 5", "R2 -> 7", "R3 -> 9"}));
  EXPECT_EQ(ProgramLines(), (Lines{"Z(1)", "S(1)"}));
  EXPECT_EQ(Commands(), kAll);
  EXPECT_FALSE(Button("Button8").Enabled());
  EXPECT_EQ(toolkit.FileDialog().Filter, "Programs for Register Mashine *.rm|*.rm");
  // Line 1 is framed in the colour the surface has at start: white.
  EXPECT_EQ(List2().OutlinedRows(), (std::vector<int32_t>{0}));
  EXPECT_EQ(List2().OutlineOn(0), platform::kWhite);
  // Load touches neither the run state nor the index label.
  EXPECT_EQ(form.InstrIndex, 0);
  EXPECT_EQ(form.RunFlag, 0);
  EXPECT_EQ(Label("Label3"), "Label3");
}

TEST_F(LoadTest, StoresTheLowSixteenBitsOfEachValue) {
  PrepareLoad("+12\r\n$FF\r\n-1\r\n70000\r\n40000\r\n-32769\r\n$FFFFFFFF", "");
  Load();
  EXPECT_EQ(form.Regs, (std::vector<int16_t>{0, 12, 255, -1, 4464, 40000 - 65536, 32767, -1}));
}

TEST_F(LoadTest, AnEmptyDataFormGivesOneRegisterAndAnEmptyProgramNoLines) {
  PrepareLoad("", "");
  Load();
  EXPECT_TRUE(ErrorTexts().empty());
  EXPECT_EQ(form.RegCount, 1);
  EXPECT_EQ(RegisterLines(), (Lines{"R1 -> 0"}));
  EXPECT_TRUE(ProgramLines().empty());
  EXPECT_EQ(List2().OutlinedRows(), (std::vector<int32_t>{0}));  // where line 1 would stand
}

TEST_F(LoadTest, CellZeroAndRegistersOutsideTheFormAfterAReload) {
  PrepareLoad("1\r\n2", "");
  Load();
  form.ANalyseCommand("S(0)");
  form.ANalyseCommand("S(5)");
  form.ANalyseCommand("S(-3)");
  Load();                         // the cancelled dialog reloads the last descriptor
  EXPECT_EQ(form.ReadReg(0), 1);  // cell 0 keeps its value across loads
  EXPECT_EQ(form.ReadReg(5), 0);  // registers outside the data form start again from 0
  EXPECT_EQ(form.ReadReg(-3), 0);
}

TEST_F(LoadTest, ACancelBeforeAnyLoadDoesNothing) {
  toolkit.FileDialog().WillCancel();
  Load();
  EXPECT_EQ(toolkit.FileDialog().Shown(), 1);
  EXPECT_TRUE(ErrorTexts().empty());
  EXPECT_EQ(Label("Label8"), "");
  EXPECT_EQ(Commands(), kNone);
}

TEST_F(LoadTest, ACancelAfterALoadReadsTheSameFilesAfresh) {
  PrepareLoad("1", "S(1)");
  Load();
  dir.Write("data.txt", "8\r\n9");
  dir.Write("prog.txt", "Z(2)");
  toolkit.FileDialog().WillCancel();
  Load();
  EXPECT_EQ(RegisterLines(), (Lines{"R1 -> 8", "R2 -> 9"}));
  EXPECT_EQ(ProgramLines(), (Lines{"Z(2)"}));
}

TEST_F(LoadTest, RelativeNamesResolveAgainstTheDescriptorsFolder) {
  PrepareLoad("4", "S(1)");
  ASSERT_EQ(chdir("/"), 0);
  Load();
  EXPECT_TRUE(ErrorTexts().empty());
  EXPECT_EQ(RegisterLines(), (Lines{"R1 -> 4"}));
  EXPECT_EQ(ProgramLines(), (Lines{"S(1)"}));
}

TEST_F(LoadTest, AnyLoadCanRepeatWhileNothingElseChanges) {
  PrepareLoad("1", "S(1)");
  Load();
  form.InstrIndex = 7;
  form.RunFlag = 1;
  Load();
  EXPECT_EQ(form.InstrIndex, 7);
  EXPECT_EQ(form.RunFlag, 1);
}

// One failure each, with what it leaves behind. Every case starts from a good first Load of
// three registers and a two-line program; the second Load meets the failure.
struct Failure {
  const char* what;
  std::string descriptor;  // lines 2 and 3 of the descriptor
  std::string dataForm;
  std::string message;
  Lines registerLines;
  int32_t regCount;
  std::vector<int16_t> regs;
  Lines programLines;
  bool newNames;
};

TEST_F(LoadTest, EachFailureLeavesWhatItShould) {
  const Lines oldProgram{"Z(1)", "S(1)"};
  const Lines loaded{"R1 -> 4", "R2 -> 5"};
  const Failure failures[] = {
      {"missing data form",
       "missing.txt\r\nprog2.txt",
       "",
       "File not found.",
       {},
       3,
       {0, 1, 2, 3},
       oldProgram,
       true},
      {"data form in a missing folder",
       "nowhere/data.txt\r\nprog2.txt",
       "",
       "Invalid filename.",
       {},
       3,
       {0, 1, 2, 3},
       oldProgram,
       true},
      {"data form under a file",
       "data2.txt/x\r\nprog2.txt",
       "4",
       "Invalid filename.",
       {},
       3,
       {0, 1, 2, 3},
       oldProgram,
       true},
      {"data form is a folder",
       "sub\r\nprog2.txt",
       "",
       "File access denied.",
       {},
       3,
       {0, 1, 2, 3},
       oldProgram,
       true},
      {"data form is a device",
       "/dev/zero\r\nprog2.txt",
       "",
       "File access denied.",
       {},
       3,
       {0, 1, 2, 3},
       oldProgram,
       true},
      {"name too long",
       std::string(300, 'n') + "\r\nprog2.txt",
       "",
#ifdef __EMSCRIPTEN__
       "File not found.",  // node's file system says a name too long is missing
#else
       "I/O error 36.",
#endif
       {},
       3,
       {0, 1, 2, 3},
       oldProgram,
       true},
      {"bad second value",
       "data2.txt\r\nprog2.txt",
       "4\r\n4x\r\n6",
       "Invalid numeric input.",
       {},
       2,
       {0, 4, 0},
       oldProgram,
       true},
      // the first cell keeps its old value when the array was longer before
      {"bad first value",
       "data2.txt\r\nprog2.txt",
       "x",
       "Invalid numeric input.",
       {},
       1,
       {0, 1},
       oldProgram,
       true},
      {"missing program",
       "data2.txt\r\nnone.txt",
       "4\r\n5",
       "Cannot open file none.txt.",
       loaded,
       2,
       {0, 4, 5},
       {},
       true},
      {"program is a folder",
       "data2.txt\r\nsub",
       "4\r\n5",
       "Cannot open file sub.",
       loaded,
       2,
       {0, 4, 5},
       {},
       true},
      {"empty program name",
       "data2.txt\r\n",
       "4\r\n5",
       "Cannot open file ",
       loaded,
       2,
       {0, 4, 5},
       {},
       true},
  };
  for (const Failure& f : failures) {
    SCOPED_TRACE(f.what);
    headless::HeadlessToolkit tk("Demo");
    TForm1 fresh(tk);
    tk.FileDialog().WillChoose(WriteProgramFiles("1\r\n2\r\n3", "Z(1)\r\nS(1)"));
    tk.ChooseMenuItem("Load1");
    ASSERT_TRUE(tk.ErrorBoxes().empty());
    mkdir(dir.PathOf("sub").c_str(), 0755);
    dir.Write("data2.txt", f.dataForm);
    dir.Write("prog2.txt", "S(2)");
    const std::string second = dir.Write("second.rm", "Second\r\n" + f.descriptor + "\r\n");
    tk.FileDialog().WillChoose(second);
    const int descriptors = OpenDescriptorCount();
    tk.ChooseMenuItem("Load1");
    EXPECT_EQ(OpenDescriptorCount(), descriptors);
    ASSERT_EQ(tk.ErrorBoxes().size(), 1u);
    EXPECT_EQ(tk.ErrorBoxes()[0].text, f.message);
    EXPECT_EQ(tk.ErrorBoxes()[0].caption, "Demo");
    EXPECT_EQ(tk.ListNamed("List1").Lines(), f.registerLines);
    EXPECT_EQ(fresh.RegCount, f.regCount);
    EXPECT_EQ(fresh.Regs, f.regs);
    EXPECT_EQ(tk.ListNamed("List2").Lines(), f.programLines);
    EXPECT_EQ(tk.LabelNamed("Label8").Text(), "Second");
    EXPECT_EQ(fresh.ModuleName, "Second");
    // The commands were enabled by the first Load and stay so.
    EXPECT_TRUE(tk.ButtonNamed("Button4").Enabled());
    if (f.programLines.empty()) {
      EXPECT_TRUE(tk.ListNamed("List2").OutlinedRows().empty());
    }
  }
}

TEST_F(LoadTest, AMissingDescriptorChangesNothingAndIsTriedAgainOnCancel) {
  PrepareLoad("1", "S(1)");
  Load();
  toolkit.FileDialog().WillChoose(dir.PathOf("gone.rm"));
  Load();
  toolkit.FileDialog().WillCancel();
  Load();
  EXPECT_EQ(ErrorTexts(), (Lines{"File not found.", "File not found."}));
  EXPECT_EQ(form.ModuleName, "Test");
  EXPECT_EQ(Label("Label9"), "data.txt");
  EXPECT_EQ(RegisterLines(), (Lines{"R1 -> 1"}));
}

TEST_F(LoadTest, ADescriptorOfOneLineClearsTheOtherNames) {
  PrepareLoad("1", "S(1)");
  Load();
  toolkit.FileDialog().WillChoose(dir.Write("one.rm", "Only"));
  Load();
  EXPECT_EQ(form.DataFileName, "");
  EXPECT_EQ(Label("Label9"), "");
  EXPECT_EQ(Label("Label10"), "");
}

// Standard input stands in for an empty data-form name; it is read only when it is a regular
// file, so the window can never wait on a terminal or a pipe.
TEST_F(LoadTest, StandardInputIsReadOnlyWhenItIsARegularFile) {
  dir.Write("prog.txt", "S(1)");
  const std::string descriptor = dir.Write("stdin.rm", "In\r\n\r\nprog.txt");
  int fds[2];
  ASSERT_EQ(pipe(fds), 0);
  {
    const StandardInput pipeInput(fds[0]);
    toolkit.FileDialog().WillChoose(descriptor);
    Load();
    close(fds[1]);
  }
  EXPECT_EQ(ErrorTexts(), (Lines{"I/O error 6."}));
  {
    const StandardInput fileInput(open(dir.Write("in.txt", "3\r\n-4\r\n").c_str(), O_RDONLY));
    toolkit.FileDialog().WillChoose(descriptor);
    Load();
  }
  EXPECT_EQ(ErrorTexts().size(), 1u);
  EXPECT_EQ(RegisterLines(), (Lines{"R1 -> 3", "R2 -> -4"}));
}

TEST_F(LoadTest, AFileWithoutReadPermissionIsAccessDenied) {
  const std::string path = dir.Write("secret.txt", "1");
  ASSERT_EQ(chmod(dir.Path().c_str(), 0755), 0);
  ASSERT_EQ(chmod(path.c_str(), 0), 0);
  // Root reads every file, so the open is tried by a child that has given up root.
  const pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    if (geteuid() == 0 && setresuid(65534, 65534, 65534) != 0) _exit(100);
    try {
      platform::InputFile file(path);
      _exit(0);
    } catch (const InOutError& e) {
      _exit(e.code());
    }
  }
  int status = 0;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), kFileAccessDenied);
}

TEST_F(LoadTest, LargeFilesLoadWhole) {
  std::string dataForm;
  for (int i = 0; i < 100'000; ++i) dataForm += std::to_string(i) + "\r\n";
  std::string program;
  for (int i = 0; i < 1'000'000; ++i) program += "S(1)\n";
  PrepareLoad(dataForm, program);
  Load();
  EXPECT_TRUE(ErrorTexts().empty());
  EXPECT_EQ(form.RegCount, 100'000);
  EXPECT_EQ(form.Regs[100'000], static_cast<int16_t>(99'999));
  EXPECT_EQ(RegisterLines().size(), 32767u);
  EXPECT_EQ(List2().Count(), 1'000'000);
}

}  // namespace
}  // namespace quelvar::test
