// Programs as numbers: the codings, their round trips, their bounds, and quelvar-run's --godel,
// --from-godel and --godel-run.
#include "runner/Godel.h"

#include <gmpxx.h>
#include <gtest/gtest.h>

#include <limits>
#include <random>
#include <string>

#include "support/RunnerProcess.h"
#include "support/TempDir.h"
#include "text/ProgramLine.h"

namespace quelvar::test {
namespace {

using godel::Beta;
using godel::DecodeGamma;
using godel::Gamma;
using Op = ProgramLine::Op;

// Numbers are checked against GMP's own C++ class, linked here as usual.
class GodelNumbers : public testing::Test {
 protected:
  godel::Number Of(int64_t value) const { return gmp_.Of(value); }
  godel::Number Of(const mpz_class& value) const { return gmp_.FromDecimal(value.get_str()); }
  std::string BetaOf(const ProgramLine& line) const { return Beta(gmp_, line).Decimal(); }
  godel::Number GammaOf(const std::vector<ProgramLine>& program) const {
    std::vector<godel::Number> betas;
    for (const ProgramLine& line : program) betas.push_back(Beta(gmp_, line));
    return Gamma(gmp_, betas);
  }
  std::vector<ProgramLine> Decoded(int64_t gamma) const { return DecodeGamma(Of(gamma)); }

  const godel::Gmp gmp_;
};

std::string Text(const std::vector<ProgramLine>& program) {
  std::string text;
  for (const ProgramLine& line : program) text += godel::LineText(line) + " ";
  return text;
}

// Worked by hand from the definitions.
TEST_F(GodelNumbers, GivesTheWorkedValues) {
  // pi(m,n) = 2^m (2n+1) - 1
  EXPECT_EQ(godel::Pi(Of(0), Of(0)).Decimal(), "0");
  EXPECT_EQ(godel::Pi(Of(1), Of(2)).Decimal(), "9");     // 2 * 5 - 1
  EXPECT_EQ(godel::Pi(Of(3), Of(1)).Decimal(), "23");    // 8 * 3 - 1
  EXPECT_EQ(godel::Pi(Of(9), Of(4)).Decimal(), "4607");  // 512 * 9 - 1
  const struct {
    ProgramLine line;
    int beta;
  } betas[] = {
      {{Op::kZero, 0, 1, 0}, 0},          // 4 * 0
      {{Op::kSuccessor, 0, 1, 0}, 1},     // 4 * 0 + 1
      {{Op::kZero, 0, 3, 0}, 8},          // 4 * 2
      {{Op::kSuccessor, 0, 3, 0}, 9},     // 4 * 2 + 1
      {{Op::kTransfer, 1, 1, 0}, 2},      // 4 pi(0,0) + 2
      {{Op::kTransfer, 2, 3, 0}, 38},     // 4 pi(1,2) + 2 = 4 * 9 + 2
      {{Op::kJump, 1, 1, 1}, 3},          // 4 pi(pi(0,0),0) + 3
      {{Op::kJump, 1, 1, 2}, 11},         // 4 pi(0,1) + 3 = 4 * 2 + 3
      {{Op::kJump, 2, 3, 5}, 18431},      // 4 pi(9,4) + 3 = 4 * 4607 + 3
      {{Op::kJump, 1, 2, 1}, 4 * 3 + 3},  // pi(0,1) = 2, pi(2,0) = 3
  };
  for (const auto& row : betas) {
    EXPECT_EQ(BetaOf(row.line), std::to_string(row.beta)) << godel::LineText(row.line);
    EXPECT_EQ(godel::DecodeBeta(row.beta), row.line) << row.beta;
  }
  // Operands a line does not use play no part, whatever they hold.
  constexpr int32_t kLeast = std::numeric_limits<int32_t>::min();
  EXPECT_EQ(BetaOf({Op::kZero, kLeast, 1, kLeast}), "0");
  EXPECT_EQ(BetaOf({Op::kTransfer, 2, 3, kLeast}), "38");
  const struct {
    std::vector<ProgramLine> program;
    int gamma;
  } gammas[] = {
      {{{Op::kZero, 0, 1, 0}}, 0},                                  // 2^0 - 1
      {{{Op::kSuccessor, 0, 1, 0}}, 1},                             // 2^1 - 1
      {{{Op::kTransfer, 1, 1, 0}}, 3},                              // 2^2 - 1
      {{{Op::kZero, 0, 1, 0}, {Op::kSuccessor, 0, 1, 0}}, 4},       // 2^0 + 2^(0+1+1) - 1
      {{{Op::kSuccessor, 0, 1, 0}, {Op::kZero, 0, 1, 0}}, 5},       // 2^1 + 2^(1+0+1) - 1
      {{{Op::kSuccessor, 0, 1, 0}, {Op::kSuccessor, 0, 1, 0}}, 9},  // 2^1 + 2^(1+1+1) - 1
      {{{Op::kZero, 0, 1, 0}, {Op::kZero, 0, 1, 0}, {Op::kZero, 0, 1, 0}}, 6},  // 1 + 2 + 4 - 1
      {{{Op::kZero, 0, 2, 0}, {Op::kJump, 1, 1, 1}}, 271},  // 2^4 + 2^(4+3+1) - 1
  };
  for (const auto& row : gammas) {
    EXPECT_EQ(GammaOf(row.program).Decimal(), std::to_string(row.gamma)) << Text(row.program);
    EXPECT_EQ(Text(Decoded(row.gamma)), Text(row.program)) << row.gamma;
  }
}

TEST_F(GodelNumbers, DecodesAndEncodesEveryNumberBackToItself) {
  for (int n = 0; n <= 5000; ++n) {
    ASSERT_TRUE(GammaOf(Decoded(n)) == n) << Text(Decoded(n));
  }
}

TEST_F(GodelNumbers, EncodesAndDecodesRandomProgramsBackToThemselves) {
  std::mt19937 random(23);
  const auto operand = [&random](int top) { return std::uniform_int_distribution(1, top)(random); };
  // Operands small enough for the program's number to stay within the bound.
  for (int round = 0; round < 2000; ++round) {
    std::vector<ProgramLine> program;
    for (int k = operand(12); k > 0; --k) {
      switch (operand(4)) {
        case 1:
          program.push_back({Op::kZero, 0, operand(200), 0});
          break;
        case 2:
          program.push_back({Op::kSuccessor, 0, operand(200), 0});
          break;
        case 3:
          program.push_back({Op::kTransfer, operand(6), operand(100), 0});
          break;
        default:
          program.push_back({Op::kJump, operand(2), operand(3), operand(40)});
      }
    }
    ASSERT_EQ(Text(DecodeGamma(GammaOf(program))), Text(program));
  }
}

// Numbers beyond 2^kMaxBits are refused before they are built: a J with large operands, a long
// program of large lines, and a number too long to decode.
TEST_F(GodelNumbers, RefusesNumbersTooLargeToBuild) {
  EXPECT_THROW(BetaOf({Op::kJump, 64, 1, 1}), godel::GodelError);
  EXPECT_THROW(BetaOf({Op::kJump, 2147483647, 2147483647, 2147483647}), godel::GodelError);
  EXPECT_THROW(BetaOf({Op::kTransfer, 2147483647, 1, 0}), godel::GodelError);
  EXPECT_THROW(Gamma(gmp_, {Of(godel::kMaxBits)}), godel::GodelError);
  EXPECT_THROW(Gamma(gmp_, std::vector(2, Of(godel::kMaxBits / 2))), godel::GodelError);
  EXPECT_THROW(DecodeGamma(Of(mpz_class(1) << godel::kMaxBits)), godel::GodelError);
  EXPECT_THROW(DecodeGamma(Of(-1)), godel::GodelError);
  // The largest numbers within the bound: one line whose beta is kMaxBits - 1, and back.
  const mpz_class largest = (mpz_class(1) << (godel::kMaxBits - 1)) - 1;
  EXPECT_EQ(Text(DecodeGamma(Of(largest))), "J(1,11,1) ");
  EXPECT_TRUE(GammaOf({{Op::kJump, 1, 11, 1}}) == Of(largest));
  // T(21,1): beta 4 pi(20,0) + 2 = 4194302; gamma 2^beta - 1 has 1.26 million digits.
  EXPECT_TRUE(GammaOf({{Op::kTransfer, 21, 1, 0}}) == Of((mpz_class(1) << 4194302) - 1));
}

// Numbers copied, moved and assigned keep their values; a copy leaves its source as it was, and a
// Number moved from is 0.
TEST_F(GodelNumbers, NumbersCopyMoveAndAssign) {
  const godel::Number big = gmp_.FromDecimal("98765432109876543210987654321");
  godel::Number copy = big;
  godel::Number moved = std::move(copy);
  EXPECT_EQ(moved.Decimal(), "98765432109876543210987654321");
  EXPECT_EQ(copy.Decimal(), "0");
  copy = moved + 1;
  moved = Of(-7);
  EXPECT_EQ(copy.Decimal(), "98765432109876543210987654322");
  EXPECT_EQ(moved.Decimal(), "-7");
  godel::Number& same = moved;
  moved = same;
  EXPECT_EQ(moved.Decimal(), "-7");
  EXPECT_EQ(big.Decimal(), "98765432109876543210987654321");
  EXPECT_EQ((3 * big - 5).Decimal(), mpz_class(mpz_class(big.Decimal()) * 3 - 5).get_str());
}

// A library that cannot be loaded is an error that names it.
TEST(GodelLibrary, AMissingLibraryIsAnErrorThatNamesIt) {
  try {
    const godel::Gmp gmp("libquelvar-no-such-gmp.so.10");
    FAIL() << "loaded a library that does not exist";
  } catch (const godel::GodelError& failure) {
    EXPECT_NE(std::string(failure.what())
                  .find("programs' numbers need the GMP library: "
                        "libquelvar-no-such-gmp.so.10"),
              std::string::npos)
        << failure.what();
  }
}

// quelvar-run loads GMP's library only for programs' numbers: no other run waits for it to be
// loaded and linked at start-up.
TEST(GodelLibrary, QuelvarRunDoesNotNeedItToStart) {
  const Outcome needed = RunProgram("readelf", std::string("--dynamic ") + QUELVAR_RUN);
  ASSERT_EQ(needed.status, 0) << needed.err;
  ASSERT_NE(needed.out.find("(NEEDED)"), std::string::npos) << needed.out;
  EXPECT_EQ(needed.out.find("libgmp"), std::string::npos) << needed.out;
}

TEST(Godel, QuelvarRunPrintsTheNumbersOfAProgram) {
  const Outcome outcome = RunQuelvarRun("--godel " + Example("add.rm"));
  EXPECT_EQ(outcome.status, 0) << outcome.err;
  const std::string first = outcome.out.substr(0, outcome.out.find('\n'));
  // gamma = 2^18431 + 2^(18431+1+1) + 2^(18433+9+1) + 2^(18443+3+1) - 1
  mpz_class gamma = -1;
  for (const unsigned e : {18431u, 18433u, 18443u, 18447u}) gamma += mpz_class(1) << e;
  EXPECT_EQ(first, gamma.get_str());
  EXPECT_EQ(outcome.out.substr(first.size() + 1),
            "1: J(2,3,5)  18431\n2: S(1)  1\n3: S(3)  9\n4: J(1,1,1)  3\n");
}

TEST(Godel, QuelvarRunWritesAndRunsTheProgramOfANumber) {
  const Outcome text = RunQuelvarRun("--from-godel 271");
  EXPECT_EQ(text.status, 0);
  EXPECT_EQ(text.out, "Z(2)\r\nJ(1,1,1)\r\n");
  // 2^1 + 2^3 + 2^5 - 1: S(1) three times.
  const Outcome run = RunQuelvarRun("--godel-run 41 --registers 4,5");
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.out, "R1 -> 7\nR2 -> 5\nInstruction Index is: 4\nLines executed: 3\n");
  // And back: the number of what --from-godel wrote is the number given.
  const TempDir dir;
  const std::string n = "98765432109876543210";
  const std::string file = dir.PathOf("program.txt");
  ASSERT_EQ(RunQuelvarRun("--from-godel " + n, ">" + file).status, 0);
  const Outcome back = RunQuelvarRun("--godel --program " + file);
  EXPECT_EQ(back.out.substr(0, back.out.find('\n')), n);
}

TEST(Godel, QuelvarRunSaysWhichLineHasNoNumber) {
  const TempDir dir;
  const struct {
    const char* program;
    const char* err;
  } rows[] = {
      {"S(1)\nZ(0)\n",
       "prog.txt:2: Z(0): no number: only Z, S, T and J with operands of 1 or more "
       "have one; the machine reads this line as Z(0)\n"},
      {"s(1)\n",
       "prog.txt:1: s(1): no number: only Z, S, T and J with operands of 1 or more have "
       "one; the machine reads this line as nothing\n"},
      {"J(3,1,0)\n",
       "prog.txt:1: J(3,1,0): no number: only Z, S, T and J with operands of 1 or "
       "more have one; the machine reads this line as J(3,1,0)\n"},
      {"S(1)\nJ(99,1,1)\n",
       "prog.txt:2: J(99,1,1): no number within reach: it needs "
       "2^316912650057057350374175801343, a number of more than 4194304 "
       "binary digits\n"},
      {"T(21,1)\nT(21,1)\n",
       "prog.txt: the program's number is out of reach: it needs "
       "2^8388605, a number of more than 4194304 binary digits\n"},
      {"", "prog.txt: an empty program has no number\n"},
  };
  for (const auto& row : rows) {
    dir.Write("prog.txt", row.program);
    const Outcome outcome = RunQuelvarRun("--godel --program " + dir.PathOf("prog.txt"));
    EXPECT_EQ(outcome.status, 1) << row.program;
    EXPECT_EQ(outcome.out, "") << row.program;
    EXPECT_EQ(outcome.err, dir.Path() + "/" + row.err) << row.program;
  }
}

// Past 10,000 digits the number is also given by its length and its exponents.
TEST(Godel, QuelvarRunGivesALongNumberInAFormToRead) {
  const TempDir dir;
  const Outcome outcome =
      RunQuelvarRun("--godel --program " + dir.Write("prog.txt", "T(12,3)\r\nS(1)\r\n"));
  ASSERT_EQ(outcome.status, 0) << outcome.err;
  // beta(T(12,3)) = 4 pi(11,2) + 2 = 4 (2048 * 5 - 1) + 2 = 40958
  const std::string second = outcome.out.substr(outcome.out.find('\n') + 1);
  EXPECT_EQ(second,
            "12331 decimal digits, 40961 binary digits: 2^40958 + 2^40960 - 1\n"
            "1: T(12,3)  40958\n2: S(1)  1\n");
}

}  // namespace
}  // namespace quelvar::test
