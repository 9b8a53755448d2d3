// quelvar-run as a user runs it: a process, its output and its exit status.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <future>
#include <string>
#include <string_view>
#include <vector>

#include "support/Process.h"
#include "support/RunnerProcess.h"
#include "support/TempDir.h"

namespace quelvar::test {
namespace {

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
    const char* out;
  } cases[] = {
      // Each message names the file it is about; the text after it is the error box's.
      // Nothing loaded: no instruction index to show.
      {dir.PathOf("missing.rm"), "missing.rm: File not found.\n", "Lines executed: 0\n"},
      {dir.Write("noprog.rm", "X\r\ndata.txt\r\nnone.txt\r\n"),
       "none.txt: Cannot open file none.txt.\n", "R1 -> 1\nLines executed: 0\n"},
      {dir.Write("empty.rm", "X\r\ndata.txt\r\nempty.txt\r\n"),
       "empty.txt: List index out of bounds (0)\n",
       "R1 -> 1\nInstruction Index is: Label3\nLines executed: 0\n"},
      {dir.Write("nodata.rm", "X\r\nnone.txt\r\nempty.txt\r\n"), "none.txt: File not found.\n",
       "Lines executed: 0\n"},
  };
  for (const auto& c : cases) {
    const Outcome outcome = RunQuelvarRun(c.descriptor);
    EXPECT_EQ(outcome.status, 1) << c.descriptor;
    EXPECT_EQ(outcome.err, "quelvar-run: " + dir.Path() + "/" + c.err) << c.descriptor;
    EXPECT_EQ(outcome.out, c.out) << c.descriptor;
  }
  // The modes that load and run nothing (or trace as a table) name the file of a failed load
  // alike; an empty program text loads, and fails only when run.
  for (const std::string mode :
       {"--check ", "--format dot ", "--godel ", "--trace --trace-format csv "}) {
    for (const auto& c : cases) {
      if (std::string_view(c.err).starts_with("empty.txt")) continue;
      const Outcome outcome = RunQuelvarRun(mode + c.descriptor);
      EXPECT_EQ(outcome.status, 1) << mode << c.descriptor;
      EXPECT_TRUE(outcome.err.ends_with("quelvar-run: " + dir.Path() + "/" + c.err))
          << mode << c.descriptor << "\n"
          << outcome.err;
    }
  }
}

TEST(QuelvarRun, RejectsBadUsage) {
  const struct {
    const char* arguments;
    const char* says;
  } cases[] = {
      {"", "DESCRIPTOR.rm (or --program) is required"},
      {"--max-lines", "--max-lines: 1 required N missing"},
      {"--max-lines x a.rm", "'x' is not a whole number of lines"},
      {"--max-lines -1 a.rm", "'-1' is not a whole number of lines"},
      {"--frobnicate a.rm", "The following argument was not expected: --frobnicate"},
      {"a.rm b.rm", "several descriptors or a folder are graded: give --cases or --reference"},
      {"''", "the descriptor's name is empty"},
      {"--program '' a.rm", "the program text's name is empty"},
      {"--format xml a.rm",
       "--format: xml not in {text,json,dot,gradescope,prairielearn,junit,tap}"},
      {"--format tap a.rm", "they need --cases or --reference"},
      {"--reference m.rm a.rm", "--reference MODEL.rm and --inputs GRID go together"},
      {"--reference m.rm --inputs 0..6,x a.rm", "value 'x' is not a number"},
      {"--reference m.rm --inputs 5..2 a.rm", "the range '5..2' is empty"},
      {"--reference m.rm --inputs 0,,1 a.rm", "a value a register"},
      {"--reference m.rm --inputs 0 --cases c a.rm", "it takes no --cases"},
      {"--summary csv a.rm", "csv is the summary of a grading"},
      {"--summary tsv --cases c a.rm", "--summary: tsv not in {csv}"},
      {"--cases c --format gradescope a.rm b.rm", "grade one submission a run"},
      {"--cases c --registers 1 a.rm", "each case gives its own registers"},
      {"--check --trace a.rm", "--check: runs nothing"},
      {"--cases '' a.rm", "the cases file's name is empty"},
      {"--max-lines 18446744073709551616 a.rm", "is more than 18446744073709551615 lines"},
      {"--registers '3 4,5' a.rm", "R1 '3 4' holds a blank"},
      {"--registers 3,,4 a.rm", "R2 has no value"},
      {"--registers 3, a.rm", "R2 has no value"},
      {"--registers 1,000000000000000000000000000000003 a.rm", "longer than 32 characters"},
  };
  for (const auto& c : cases) {
    const Outcome outcome = RunQuelvarRun(c.arguments);
    EXPECT_EQ(outcome.status, 2) << c.arguments;
    EXPECT_NE(outcome.err.find(c.says), std::string::npos) << c.arguments << "\n" << outcome.err;
    EXPECT_NE(outcome.err.find("usage: quelvar-run"), std::string::npos) << c.arguments;
  }
  const Outcome help = RunQuelvarRun("--help");
  EXPECT_EQ(help.status, 0);
  EXPECT_NE(help.out.find("--cases FILE"), std::string::npos);
}

// Started in a folder that has since been removed, quelvar-run cannot make a relative name
// absolute: the name stays as given, and opening it fails and says so, as from anywhere else.
TEST(QuelvarRun, RunsFromARemovedWorkingFolder) {
  const TempDir dir;
  const struct {
    std::string arguments;
    int status;
    std::string err;
  } runs[] = {
      {"d.rm", 1, "quelvar-run: d.rm: File not found.\n"},
      {"--cases c.cases d.rm", 1, "quelvar-run: c.cases: File not found.\n"},
      {"--cases " + Example("add.cases") + " d.rm", 1, "quelvar-run: d.rm: File not found.\n"},
      {"--reference m.rm --inputs 0..1 d.rm", 1, "quelvar-run: m.rm: File not found.\n"},
      {"--registers 3,4,0 " + Example("add.rm"), 0, ""},
      {"--cases " + Example("add.cases") + " d1.rm d2.rm", 5, ""},
      {"--trace --line-map m.map " + Example("add.rm"), 1,
       "quelvar-run: cannot read the line map m.map\n"},
  };
  for (const auto& run : runs) {
    const Outcome outcome =
        RunProgram("sh -c 'mkdir " + dir.PathOf("gone") + " && cd " + dir.PathOf("gone") +
                       " && rmdir " + dir.PathOf("gone") + " && exec " QUELVAR_RUN,
                   run.arguments + "'");
    EXPECT_EQ(outcome.status, run.status) << run.arguments << "\n" << outcome.err;
    EXPECT_EQ(outcome.err, run.err) << run.arguments;
    if (run.status == 5) {
      EXPECT_NE(outcome.out.find(
                    "d2.rm       0/0     0/0     0      quelvar-run: d2.rm: File not found."),
                std::string::npos)
          << outcome.out;
    }
  }
}

TEST(QuelvarRun, AnEmptyDataFormNameWithStandardInputClosedIsAnInvalidHandle) {
  const TempDir dir;
  dir.Write("prog.txt", "S(1)");
  const std::string descriptor = dir.Write("stdin.rm", "In\r\n\r\nprog.txt\r\n");
  const Outcome closed = RunQuelvarRun(descriptor + " <&-");
  EXPECT_EQ(closed.status, 1);
  EXPECT_EQ(closed.err, "quelvar-run: <standard input>: I/O error 6.\n");
  dir.Write("in.txt", "41");
  const Outcome redirected = RunQuelvarRun(descriptor + " <" + dir.PathOf("in.txt"));
  EXPECT_EQ(redirected.status, 0);
  EXPECT_EQ(redirected.out, "R1 -> 42\nInstruction Index is: 2\nLines executed: 1\n");
}

TEST(QuelvarRun, TracesEachLineWithWhatItDid) {
  const Outcome outcome = RunQuelvarRun("--trace --max-lines=5 " + Example("add.rm"));
  EXPECT_EQ(outcome.status, 4);
  EXPECT_EQ(outcome.err,
            "1: J(2,3,5)  no jump\n2: S(1)  R1 -> 4\n3: S(3)  R3 -> 1\n4: J(1,1,1)  jump to 1\n"
            "1: J(2,3,5)  no jump\nquelvar-run: " +
                Example("add.rm") + ": stopped at the line limit of 5 lines\n");
}

TEST(QuelvarRun, PrintsItsVersion) {
  const Outcome outcome = RunQuelvarRun("--version");
  EXPECT_EQ(outcome.status, 0);
  EXPECT_EQ(outcome.out, "quelvar-run " QUELVAR_VERSION "\n");
}

// Output that does not reach its destination is a failure, not a success: a report written
// straight (a run's, in text or JSON) or through a stream (a graded run's, in JSON or TAP).
TEST(QuelvarRun, FailsWhenItsReportCannotBeWritten) {
  const struct {
    const char* options;
    const char* output;
    const char* reason;
  } cases[] = {
      {"", ">/dev/full", "No space left on device"},
      {"", ">&-", "Bad file descriptor"},
      {"--format json ", ">/dev/full", "No space left on device"},
      {"--format json --cases CASES ", ">/dev/full", "No space left on device"},
      {"--format tap --cases CASES ", ">/dev/full", "No space left on device"},
      {"--format tap --cases CASES ", ">&-", "Bad file descriptor"},
  };
  for (const auto& c : cases) {
    std::string arguments = std::string(c.options) + Example("add.rm");
    if (const size_t at = arguments.find("CASES"); at != std::string::npos) {
      arguments.replace(at, 5, Example("add.cases"));
    }
    const Outcome outcome = RunQuelvarRun(arguments, c.output);
    EXPECT_EQ(outcome.status, 1) << arguments << c.output;
    EXPECT_EQ(outcome.err, std::string("quelvar-run: cannot write the report: ") + c.reason + "\n")
        << arguments << c.output;
  }
}

// CLI11's files are compiled without <iostream>'s initialiser (runner/Cli.h), which would build
// the standard streams and the C++ locale at every start: quelvar-run must then never use them.
TEST(QuelvarRun, DoesNotUseTheStandardStreams) {
  const Outcome symbols = RunProgram("nm", QUELVAR_RUN);
  ASSERT_EQ(symbols.status, 0) << symbols.err;
  ASSERT_NE(symbols.out.find(" main\n"), std::string::npos) << "no symbols to look at";
  for (const char* name : {"_ZSt3cin", "_ZSt4cout", "_ZSt4cerr", "_ZSt4clog", "_ZSt4wcin",
                           "_ZSt5wcout", "_ZSt5wcerr", "_ZSt5wclog", "_ZNSt8ios_base4InitC1Ev"}) {
    for (const char* end : {"\n", "@"}) {
      EXPECT_EQ(symbols.out.find(std::string(" ") + name + end), std::string::npos) << name;
    }
  }
}

TEST(QuelvarRun, TracesMillionsOfLinesInOrder) {
  const Outcome outcome = RunQuelvarRun("--trace --max-lines 100001 " + Example("forever.rm"));
  EXPECT_EQ(outcome.status, 4);
  size_t lines = 0;
  for (const char c : outcome.err) lines += c == '\n';
  EXPECT_EQ(lines, 100002u);  // and what stopped it
  // K is the line's number in the program; register 1 wraps at 32767.
  const std::string first = "1: S(1)  R1 -> 1\n2: J(1,1,1)  jump to 1\n1: S(1)  R1 -> 2\n";
  const std::string last =
      "\n2: J(1,1,1)  jump to 1\n1: S(1)  R1 -> -15535\nquelvar-run: " + Example("forever.rm") +
      ": stopped at the line limit of 100001 lines\n";
  EXPECT_EQ(outcome.err.substr(0, first.size()), first);
  EXPECT_EQ(outcome.err.substr(outcome.err.size() - last.size()), last);
}

#ifdef QUELVAR_WINDOW
// Qt aborts with a core dump when it finds no display; the window says what is missing instead.
TEST(Quelvar, WithoutADisplaySaysSoAndExits) {
  const Outcome outcome =
      RunProgram("env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM", QUELVAR_WINDOW);
  EXPECT_EQ(outcome.status, 1);
  EXPECT_EQ(outcome.err,
            "quelvar: no display: set DISPLAY or WAYLAND_DISPLAY, or use quelvar-run for batch "
            "runs\n");
}

// Help and the version need no display; a second name is bad usage.
TEST(Quelvar, AnswersHelpAndVersionAndRefusesTwoDescriptors) {
  const Outcome help = RunProgram(QUELVAR_WINDOW, "--help");
  EXPECT_EQ(help.status, 0);
  EXPECT_NE(help.out.find("Usage: quelvar [OPTIONS] [DESCRIPTOR.rm]"), std::string::npos);
  const Outcome version = RunProgram(QUELVAR_WINDOW, "--version");
  EXPECT_EQ(version.out, "quelvar " QUELVAR_VERSION "\n");
  const Outcome two = RunProgram(QUELVAR_WINDOW, "a.rm b.rm");
  EXPECT_EQ(two.status, 2);
  EXPECT_NE(two.err.find("one descriptor at most"), std::string::npos);
}
#endif

// Whether the kernel gives this process a read lease on a file in `dir`.
bool LeasesCanBeHad(const TempDir& dir) {
  const int fd = open(dir.Write("probe.txt", "x").c_str(), O_RDONLY);
  const bool leased = fd >= 0 && fcntl(fd, F_SETSIG, SIGURG) == 0 &&
                      fcntl(fd, F_SETLEASE, F_RDLCK) == 0 && fcntl(fd, F_SETLEASE, F_UNLCK) == 0;
  if (fd >= 0) close(fd);
  return leased;
}

// A program text rewritten in place, in a loop and without a pause, by another process while
// quelvar-run reads it: a run must run one version whole, or a state the file really held, or say
// that the file kept changing; never a mix of the two versions. The truncating writer leaves only
// the start of a version on disk at times (a write becomes visible a page at a time); the
// same-size writer changes neither size nor, within a clock tick, the times, so that a writer
// preempted mid-write leaves a mix that holds still: only the kernel's read lease, which keeps
// writers out while quelvar-run reads, tells it apart.
TEST(QuelvarRun, NeverRunsAProgramTornByAWriter) {
  const TempDir dir;
  dir.Write("data.txt", "0\r\n0\r\n");
  const std::string program = dir.PathOf("prog.txt");
  const std::string descriptor = dir.Write("torn.rm", "Torn\r\ndata.txt\r\nprog.txt\r\n");
  const bool leases = LeasesCanBeHad(dir);
  const struct {
    const char* writer;
    int firstLines;
    int secondLines;
    bool mixesWithoutLease;  // the reading's checks alone may take a mix
  } writers[] = {
      {"truncating, in two writes", 2000, 3000, false},
      {"same size, one pwrite", 2000, 2000, true},
  };
  for (const auto& w : writers) {
    SCOPED_TRACE(w.writer);
    std::string first, second;
    for (int i = 0; i < w.firstLines; ++i) first += "S(1)\r\n";
    for (int i = 0; i < w.secondLines; ++i) second += "S(2)\r\n";
    dir.Write("prog.txt", first);
    const bool sameSize = first.size() == second.size();
    const ChildProcess writer([&] {
      for (int i = 0; i < 10'000'000; ++i) {  // bounded; the test ends it sooner
        const std::string& text = i % 2 == 0 ? second : first;
        const size_t half = text.size() / 2;
        const int fd = open(program.c_str(), sameSize ? O_WRONLY : O_WRONLY | O_TRUNC);
        const bool written =
            fd >= 0 && (sameSize ? pwrite(fd, text.data(), text.size(), 0) >= 0
                                 : write(fd, text.data(), half) >= 0 &&
                                       write(fd, text.data() + half, text.size() - half) >= 0);
        if (!written) return 1;
        close(fd);
      }
      return 0;
    });
    // Runs ten at a time: a run that finds the writer at work waits for it, up to its limit.
    const int runs = 100, together = 10;
    std::vector<Outcome> outcomes;
    while (outcomes.size() < runs) {
      std::vector<std::future<Outcome>> batch;
      for (int i = 0; i < together; ++i) {
        batch.push_back(std::async(std::launch::async, [&] { return RunQuelvarRun(descriptor); }));
      }
      for (auto& outcome : batch) outcomes.push_back(outcome.get());
    }
    int firstWhole = 0, secondWhole = 0, part = 0, empty = 0, changing = 0, mixes = 0;
    for (const Outcome& outcome : outcomes) {
      const auto says = [&outcome](const std::string& text) {
        return outcome.err.size() >= text.size() &&
               outcome.err.compare(outcome.err.size() - text.size(), text.size(), text) == 0;
      };
      if (outcome.status == 1 && says(": File kept changing while it was read.\n")) {
        ++changing;
        continue;
      }
      if (outcome.status == 1 && says(": List index out of bounds (0)\n")) {
        ++empty;
        continue;
      }
      ASSERT_EQ(outcome.status, 0) << outcome.err;
      int r1 = -1, r2 = -1;
      ASSERT_EQ(std::sscanf(outcome.out.c_str(), "R1 -> %d\nR2 -> %d", &r1, &r2), 2) << outcome.out;
      if (r1 != 0 && r2 != 0) {
        ++mixes;
      } else if (r1 == w.firstLines) {
        ++firstWhole;
      } else if (r2 == w.secondLines) {
        ++secondWhole;
      } else {
        ++part;
      }
    }
    std::printf(
        "%d runs against a %s writer (leases %s): %d first version whole, %d second whole, "
        "%d part, %d empty, %d found it changing, %d mixed\n",
        runs, w.writer, leases ? "taken" : "refused", firstWhole, secondWhole, part, empty,
        changing, mixes);
    if (leases || !w.mixesWithoutLease) {
      EXPECT_EQ(mixes, 0) << "a mix of the two versions ran";
    }
  }
}

// A line longer than the memory the process may use fails with a message of ours. The address
// space is limited for the child. AddressSanitizer reserves far more address space than it uses,
// and its operator new ends the process rather than throw when memory runs out, so there the
// test cannot run.
TEST(QuelvarRun, ALineTooLongToHoldFailsWithAClearMessage) {
#if defined(__SANITIZE_ADDRESS__)
  GTEST_SKIP() << "AddressSanitizer's operator new aborts instead of throwing std::bad_alloc";
#endif
  const TempDir dir;
  dir.Write("data.txt", "0");
  {
    std::ofstream program(dir.PathOf("prog.txt"), std::ios::binary);
    const std::string block(1 << 20, 'S');
    for (int i = 0; i < 160; ++i) program << block;
  }
  const std::string descriptor = dir.Write("long.rm", "Long\r\ndata.txt\r\nprog.txt\r\n");
  const Outcome outcome = RunProgram("sh -c 'ulimit -v 98304; " QUELVAR_RUN, descriptor + "'");
  EXPECT_EQ(outcome.status, 1);
  EXPECT_EQ(outcome.err, "quelvar-run: " + dir.PathOf("prog.txt") +
                             ": Program line too long to hold in memory.\n");
}

// Out of memory, as the address-space limit of a child makes it: a list that cannot take a line
// says so, and nothing shows a C++ library's text.
TEST(QuelvarRun, OutOfMemorySaysWhatCouldNotBeHeld) {
#if defined(__SANITIZE_ADDRESS__)
  GTEST_SKIP() << "AddressSanitizer's operator new aborts instead of throwing std::bad_alloc";
#endif
  const TempDir dir;
  {
    std::ofstream lines(dir.PathOf("lines.txt"), std::ios::binary);
    const std::string block(1 << 20, '\n');
    for (int i = 0; i < 48; ++i) lines << block;  // 50 million empty lines
    std::ofstream values(dir.PathOf("values.txt"), std::ios::binary);
    const std::string zeros = [] {
      std::string text;
      for (int i = 0; i < (1 << 19); ++i) text += "0\r";
      return text;
    }();
    for (int i = 0; i < 96; ++i) values << zeros;  // 50 million registers
  }
  dir.Write("one.txt", "1");
  const struct {
    const char* descriptor;
    const char* err;
  } cases[] = {
      {"Lines\r\none.txt\r\nlines.txt\r\n", "lines.txt: Unable to insert a line.\n"},
      {"Values\r\nvalues.txt\r\none.txt\r\n", "values.txt: Not enough memory.\n"},
  };
  for (const auto& c : cases) {
    const std::string descriptor = dir.Write("oom.rm", c.descriptor);
    const Outcome outcome = RunProgram("sh -c 'ulimit -v 131072; " QUELVAR_RUN, descriptor + "'");
    EXPECT_EQ(outcome.status, 1) << c.descriptor;
    EXPECT_EQ(outcome.err, "quelvar-run: " + dir.Path() + "/" + c.err) << c.descriptor;
  }
}

// 165,191,050 rows of 13 pixels are more pixels than 32 bits count: a program of more lines than
// that must run like any other. Its first line jumps past the end, which frames the place below
// the last row.
TEST(QuelvarRun, RunsAProgramOfMoreThan165MillionLines) {
  const TempDir dir;
  dir.Write("data.txt", "7");
  constexpr int64_t kLines = 165'191'100;
  {
    std::ofstream program(dir.PathOf("prog.txt"), std::ios::binary);
    program << "J(1,1," << kLines + 1 << ")\n";
    const std::string block(1 << 20, '\n');
    int64_t left = kLines - 1;
    for (; left >= static_cast<int64_t>(block.size()); left -= block.size()) program << block;
    program << block.substr(0, left);
  }
  const Outcome outcome = RunQuelvarRun(dir.Write("huge.rm", "Huge\r\ndata.txt\r\nprog.txt\r\n"));
  EXPECT_EQ(outcome.status, 0) << outcome.err;
  EXPECT_EQ(outcome.out, "R1 -> 7\nInstruction Index is: 165191101\nLines executed: 1\n");
}

}  // namespace
}  // namespace quelvar::test
