// The file layer under faults a test cannot stage with real files: a chosen errno from open, read
// or stat, reads that return a byte at a time, files rewritten while they are read, and writers
// that have the file open.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <csignal>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "platform/File.h"
#include "support/FaultyCalls.h"
#include "support/FormFixture.h"
#include "support/Process.h"

namespace quelvar::test {
namespace {

constexpr int kAlways = 1'000'000;

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

// Another program replaces a file while it is read, on a file system that gives no leases (with
// one, this process's own write would wait for its own lease): the load must take one version.
TEST_F(FileFaultTest, AFileRewrittenWhileItIsReadIsReadAgain) {
  PrepareLoad("1\r\n2", "S(1)\r\nS(1)\r\nS(1)\r\nS(1)");
  faults::Fail(faults::Call::kLease, "prog.txt", EINVAL, 0, kAlways);
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
  faults::Fail(faults::Call::kLease, "data.txt", EINVAL, 0, kAlways);
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
// the window busy, once, until its event ends; a quick one does not. A toolkit that shows nothing
// while busy (the batch runner's) gets no notice of a slow load, which it loads all the same.
TEST_F(FileFaultTest, ALoadThatTakesLongShowsTheWindowBusy) {
  PrepareLoad("1\r\n2\r\n3", "S(1)");
  Load();
  EXPECT_EQ(toolkit.BusyShown(), 0);
  for (const bool shows : {true, false}) {
    if (!shows) toolkit.IgnoreBusy();
    const int before = toolkit.BusyShown();
    faults::Reset();
    faults::LimitReads(1);
    faults::BeforeRead("data.txt", [](int reads) {
      if (reads == 1) std::this_thread::sleep_for(std::chrono::milliseconds(600));
    });
    Load();
    EXPECT_TRUE(ErrorTexts().empty());
    EXPECT_EQ(toolkit.BusyShown() - before, shows ? 1 : 0) << shows;
    EXPECT_EQ(RegisterLines().size(), 3u);
  }
}

// Where the kernel tells that a writer has the file open (a read lease fails with EAGAIN), the
// load waits for it to close, a little; a writer that opens the file while it is read (the lease
// breaks) makes it read again; where no lease can be had, the readings alone decide. Each row
// faults the program text's lease; the descriptor and the data form take theirs.
TEST_F(FileFaultTest, WritersThatHaveTheFileOpenAreWaitedFor) {
  using faults::Call;
  const struct {
    const char* situation;
    Call call;
    int error;
    int times;
    const char* failure;  // none: the program loads
    int leases;           // taken in all, the descriptor's and the data form's included
  } cases[] = {
      {"a writer closes after three looks", Call::kLease, EAGAIN, 3, nullptr, 3},
      {"a writer keeps it open", Call::kLease, EAGAIN, kAlways,
       "File kept changing while it was read.", 2},
      {"a file system without leases", Call::kLease, EINVAL, kAlways, nullptr, 2},
      {"a file of another owner", Call::kLease, EACCES, kAlways, nullptr, 2},
      {"no right to lease", Call::kLease, EPERM, kAlways, nullptr, 2},
      {"a writer opens it once while it is read", Call::kLeaseCheck, 0, 1, nullptr, 4},
      {"a writer opens it at every reading", Call::kLeaseCheck, 0, kAlways,
       "File kept changing while it was read.", 7},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.situation);
    faults::Reset();
    PrepareLoad("1\r\n2", "S(1)\r\nZ(2)");
    faults::Fail(c.call, "prog.txt", c.error, 0, c.times);
    Load();
    if (c.failure) {
      ASSERT_FALSE(ErrorTexts().empty());
      EXPECT_EQ(ErrorTexts().back(), c.failure);
    } else {
      EXPECT_EQ(ProgramLines(), (std::vector<std::string>{"S(1)", "Z(2)"}));
    }
    EXPECT_EQ(faults::LeasesTaken(), c.leases);
    EXPECT_EQ(faults::LeasesHeld(), 0);
    EXPECT_EQ(faults::OpenDescriptors(), 0);
  }
}

// The kernel itself: a writer of another process with the file open holds the load off until
// the wait ends; once it has closed the file, the load takes a lease and reads.
TEST_F(FileFaultTest, AWriterOfAnotherProcessHoldsTheLoadOff) {
  PrepareLoad("1\r\n2", "S(1)");
  const std::string program = dir.PathOf("prog.txt");
  int ready[2];
  ASSERT_EQ(pipe(ready), 0);
  {
    const ChildProcess writer([&] {
      const int fd = open(program.c_str(), O_WRONLY);
      [[maybe_unused]] const ssize_t told = write(ready[1], "w", 1);
      pause();  // until the test ends it
      return fd < 0 ? 1 : 0;
    });
    close(ready[1]);
    char byte = 0;
    ASSERT_EQ(read(ready[0], &byte, 1), 1);
    close(ready[0]);
    Load();
    EXPECT_EQ(ErrorTexts(), std::vector<std::string>{"File kept changing while it was read."});
    EXPECT_EQ(faults::LeasesTaken(), 2);
  }
  Load();
  EXPECT_EQ(ErrorTexts().size(), 1u);
  EXPECT_EQ(ProgramLines(), std::vector<std::string>{"S(1)"});
  EXPECT_EQ(faults::LeasesTaken(), 5);
  EXPECT_EQ(faults::LeasesHeld(), 0);
}

// Files the kernel makes up as they are read: their size is 0 and no two readings need agree,
// yet each reads once, as it is, with no lease asked for.
TEST_F(FileFaultTest, KernelFilesAreReadAsTheyAre) {
  const struct {
    const char* name;
    const char* start;
  } files[] = {
      {"/proc/self/status", "Name:"},
      {"/proc/self/stat", ""},
      {"/sys/devices/system/cpu/online", "0"},
  };
  for (const auto& f : files) {
    SCOPED_TRACE(f.name);
    for (const auto& readFile : {platform::ReadConsistently, platform::ReadProgramText}) {
      std::string text;
      readFile(f.name,
               [&text](ByteSource& source) {
                 char buffer[256];
                 text.clear();
                 while (const size_t got = source.Read(buffer, sizeof buffer))
                   text.append(buffer, got);
               },
               {});
      EXPECT_FALSE(text.empty());
      EXPECT_EQ(text.rfind(f.start, 0), 0u) << text;
    }
  }
  EXPECT_EQ(faults::LeasesTaken(), 0);
  EXPECT_EQ(faults::OpenDescriptors(), 0);
}

}  // namespace
}  // namespace quelvar::test
