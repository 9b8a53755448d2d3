// quelvar-run's output: text and numbers written straight to a descriptor, and a std::ostream made
// over it for the writers that need one, come out in the order they were written, with the same
// bytes as over any std::ostream.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <fstream>
#include <functional>
#include <iomanip>
#include <iterator>
#include <limits>
#include <sstream>
#include <string>
#include <vector>

#include "runner/FdOutput.h"
#include "runner/Output.h"
#include "support/TempDir.h"

namespace quelvar::runner {
namespace {

// What std::ostream prints as a number, a truth value or a character would print otherwise here:
// such values do not compile.
template <typename T>
concept Printable = requires(Output& out, T value) {
  out << value;
};
static_assert(Printable<char> && Printable<int> && Printable<uint64_t> && Printable<int16_t>);
static_assert(!Printable<bool> && !Printable<double> && !Printable<uint8_t> && !Printable<int8_t> &&
              !Printable<wchar_t> && !Printable<char32_t>);
enum Plain { kPlain = 66 };
static_assert(!Printable<Plain>);

using Step = std::function<void(Output&)>;

const std::string kLong(70'000, 'x');  // more than a buffer holds

struct Row {
  const char* name;
  std::vector<Step> steps;
  std::string expected;
};

std::vector<Row> Rows() {
  return {
      {"text and characters",
       {[](Output& o) { o << "a" << std::string("bc") << 'd' << '\n'; }},
       "abcd\n"},
      {"whole numbers",
       {[](Output& o) {
         o << std::numeric_limits<int64_t>::min() << ' ' << std::numeric_limits<uint64_t>::max()
           << ' ' << int32_t{-32768} << ' ' << uint16_t{0};
       }},
       "-9223372036854775808 18446744073709551615 -32768 0"},
      {"straight, then the stream, then straight",
       {[](Output& o) { o << "one "; },
        [](Output& o) { o.Stream() << std::setw(4) << 2 << ' ' << 2.5; },
        [](Output& o) { o << " three" << 3; }},
       "one    2 2.5 three3"},
      {"flushed between",
       {[](Output& o) { o << "a"; }, [](Output& o) { o.Flush(); },
        [](Output& o) { o.Stream() << "b"; }, [](Output& o) { o.Flush(); },
        [](Output& o) { o << "c"; }},
       "abc"},
      {"long text both ways",
       {[](Output& o) { o << "<" << kLong; }, [](Output& o) { o.Stream() << kLong << ">"; },
        [](Output& o) { o << kLong; }},
       "<" + kLong + kLong + ">" + kLong},
      {"many small writes through the stream",
       {[](Output& o) {
         for (int k = 0; k < 20'000; ++k) o.Stream() << k % 10;
         o << "|";
       }},
       [] {
         std::string digits;
         for (int k = 0; k < 20'000; ++k) digits += static_cast<char>('0' + k % 10);
         return digits + "|";
       }()},
  };
}

std::string ReadAll(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

TEST(Output, KeepsTheOrderOfEverythingWrittenToADescriptor) {
  for (const Row& row : Rows()) {
    test::TempDir dir;
    const std::string path = dir.PathOf("out");
    FdOutput file(open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600));
    {
      Output out(file);
      for (const Step& step : row.steps) step(out);
    }
    ASSERT_TRUE(file.Close()) << row.name;
    EXPECT_EQ(ReadAll(path), row.expected) << row.name;
  }
}

TEST(Output, WritesTheSameBytesToAnyStream) {
  for (const Row& row : Rows()) {
    std::ostringstream stream;
    Output out(stream);
    for (const Step& step : row.steps) step(out);
    EXPECT_EQ(stream.str(), row.expected) << row.name;
  }
}

// A write that fails is remembered, whichever way it was made, and nothing more is written.
TEST(Output, RemembersAFailedWrite) {
  const std::vector<Step> ways = {
      [](Output& o) { o << "text"; },
      [](Output& o) { o << kLong; },
      [](Output& o) { o.Stream() << "text" << 12; },
      [](Output& o) { o.Stream() << kLong; },
  };
  for (size_t k = 0; k < ways.size(); ++k) {
    FdOutput file(open("/dev/full", O_WRONLY | O_CLOEXEC));
    {
      Output out(file);
      ways[k](out);
      out.Flush();
      out << "more";
    }
    EXPECT_FALSE(file.Close()) << k;
    EXPECT_EQ(file.Error(), ENOSPC) << k;
  }
}

}  // namespace
}  // namespace quelvar::runner
