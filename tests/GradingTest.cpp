// quelvar-run grading a course: a model answer over a grid of data forms, and many submissions
// with their summary, as text and as CSV.
#include <gtest/gtest.h>

#include <filesystem>
#include <nlohmann/json.hpp>
#include <sstream>
#include <string>
#include <vector>

#include "support/RunnerProcess.h"
#include "support/TempDir.h"

namespace quelvar::test {
namespace {

std::string Grading(const std::string& name) {
  return Example("grading/" + name);
}

// A descriptor "NAME/add.rm" in `dir` over the addition's data form and `program`.
std::string Submission(const TempDir& dir, const std::string& name, const std::string& program) {
  std::filesystem::create_directories(dir.PathOf(name));
  dir.Write(name + "/data.txt", "0\r\n");
  dir.Write(name + "/prog.txt", program);
  return dir.Write(name + "/add.rm", "Add\r\ndata.txt\r\nprog.txt\r\n");
}

// The model and the student run on every data form of the grid; the first that differs is named.
TEST(Reference, ComparesWithTheModelOnEveryDataForm) {
  const TempDir dir;
  const std::string model = Grading("model/add.rm");
  const struct {
    const char* program;
    const char* grid;
    int status;
    const char* out;
  } cases[] = {
      {"J(2,3,5)\r\nS(1)\r\nS(3)\r\nJ(1,1,1)\r\n", "0..6,0..6,0", 0,
       "49/49 data forms agree with the model\n"},
      // Its last line jumps back into the loop: it never halts.
      {"J(2,3,5)\r\nS(3)\r\nS(1)\r\nJ(2,3,5)\r\nJ(1,1,2)\r\n", "0..2,0/5,0", 5,
       "first difference: 0,0,0 => stopped at the line limit of 1000 lines; R1 is 250, expected 0 "
       "(the model's)\n0/6 data forms agree with the model\n"},
      // A stall where the model ends.
      {"J(2,3,0)\r\nS(1)\r\nS(3)\r\nJ(1,1,1)\r\n", "1,2/0,0", 5,
       "first difference: 1,2,0 => the program stalled: a jump to line 0; R1 is 3, expected 3 (the "
       "model's)\n0/2 data forms agree with the model\n"},
      // One that never halts where the model ends.
      {"J(2,3,5)\r\nS(1)\r\nS(3)\r\nJ(1,1,2)\r\n", "3,4,0", 5,
       "first difference: 3,4,0 => stopped at the line limit of 1000 lines; R1 is 336, expected 7 "
       "(the model's)\n"
       "0/1 data forms agree with the model\n"},
  };
  for (const auto& c : cases) {
    const std::string student = Submission(dir, "s", c.program);
    const Outcome outcome = RunQuelvarRun("--max-lines 1000 --reference " + model + " --inputs " +
                                          c.grid + " " + student);
    EXPECT_EQ(outcome.status, c.status) << c.program << outcome.err;
    EXPECT_EQ(outcome.out.substr(0, std::string(c.out).size()), c.out) << c.program;
  }
}

// With no cases file beside the model, R1 alone is compared; the outcome always is.
TEST(Reference, ComparesROneWithoutTheModelsCases) {
  const TempDir dir;
  const std::string model = Submission(dir, "model", "J(2,3,5)\r\nS(1)\r\nS(3)\r\nJ(1,1,1)\r\n");
  // The same sum, R3 left at 0.
  const std::string student =
      Submission(dir, "s", "J(2,3,6)\r\nS(1)\r\nS(3)\r\nJ(1,1,1)\r\nZ(3)\r\nJ(1,1,7)\r\nZ(3)\r\n");
  const Outcome same = RunQuelvarRun("--reference " + model + " --inputs 0..3,0..3,0 " + student);
  EXPECT_EQ(same.status, 0) << same.out;
  dir.Write("model/add.cases", "1,1,0 => R1=2 R3=1\n");
  const Outcome named =
      RunQuelvarRun("--reference " + model + " --inputs 0..3,0..3,0 --format json " + student);
  EXPECT_EQ(named.status, 5);
  const nlohmann::json document = nlohmann::json::parse(named.out);
  EXPECT_EQ(document["total"], 16);
  EXPECT_EQ(document["passed"], 4);  // R2 = 0: R3 is 0 in both
  EXPECT_EQ(document["cases"][1]["inputs"], nlohmann::json::parse("[0, 1, 0]"));
  EXPECT_EQ(document["cases"][1]["expected"], nlohmann::json::parse(R"({"R1": 1, "R3": 1})"));
  EXPECT_EQ(document["cases"][1]["got"], nlohmann::json::parse(R"({"R1": 1, "R3": 0})"));
}

TEST(Reference, AModelThatCannotRunStopsTheGrading) {
  const TempDir dir;
  const std::string student = Submission(dir, "s", "S(1)\r\n");
  const Outcome missing =
      RunQuelvarRun("--reference " + dir.PathOf("none.rm") + " --inputs 1 " + student);
  EXPECT_EQ(missing.status, 1);
  EXPECT_EQ(missing.err, "quelvar-run: " + dir.PathOf("none.rm") + ": File not found.\n");
  EXPECT_EQ(missing.out, "");
}

std::vector<std::vector<std::string>> ParseCsv(const std::string& text) {
  std::vector<std::vector<std::string>> rows;
  std::vector<std::string> row;
  std::string field;
  bool quoted = false;
  for (size_t k = 0; k < text.size(); ++k) {
    const char c = text[k];
    if (quoted) {
      if (c == '"' && k + 1 < text.size() && text[k + 1] == '"') {
        field += '"';
        ++k;
      } else if (c == '"') {
        quoted = false;
      } else {
        field += c;
      }
    } else if (c == '"') {
      quoted = true;
    } else if (c == ',') {
      row.push_back(field);
      field.clear();
    } else if (c == '\n') {
      row.push_back(field);
      rows.push_back(row);
      row.clear();
      field.clear();
    } else {
      field += c;
    }
  }
  return rows;
}

// The walk-through's three submissions, given one by one or as their folder: a row each, in the
// order given, and the same rows as CSV.
TEST(Submissions, SummarisesEachAsARowAndAsCsv) {
  const std::string cases = Grading("add.cases");
  const std::string alice = Grading("submissions/alice/add.rm");
  const std::string bob = Grading("submissions/bob/add.rm");
  const std::string carol = Grading("submissions/carol/add.rm");
  const std::string missing = Grading("submissions/none.rm");
  const std::string limit = "--max-lines 1000 --cases " + cases + " ";
  const Outcome table = RunQuelvarRun(limit + alice + " " + bob + " " + carol + " " + missing);
  EXPECT_EQ(table.status, 5);
  std::istringstream lines(table.out);
  std::vector<std::string> rows;
  for (std::string line; std::getline(lines, line);) rows.push_back(line);
  ASSERT_EQ(rows.size(), 6u) << table.out;
  EXPECT_EQ(rows[0].substr(0, rows[0].find("  ")), "submission");
  EXPECT_NE(rows[1].find("5/5     9/9     277"), std::string::npos) << rows[1];
  EXPECT_NE(rows[2].find("1/5     1/9     277    small: 3,4,0 => R1 is 3, expected 7"),
            std::string::npos)
      << rows[2];
  EXPECT_NE(rows[3].find("small: 3,4,0 => stopped at the line limit of 1000 lines"),
            std::string::npos)
      << rows[3];
  EXPECT_NE(rows[4].find("quelvar-run: " + missing + ": File not found."), std::string::npos);
  EXPECT_EQ(rows[5], "1/4 submissions pass every case");

  const Outcome csv = RunQuelvarRun(limit + "--summary csv " + Grading("submissions"));
  EXPECT_EQ(csv.status, 5);
  const std::vector<std::vector<std::string>> parsed = ParseCsv(csv.out);
  const std::vector<std::vector<std::string>> expected = {
      {"submission", "passed", "total", "points", "max_points", "lines_executed", "first_failure"},
      {alice, "5", "5", "9", "9", "277", ""},
      {bob, "1", "5", "1", "9", "277", "small: 3,4,0 => R1 is 3, expected 7"},
      {carol, "1", "5", "1", "9", "4001",
       "small: 3,4,0 => stopped at the line limit of 1000 lines; R1 is 336, expected 7"},
  };
  EXPECT_EQ(parsed, expected) << csv.out;
}

// Many submissions in one JSON document: each one's grading, then the summary.
TEST(Submissions, GivesOneJsonDocumentForThemAll) {
  const Outcome outcome = RunQuelvarRun("--max-lines 1000 --format json --cases " +
                                        Grading("add.cases") + " " + Grading("submissions"));
  EXPECT_EQ(outcome.status, 5);
  const nlohmann::json document = nlohmann::json::parse(outcome.out);
  ASSERT_EQ(document["submissions"].size(), 3u);
  EXPECT_EQ(document["submissions"][1]["descriptor"], Grading("submissions/bob/add.rm"));
  EXPECT_EQ(document["submissions"][1]["cases"][0]["got"], nlohmann::json::parse(R"({"R1": 3})"));
  EXPECT_EQ(document["summary"][0]["passed"], 5);
  EXPECT_EQ(document["summary"][2]["submission"], Grading("submissions/carol/add.rm"));
}

}  // namespace
}  // namespace quelvar::test
