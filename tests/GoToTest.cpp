// Go to line count K against K presses of Next: the same machine, displays, buttons and frame,
// for every K up to past the end, on programs that end, stall, loop, and write scratch registers.
#include <gtest/gtest.h>

#include <string>

#include "support/StepSnapshot.h"
#include "support/TempDir.h"

namespace quelvar::test {
namespace {

TEST(GoToLineCount, LeavesWhatNextPressesLeave) {
  const struct {
    const char* what;
    const char* data;
    const char* program;
    uint64_t lastK;
  } cases[] = {
      {"multiplication, to past its end", "6\r\n7\r\n",
       "J(2,4,9)\r\nZ(5)\r\nJ(1,5,7)\r\nS(3)\r\nS(5)\r\nJ(1,1,3)\r\nS(4)\r\nJ(1,1,1)\r\nT(3,1)\r\n",
       210},
      {"a jump to 0 stalls", "3\r\n", "S(1)\r\nJ(1,1,0)\r\nS(1)\r\n", 5},
      {"a jump far beyond the end", "1\r\n1\r\n", "S(2)\r\nS(1)\r\nJ(1,2,2147483647)\r\n", 5},
      {"an endless loop", "0\r\n", "S(1)\r\nJ(1,1,1)\r\n", 40},
      {"scratch registers and register 0", "0\r\n4\r\n",
       "S(9)\r\nT(9,1)\r\nS(0)\r\nJ(1,2,6)\r\nJ(9,9,1)\r\nZ(9)\r\n", 30},
      {"an empty program", "1\r\n", "", 2},
  };
  for (const auto& c : cases) {
    const TempDir dir;
    dir.Write("data.txt", c.data);
    dir.Write("prog.txt", c.program);
    const std::string descriptor = dir.Write("run.rm", "Go\r\ndata.txt\r\nprog.txt\r\n");
    for (uint64_t k = 0; k <= c.lastK; ++k) {
      const RunSnapshot next = Stepped(descriptor, k, false);
      const RunSnapshot goTo = Stepped(descriptor, k, true);
      ASSERT_EQ(goTo, next) << c.what << ", K = " << k << "\ngo to: " << goTo.Describe()
                            << "\nnext: " << next.Describe();
    }
  }
}

}  // namespace
}  // namespace quelvar::test
