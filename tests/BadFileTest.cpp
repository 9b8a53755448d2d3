// What students feed a teaching tool: binary files, huge files, devices, odd names. Each must be
// answered with its message or loaded, quickly, leaving the state the failure table promises and
// no file open.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <fstream>
#include <string>

#include "support/FormFixture.h"
#include "text/ProgramText.h"

namespace quelvar::test {
namespace {

using Lines = std::vector<std::string>;

// Every byte value, over and over.
std::string BinaryBytes(size_t size) {
  std::string bytes(size, '\0');
  for (size_t i = 0; i < size; ++i) bytes[i] = static_cast<char>((i * 7 + i / 256) & 0xFF);
  return bytes;
}

// Writes `count` copies of `line` without building them all in memory first.
void WriteRepeated(const std::string& path, std::string_view line, size_t count) {
  std::ofstream out(path, std::ios::binary);
  std::string block;
  for (int i = 0; i < 4096; ++i) block.append(line);
  for (size_t written = 0; written < count; written += 4096) {
    const size_t n = std::min<size_t>(4096, count - written);
    out.write(block.data(), static_cast<std::streamsize>(n * line.size()));
  }
}

size_t SplitCount(std::string_view text) {
  size_t lines = 0;
  SplitProgramText(text, [&lines](std::string_view) { ++lines; });
  return lines;
}

class BadFileTest : public FormTest {
 protected:
  // Loads a descriptor naming `data` and `program`, as written into the test's folder.
  void LoadNames(const std::string& data, const std::string& program) {
    toolkit.FileDialog().WillChoose(dir.Write("bad.rm", "Bad\r" + data + "\r" + program + "\r"));
    const int descriptors = OpenDescriptorCount();
    toolkit.ChooseMenuItem("Load1");
    EXPECT_EQ(OpenDescriptorCount(), descriptors) << "a file was left open";
  }
};

TEST_F(BadFileTest, AnswersEachBadFileWithItsMessage) {
  mkdir(dir.PathOf("folder").c_str(), 0755);
  ASSERT_EQ(mkfifo(dir.PathOf("fifo").c_str(), 0644), 0);
  dir.Write("binary.bin", BinaryBytes(100'000));
  dir.Write("good.txt", "S(1)");
  dir.Write("nul-data.txt", std::string("\0\0\x35\0\0\r\n\0", 8));
  const struct {
    const char* what;
    std::string data;
    std::string program;
    Lines errors;
    Lines registers;
  } cases[] = {
      {"binary data form", "binary.bin", "good.txt", {"Invalid numeric input."}, {}},
      {"descriptor as its own data form", "bad.rm", "good.txt", {"Invalid numeric input."}, {}},
      {"/dev/zero as data form", "/dev/zero", "good.txt", {"File access denied."}, {}},
      {"FIFO as data form", "fifo", "good.txt", {"File access denied."}, {}},
      {"folder as data form", "folder", "good.txt", {"File access denied."}, {}},
      {"/dev/zero as program",
       "nul-data.txt",
       "/dev/zero",
       {"Cannot open file /dev/zero."},
       {"R1 -> 5", "R2 -> 0"}},
      {"/dev/urandom as program",
       "nul-data.txt",
       "/dev/urandom",
       {"Cannot open file /dev/urandom."},
       {"R1 -> 5", "R2 -> 0"}},
      {"FIFO as program",
       "nul-data.txt",
       "fifo",
       {"Cannot open file fifo."},
       {"R1 -> 5", "R2 -> 0"}},
      {"folder as program",
       "nul-data.txt",
       "folder",
       {"Cannot open file folder."},
       {"R1 -> 5", "R2 -> 0"}},
      {"NUL in a name", std::string("good\0.txt", 9), "good.txt", {"Invalid filename."}, {}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    headless::HeadlessToolkit tk;
    TForm1 fresh(tk);
    tk.FileDialog().WillChoose(dir.Write("bad.rm", "Bad\r" + c.data + "\r" + c.program + "\r"));
    const int descriptors = OpenDescriptorCount();
    tk.ChooseMenuItem("Load1");
    EXPECT_EQ(OpenDescriptorCount(), descriptors) << "a file was left open";
    Lines errors;
    for (const auto& box : tk.ErrorBoxes()) errors.push_back(box.text);
    EXPECT_EQ(errors, c.errors);
    EXPECT_EQ(tk.ListNamed("List1").Lines(), c.registers);
    EXPECT_TRUE(tk.ListNamed("List2").Lines().empty());
    EXPECT_EQ(fresh.DataFileName, c.data);
  }
}

TEST_F(BadFileTest, LoadsABinaryProgramTextLineForLine) {
  const std::string bytes = BinaryBytes(100'000);
  dir.Write("binary.bin", bytes);
  dir.Write("data.txt", "1");
  LoadNames("data.txt", "binary.bin");
  EXPECT_TRUE(ErrorTexts().empty());
  EXPECT_EQ(static_cast<size_t>(List2().Count()), SplitCount(bytes));
  // And runs it: whatever the lines say, the machine neither fails nor damages the registers.
  toolkit.ChooseMenuItem("RunIt1");
  for (int i = 0; i < 1000 && form.RunFlag == 1 && form.InstrIndex > 0; ++i) toolkit.Tick();
  EXPECT_EQ(RegisterLines().size(), 1u);
}

TEST_F(BadFileTest, NamesWithSpacesAndNonUtf8BytesAreUsedAsTheyStand) {
  const std::string data = "my data \xff\xfe.txt";
  const std::string program = " prog  \x80.txt ";
  dir.Write(data, "4\r\n-2");
  dir.Write(program, "S(1)");
  LoadNames(data, program);
  EXPECT_TRUE(ErrorTexts().empty());
  EXPECT_EQ(Label("Label9"), data);
  EXPECT_EQ(RegisterLines(), (Lines{"R1 -> 4", "R2 -> -2"}));
  EXPECT_EQ(ProgramLines(), (Lines{"S(1)"}));
}

TEST_F(BadFileTest, LoadsHugeFilesWhole) {
  WriteRepeated(dir.PathOf("big-data.txt"), "-12345\r\n", 50'000'000 / 8);
  WriteRepeated(dir.PathOf("big-prog.txt"), "J(1,2,12345)\r\n", 200'000'000 / 14);
  LoadNames("big-data.txt", "big-prog.txt");
  EXPECT_TRUE(ErrorTexts().empty());
  EXPECT_EQ(form.RegCount, 50'000'000 / 8);
  EXPECT_EQ(form.Regs.back(), -12345);
  EXPECT_EQ(RegisterLines().size(), 32767u);
  EXPECT_EQ(List2().Count(), 200'000'000 / 14);
  EXPECT_EQ(form.List2->Line(List2().Count() - 1), "J(1,2,12345)");
}

TEST_F(BadFileTest, RunsAProgramOfOneTenMegabyteLine) {
  std::string line = "S(";
  line.append(10'000'000, '0');
  line += "1)";
  dir.Write("long.txt", line);
  dir.Write("data.txt", "7");
  LoadNames("data.txt", "long.txt");
  toolkit.ChooseMenuItem("RunIt1");
  EXPECT_TRUE(ErrorTexts().empty());
  EXPECT_EQ(form.List2->Line(0).size(), line.size());
  EXPECT_EQ(RegisterLines(), (Lines{"R1 -> 8"}));
  EXPECT_EQ(form.RunFlag, 0);
}

TEST_F(BadFileTest, NulBytesAreBlanksInADataFormAndEndAProgramText) {
  dir.Write("nul-data.txt", std::string("\0 7\0\0 9\r\n\0\0", 12));
  dir.Write("nul-prog.txt", std::string("S(1)\r\nS(1)\0S(1)\r\nS(1)", 21));
  LoadNames("nul-data.txt", "nul-prog.txt");
  EXPECT_TRUE(ErrorTexts().empty());
  EXPECT_EQ(RegisterLines(), (Lines{"R1 -> 7", "R2 -> 0"}));
  EXPECT_EQ(ProgramLines(), (Lines{"S(1)", "S(1)"}));
}

}  // namespace
}  // namespace quelvar::test
