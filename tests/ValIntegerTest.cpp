#include <gtest/gtest.h>

#include <string>

#include "text/ValInteger.h"

namespace quelvar {
namespace {

struct Case {
  std::string text;
  int32_t value;
  bool valid;
};

TEST(ValInteger, ConvertsByItsRules) {
  const Case cases[] = {
      // decimal, spaces and signs
      {"42", 42, true},
      {"  42", 42, true},
      {"+42", 42, true},
      {"-42", -42, true},
      {"007", 7, true},
      {"0", 0, true},
      {"-0", 0, true},
      // the value left behind by an error is the magnitude read so far, without the sign
      {"-42)", 42, false},
      {"12)", 12, false},
      {"7 ", 7, false},
      {"-5)", 5, false},
      {"12a", 12, false},
      {"a12", 0, false},
      {"abc", 0, false},
      {"\t5", 0, false},
      {"42 ", 42, false},
      // nothing where the digits should be
      {"", 0, false},
      {" ", 0, false},
      {"-", 0, false},
      {"+", 0, false},
      {"- 5", 0, false},
      // hexadecimal, with no sign of its own
      {"$1F", 31, true},
      {"x1f", 31, true},
      {"X1F", 31, true},
      {"0x1F", 31, true},
      {"0X1f", 31, true},
      {"$FF", 255, true},
      {"$FFFFFFFF", -1, true},
      {"$80000000", INT32_MIN, true},
      {"$", 0, false},
      {"0x", 0, false},
      {"-$1F", 0, false},
      {"+x1", 0, false},
      {"$1G", 1, false},
      {"$123456789", 0x12345678, false},  // the ninth digit finds the value above 0FFFFFFF
      // the 32-bit edges
      {"2147483647", INT32_MAX, true},
      {"-2147483648", INT32_MIN, true},
      {"2147483648", INT32_MIN, false},
      {"2147483649", -2147483647, false},
      {"-2147483649", 2147483647, false},
      {"99999999999", 999999999, false},  // the tenth digit finds 999999999 above the bound
      {"214748365", 214748365, true},
      {"2147483650", 214748365, false},  // the last digit finds 214748365 above the bound
  };
  for (const Case& c : cases) {
    const ValResult result = ValInteger(c.text);
    EXPECT_EQ(result.value, c.value) << "'" << c.text << "'";
    EXPECT_EQ(result.errorPos == 0, c.valid) << "'" << c.text << "'";
  }
}

TEST(ValInteger, ReportsThePositionOfTheFirstUnusableCharacter) {
  EXPECT_EQ(ValInteger("").errorPos, 1);
  EXPECT_EQ(ValInteger("12a").errorPos, 3);
  EXPECT_EQ(ValInteger("a12").errorPos, 1);
  EXPECT_EQ(ValInteger("  -7x").errorPos, 5);
}

}  // namespace
}  // namespace quelvar
