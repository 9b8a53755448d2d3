#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>

#include "text/InOutError.h"
#include "text/MemorySource.h"
#include "text/ProgramText.h"
#include "text/TextReader.h"

namespace quelvar {
namespace {

std::vector<std::string> DescriptorLines(const std::string& bytes) {
  MemorySource source(bytes, 3);
  TextReader reader(source);
  std::vector<std::string> lines(3);
  for (std::string& line : lines) {
    reader.ReadLine(line);
    reader.FinishLine();
  }
  return lines;
}

// CR LF, a lone CR and a lone LF each end a line, in any mix; LF CR is two line ends.
TEST(TextReader, EndsDescriptorLinesAtCRLFAndLoneCRAndLoneLF) {
  using Lines = std::vector<std::string>;
  const struct {
    std::string bytes;
    Lines lines;
  } cases[] = {
      {"Add\r\ndata.txt\r\nprog.txt\r\n", {"Add", "data.txt", "prog.txt"}},
      {"Add\rdata.txt\rprog.txt", {"Add", "data.txt", "prog.txt"}},
      {"Add\ndata.txt\nprog.txt\n", {"Add", "data.txt", "prog.txt"}},
      {"Add\ndata.txt\r\nprog.txt\r", {"Add", "data.txt", "prog.txt"}},
      {"Add\r\ndata.txt\rprog.txt\n", {"Add", "data.txt", "prog.txt"}},
      {"Add\n\rprog.txt\n", {"Add", "", "prog.txt"}},
      {"Add\n\ndata.txt\n", {"Add", "", "data.txt"}},
      {"Add\r\n\ndata.txt", {"Add", "", "data.txt"}},
      {"Add\r\n\r\nprog.txt\r\nmore\r\n", {"Add", "", "prog.txt"}},
      {" spaced name \r\n", {" spaced name ", "", ""}},
      {"A\r\nB\x1a\r\nC\r\n", {"A", "B", ""}},
      {"A\r\n\r\r\nB", {"A", "", ""}},
      {std::string("N\0l\r\nd\r\n", 8), {std::string("N\0l", 3), "d", ""}},
      {"", {"", "", ""}},
  };
  for (const auto& c : cases) EXPECT_EQ(DescriptorLines(c.bytes), c.lines) << c.bytes;
}

// The data form loop: a value, the rest of its line, and the end test after each value.
std::vector<int32_t> DataFormValues(const std::string& bytes) {
  MemorySource source(bytes, 3);
  TextReader reader(source);
  std::vector<int32_t> values;
  do {
    values.push_back(reader.ReadInteger());
    reader.FinishLine();
  } while (!reader.AtEnd());
  return values;
}

TEST(TextReader, ReadsOneValueALine) {
  using Values = std::vector<int32_t>;
  const std::string longToken = std::string(30, '0') + "12345";
  const struct {
    std::string bytes;
    Values values;
  } cases[] = {
      {"5\r\n7\r\n9\r\n", {5, 7, 9}},
      {"5\r\n7\r\n9", {5, 7, 9}},
      {"5\r\n7\r\n9\r\n\r\n", {5, 7, 9, 0}},
      {"5\r\n7\r\n9\r\n\r\n \t\r\n\r\n", {5, 7, 9, 0}},
      {"", {0}},
      {"5 7\r\n", {5}},
      {"5\n7\n9", {5, 7, 9}},
      {"5\n7\n9\n", {5, 7, 9}},
      {"5\n7\r\n9\r\n", {5, 7, 9}},
      {"5\r7\n9\r\n", {5, 7, 9}},
      {"5\n\r7\n", {5, 7}},
      {"5\n7\n9\n\n", {5, 7, 9, 0}},
      {"5 junk\n7\r\n", {5, 7}},
      {"5\n\x1a"
       "7\n",
       {5}},
      {"5\r7\r9\r", {5, 7, 9}},
      {"\r\n  \r\n\t5\r\n\r\n7", {5, 7}},
      {"+12\r\n$FF\r\n-1\r\n70000\r\n2147483647", {12, 255, -1, 70000, 2147483647}},
      {longToken + "\r\n8", {12, 8}},
      {"5\r\n\x1a"
       "7\r\n",
       {5}},
      {"5\r\n7\x1a\r\n9", {5, 7}},
  };
  for (const auto& c : cases) EXPECT_EQ(DataFormValues(c.bytes), c.values) << c.bytes;
}

TEST(TextReader, RejectsATokenThatIsNotOneWholeNumber) {
  for (const char* bytes : {"5,7", "1.5", "12abc", "#5", "2147483648",
                            "\xEF\xBB\xBF"
                            "5",
                            "$"}) {
    try {
      DataFormValues(bytes);
      ADD_FAILURE() << bytes;
    } catch (const InOutError& e) {
      EXPECT_EQ(e.code(), 106) << bytes;
      EXPECT_STREQ(e.what(), "Invalid numeric input");
    }
  }
}

// A read that fails part-way: the line being read keeps what came before the failure, and the
// lines read before it are whole.
TEST(TextReader, AFailedReadLeavesThePartOfTheLineReadSoFar) {
  class FailingSource final : public ByteSource {
   public:
    size_t Read(char* buffer, size_t size) override {
      if (served_ >= bytes_.size()) throw InOutError(5);
      const size_t n = std::min(size, bytes_.size() - served_);
      std::memcpy(buffer, bytes_.data() + served_, n);
      served_ += n;
      return n;
    }

   private:
    std::string bytes_ = "Name\r\ndata.t";
    size_t served_ = 0;
  } source;
  TextReader reader(source);
  std::string module, data = "old";
  reader.ReadLine(module);
  reader.FinishLine();
  EXPECT_THROW(reader.ReadLine(data), InOutError);
  EXPECT_EQ(module, "Name");
  EXPECT_EQ(data, "data.t");
}

std::vector<std::string> Split(std::string_view text) {
  std::vector<std::string> lines;
  SplitProgramText(text, [&lines](std::string_view line) { lines.emplace_back(line); });
  return lines;
}

TEST(ProgramText, SplitsOnCRLFAndLoneCRAndLoneLF) {
  using Lines = std::vector<std::string>;
  const Lines two{"Z(1)", "S(1)"};
  const struct {
    std::string text;
    Lines lines;
  } cases[] = {
      {"Z(1)\r\nS(1)\r\n", two},
      {"Z(1)\nS(1)\n", two},
      {"Z(1)\rS(1)\r", two},
      {"Z(1)\r\nS(1)", two},
      {"Z(1)\r\n\r\nS(1)", {"Z(1)", "", "S(1)"}},
      {"Z(1)\n\rS(1)", {"Z(1)", "", "S(1)"}},
      {std::string("Z(1)\r\n\0S(1)\r\n", 12), {"Z(1)"}},
      {"Z(1)\x1aS(1)", {"Z(1)\x1aS(1)"}},
      {"\xEF\xBB\xBFZ(1)", {"\xEF\xBB\xBFZ(1)"}},
      {"", {}},
      {"\r\n", {""}},
      {"\n\n", {"", ""}},
      {"  S(1) \t", {"  S(1) \t"}},
  };
  for (const auto& c : cases) EXPECT_EQ(Split(c.text), c.lines) << c.text;
}

}  // namespace
}  // namespace quelvar
