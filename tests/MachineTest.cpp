#include <gtest/gtest.h>

#include <string>

#include "support/FormFixture.h"

namespace quelvar::test {
namespace {

struct Step {
  std::string line;
  std::vector<int16_t> registers;  // R0 to R3 afterwards
  int32_t instrIndex;              // afterwards
};

// Registers R1 = 2, R2 = 2, R3 = 7; each line executes as line 4.
class MachineTest : public FormTest {
 protected:
  void SetUp() override {
    SetRegisters({2, 2, 7});
    form.InstrIndex = 4;
  }
  std::vector<int16_t> Registers() const {
    return {form.ReadReg(0), form.ReadReg(1), form.ReadReg(2), form.ReadReg(3)};
  }
};

TEST_F(MachineTest, ExecutesOneLine) {
  const std::string longLine = "S(" + std::string(5000, '0') + "2)";
  const Step steps[] = {
      {"Z(3)", {0, 2, 2, 0}, 5},
      {"S(1)", {0, 3, 2, 7}, 5},
      {"T(3,1)", {0, 7, 2, 7}, 5},
      {"J(1,2,9)", {0, 2, 2, 7}, 9},
      {"J(1,3,9)", {0, 2, 2, 7}, 5},
      {"J(1,2,0)", {0, 2, 2, 7}, 0},
      {"J(1,2,4)", {0, 2, 2, 7}, 4},
      {"J(1,2,-7)", {0, 2, 2, 7}, -7},
      {"J(1,2,2147483647)", {0, 2, 2, 7}, INT32_MAX},
      // operands: spaces before a number are skipped, anything after it ignored
      {"J(1, 2, 5)", {0, 2, 2, 7}, 5},
      {"J(1,2,5) junk", {0, 2, 2, 7}, 5},
      {"T(3 ,2)", {0, 2, 7, 7}, 5},
      {"S(1a)", {0, 3, 2, 7}, 5},
      {"S(0x3)", {0, 2, 2, 8}, 5},
      {"Z(3))))", {0, 2, 2, 0}, 5},
      // Z and S cut their operand by position, so the brackets are never looked at
      {"S[1]", {0, 3, 2, 7}, 5},
      {"S(1 ", {0, 3, 2, 7}, 5},
      // no digits: register 0, or jump target 0
      {"S(a)", {1, 2, 2, 7}, 5},
      {"S(0)", {1, 2, 2, 7}, 5},
      {"Z", {0, 2, 2, 7}, 5},
      {"S", {1, 2, 2, 7}, 5},
      {"T(x,1)", {0, 0, 2, 7}, 5},
      // a missing ',' or ')' ends the field at the end of the line
      {"T(3", {7, 2, 2, 7}, 5},
      {"T(3,1", {0, 7, 2, 7}, 5},
      {"J(1,2", {0, 2, 2, 7}, 0},
      {"J(1,2,6", {0, 2, 2, 7}, 6},
      {"J", {0, 2, 2, 7}, 0},
      // not an instruction: nothing changes and the machine stays on the line
      {"z(1)", {0, 2, 2, 7}, 4},
      {" Z(1)", {0, 2, 2, 7}, 4},
      {"N(1)", {0, 2, 2, 7}, 4},
      {"", {0, 2, 2, 7}, 4},
      // a line of any length is taken whole
      {longLine, {0, 2, 3, 7}, 5},
  };
  for (const Step& step : steps) {
    SetUp();
    form.ANalyseCommand(step.line);
    EXPECT_EQ(Registers(), step.registers) << "'" << step.line.substr(0, 20) << "'";
    EXPECT_EQ(form.InstrIndex, step.instrIndex) << "'" << step.line.substr(0, 20) << "'";
  }
}

TEST_F(MachineTest, WrapsAtSixteenBits) {
  SetRegisters({32767, -32768});
  form.ANalyseCommand("S(1)");
  EXPECT_EQ(form.ReadReg(1), -32768);
  EXPECT_EQ(RegisterLines()[0], "R1 -> -32768");
  form.ANalyseCommand("J(1,2,1)");
  EXPECT_EQ(form.InstrIndex, 1);
}

TEST_F(MachineTest, TheIndexWrapsRatherThanOverflows) {
  form.InstrIndex = INT32_MAX;
  form.ANalyseCommand("S(1)");
  EXPECT_EQ(form.InstrIndex, INT32_MIN);
}

TEST_F(MachineTest, RegistersOutsideTheDataFormAreRealButNeverShown) {
  // A scratch register beyond the data form and a negative one: they read 0 until written and
  // keep what they are given, and the loaded registers stay untouched.
  for (const char* line : {"S(9)", "S(9)", "S(-4)", "T(9,100000)", "J(9,100000,42)"}) {
    form.ANalyseCommand(line);
  }
  EXPECT_EQ(form.InstrIndex, 42);
  EXPECT_EQ(form.ReadReg(9), 2);
  EXPECT_EQ(form.ReadReg(-4), 1);
  EXPECT_EQ(form.ReadReg(100000), 2);
  EXPECT_EQ(form.ReadReg(8), 0);
  EXPECT_EQ(Registers(), (std::vector<int16_t>{0, 2, 2, 7}));
  EXPECT_EQ(form.Regs.size(), 4u);
  EXPECT_EQ(RegisterLines(), (std::vector<std::string>{"R1 -> 2", "R2 -> 2", "R3 -> 7"}));

  form.ANalyseCommand("T(9,3)");
  EXPECT_EQ(form.ReadReg(3), 2);
  EXPECT_EQ(RegisterLines()[2], "R3 -> 2");
}

TEST_F(MachineTest, RegisterZeroBeforeAnyDataFormIsAScratchRegister) {
  headless::HeadlessToolkit otherToolkit;
  TForm1 fresh(otherToolkit);
  fresh.ANalyseCommand("S(0)");
  EXPECT_EQ(fresh.ReadReg(0), 1);
  EXPECT_TRUE(fresh.Regs.empty());
}

}  // namespace
}  // namespace quelvar::test
