// The file layer under faults a test cannot stage with real files: a chosen errno from open, read
// or stat, reads that return a byte at a time, and files rewritten while they are read.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "support/FaultyCalls.h"
#include "support/FormFixture.h"

namespace quelvar::test {
namespace {

class FileFaultTest : public FormTest {
 protected:
  FileFaultTest() { faults::Reset(); }
  ~FileFaultTest() override { faults::Reset(); }
  void Load() { toolkit.ChooseMenuItem("Load1"); }
};

// Every platform number reaches the box as "I/O error N", except the four the table names.
TEST_F(FileFaultTest, PlatformErrorsAreShownWithTheirOwnNumber) {
  using faults::Call;
  const struct {
    Call call;
    const char* file;
    int error;
    const char* text;
  } cases[] = {
      {Call::kRead, "data.txt", EIO, "I/O error 5."},
      {Call::kRead, "data.txt", ENETDOWN, "I/O error 100."},
      {Call::kRead, "data.txt", ENETUNREACH, "I/O error 101."},
      {Call::kRead, "data.txt", EISCONN, "I/O error 106."},
      {Call::kRead, "data.txt", EACCES, "File access denied."},
      {Call::kOpen, "data.txt", EIO, "I/O error 5."},
      {Call::kOpen, "data.txt", EMFILE, "Too many open files."},
      {Call::kOpen, "data.txt", ENOENT, "File not found."},
      {Call::kStat, "data.txt", EIO, "I/O error 5."},
      {Call::kRead, "prog.rm", EIO, "I/O error 5."},
      {Call::kOpen, "prog.rm", ENOTDIR, "Invalid filename."},
      {Call::kOpen, "prog.txt", EIO, "Cannot open file prog.txt."},
      {Call::kRead, "prog.txt", ENETUNREACH, "I/O error 101."},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.file) + " " + std::to_string(c.error));
    faults::Reset();
    faults::Fail(c.call, c.file, c.error);
    PrepareLoad("1\r\n2", "S(1)");
    const size_t before = toolkit.ErrorBoxes().size();
    Load();
    ASSERT_EQ(toolkit.ErrorBoxes().size(), before + 1);
    EXPECT_EQ(toolkit.ErrorBoxes().back().text, c.text);
    EXPECT_EQ(faults::OpenDescriptors(), 0);
  }
}

// A file that was only read loses nothing when its close fails: the load stands.
TEST_F(FileFaultTest, AFailedCloseOfAFileReadWholeIsNoFailure) {
  faults::Fail(faults::Call::kClose, "data.txt", EIO);
  PrepareLoad("4\r\n5", "S(1)");
  Load();
  EXPECT_TRUE(ErrorTexts().empty());
  EXPECT_EQ(RegisterLines(), (std::vector<std::string>{"R1 -> 4", "R2 -> 5"}));
  EXPECT_EQ(faults::OpenDescriptors(), 0);
}

// A real read error: /proc/self/mem is a regular file whose first page cannot be read.
TEST_F(FileFaultTest, AReadErrorOfTheSystemIsNotAccessDenied) {
  dir.Write("prog.txt", "S(1)");
  toolkit.FileDialog().WillChoose(dir.Write("mem.rm", "Mem\r\n/proc/self/mem\r\nprog.txt\r\n"));
  Load();
  EXPECT_EQ(ErrorTexts(), std::vector<std::string>{"I/O error 5."});
}

TEST_F(FileFaultTest, ReadsOfAByteAtATimeLoadTheSame) {
  faults::LimitReads(1);
  PrepareLoad("5\r\n-7\r\n$FF\r\n", "Z(1)\r\nS(2)\r\nJ(1,2,1)");
  Load();
  EXPECT_TRUE(ErrorTexts().empty());
  EXPECT_EQ(RegisterLines(), (std::vector<std::string>{"R1 -> 5", "R2 -> -7", "R3 -> 255"}));
  EXPECT_EQ(ProgramLines(), (std::vector<std::string>{"Z(1)", "S(2)", "J(1,2,1)"}));
  EXPECT_EQ(Label("Label10"), "prog.txt");
}

// Another program replaces a file while it is read: the load must take one version whole.
TEST_F(FileFaultTest, AFileRewrittenWhileItIsReadIsReadAgain) {
  PrepareLoad("1\r\n2", "S(1)\r\nS(1)\r\nS(1)\r\nS(1)");
  const std::string program = dir.PathOf("prog.txt");
  faults::LimitReads(4);
  faults::BeforeRead("prog.txt", [&](int reads) {
    if (reads == 1)
      std::ofstream(program, std::ios::trunc) << "Z(2)\r\nZ(2)\r\nZ(2)\r\nZ(2)\r\nZ(2)";
  });
  Load();
  EXPECT_TRUE(ErrorTexts().empty());
  EXPECT_EQ(ProgramLines(), (std::vector<std::string>(5, "Z(2)")));
}

TEST_F(FileFaultTest, AFileThatNeverHoldsStillFailsWithAMessageOfItsOwn) {
  PrepareLoad("1\r\n2", "S(1)");
  const std::string dataForm = dir.PathOf("data.txt");
  faults::LimitReads(2);
  faults::BeforeRead("data.txt", [&](int reads) {
    std::ofstream(dataForm, std::ios::trunc) << std::string(reads % 2 + 1, '7') << "\r\n2";
  });
  Load();
  EXPECT_EQ(ErrorTexts(), std::vector<std::string>{"File kept changing while it was read."});
  EXPECT_EQ(faults::OpenDescriptors(), 0);
}

// A slow disk, as the fake device of this test: a load that takes more than half a second shows
// the window busy, once, until its event ends; a quick one does not.
TEST_F(FileFaultTest, ALoadThatTakesLongShowsTheWindowBusy) {
  PrepareLoad("1\r\n2\r\n3", "S(1)");
  Load();
  EXPECT_EQ(toolkit.BusyShown(), 0);
  faults::LimitReads(1);
  faults::BeforeRead("data.txt", [](int reads) {
    if (reads == 1) std::this_thread::sleep_for(std::chrono::milliseconds(600));
  });
  Load();
  EXPECT_TRUE(ErrorTexts().empty());
  EXPECT_EQ(toolkit.BusyShown(), 1);
  EXPECT_EQ(RegisterLines().size(), 3u);
}

}  // namespace
}  // namespace quelvar::test
