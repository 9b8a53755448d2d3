// quelvar-run --trace --trace-format: a run's trace as a CSV, Markdown or TeX table.
#include <gtest/gtest.h>

#include <cstdlib>
#include <regex>
#include <string>

#include "support/RunnerProcess.h"
#include "support/TempDir.h"

namespace quelvar::test {
namespace {

constexpr const char* kAddCsv =
    "step,line,instruction,R1,R2,R3\n"
    "1,1,\"J(2,3,5)\",1,1,0\n"
    "2,2,S(1),2,1,0\n"
    "3,3,S(3),2,1,1\n"
    "4,4,\"J(1,1,1)\",2,1,1\n"
    "5,1,\"J(2,3,5)\",2,1,1\n";

TEST(TraceTable, WritesEachExecutedLineAsARow) {
  const TempDir dir;
  // Registers outside the data form become columns of their own, in order, once written; a line
  // the machine stays on is a row each time; odd texts are escaped as each format needs.
  const std::string scratch = dir.Write("scratch.txt", "S(7)\nZ(0)\nT(1,-2)\nX \"a,b\"|*_\n");
  const std::string add = "--registers 1,1,0 " + Example("add.rm");
  const struct {
    std::string arguments;
    std::string table;
  } rows[] = {
      {"--trace-format csv " + add, kAddCsv},
      {"--trace-format markdown " + add,
       "| step | line | instruction | R1 | R2 | R3 |\n"
       "| ---: | ---: | --- | ---: | ---: | ---: |\n"
       "| 1 | 1 | J(2,3,5) | 1 | 1 | 0 |\n"
       "| 2 | 2 | S(1) | 2 | 1 | 0 |\n"
       "| 3 | 3 | S(3) | 2 | 1 | 1 |\n"
       "| 4 | 4 | J(1,1,1) | 2 | 1 | 1 |\n"
       "| 5 | 1 | J(2,3,5) | 2 | 1 | 1 |\n"},
      {"--trace-format tex " + add,
       "\\documentclass{article}\n"
       "\\usepackage[a4paper,margin=15mm]{geometry}\n"
       "\\usepackage{array,longtable}\n"
       "\\begin{document}\n"
       "\\footnotesize\n"
       "\\setlength{\\tabcolsep}{3pt}\n"
       "\\begin{longtable}{rrlrrr}\n"
       "step & line & instruction & R1 & R2 & R3 \\\\\n"
       "\\hline\n"
       "\\endhead\n"
       "1 & 1 & \\texttt{J(2,3,5)} & 1 & 1 & 0 \\\\\n"
       "2 & 2 & \\texttt{S(1)} & 2 & 1 & 0 \\\\\n"
       "3 & 3 & \\texttt{S(3)} & 2 & 1 & 1 \\\\\n"
       "4 & 4 & \\texttt{J(1,1,1)} & 2 & 1 & 1 \\\\\n"
       "5 & 1 & \\texttt{J(2,3,5)} & 2 & 1 & 1 \\\\\n"
       "\\end{longtable}\n"
       "\\end{document}\n"},
      {"--trace-format csv --max-lines 5 --registers 4,5 --program " + scratch,
       "step,line,instruction,R1,R2,R-2,R0,R7\n"
       "1,1,S(7),4,5,0,0,1\n"
       "2,2,Z(0),4,5,0,0,1\n"
       "3,3,\"T(1,-2)\",4,5,4,0,1\n"
       "4,4,\"X \"\"a,b\"\"|*_\",4,5,4,0,1\n"
       "5,4,\"X \"\"a,b\"\"|*_\",4,5,4,0,1\n"},
      {"--trace-format markdown --max-lines 4 --registers 4 --program " + scratch,
       "| step | line | instruction | R1 | R-2 | R0 | R7 |\n"
       "| ---: | ---: | --- | ---: | ---: | ---: | ---: |\n"
       "| 1 | 1 | S(7) | 4 | 0 | 0 | 1 |\n"
       "| 2 | 2 | Z(0) | 4 | 0 | 0 | 1 |\n"
       "| 3 | 3 | T(1,-2) | 4 | 4 | 0 | 1 |\n"
       "| 4 | 4 | X \"a,b\"\\|\\*\\_ | 4 | 4 | 0 | 1 |\n"},
      // The row limit keeps the first rows; Markdown says how many lines there were.
      {"--trace-format csv --trace-rows 2 " + add,
       "step,line,instruction,R1,R2,R3\n1,1,\"J(2,3,5)\",1,1,0\n2,2,S(1),2,1,0\n"},
      {"--trace-format markdown --trace-rows 1 " + add,
       "| step | line | instruction | R1 | R2 | R3 |\n"
       "| ---: | ---: | --- | ---: | ---: | ---: |\n"
       "| 1 | 1 | J(2,3,5) | 1 | 1 | 0 |\n"
       "\nThe first 1 of 5 lines.\n"},
      // Without a table format the trace is the text trace, as without the option.
      {"--trace-format text " + add,
       "1: J(2,3,5)  no jump\n2: S(1)  R1 -> 2\n3: S(3)  R3 -> 1\n4: J(1,1,1)  jump to 1\n"
       "1: J(2,3,5)  jump to 5\n"},
  };
  for (const auto& row : rows) {
    const Outcome outcome = RunQuelvarRun("--trace " + row.arguments);
    EXPECT_EQ(outcome.err, row.table) << row.arguments;
    EXPECT_NE(outcome.out.find("Instruction Index is:"), std::string::npos) << row.arguments;
  }
  EXPECT_EQ(RunQuelvarRun("--trace " + add).err, rows[std::size(rows) - 1].table);
}

TEST(TraceTable, KeepsTheReportAndTheStatusOfTheRun) {
  const Outcome outcome = RunQuelvarRun("--trace --trace-format csv --format json --max-lines 3 " +
                                        Example("forever.rm"));
  EXPECT_EQ(outcome.status, 4);
  EXPECT_EQ(outcome.err, "step,line,instruction,R1\n1,1,S(1),1\n2,2,\"J(1,1,1)\",1\n3,1,S(1),2\n");
  EXPECT_NE(outcome.out.find("\"linesExecuted\":3"), std::string::npos) << outcome.out;
}

// The table of a 200-line run fits the page's width: every row has a cell a column, the header
// repeats on each page, and, where a TeX is installed, it compiles without an overfull box.
TEST(TraceTable, TheTexOfALongRunIsALongtableThatFitsThePage) {
  const TempDir dir;
  const Outcome outcome = RunQuelvarRun(
      "--trace --trace-format tex --max-lines 200 --registers 6,7,0,0,0,0,0,0,0,0,0,0 " +
      Example("multiply.rm"));
  const std::string& tex = outcome.err;
  const std::smatch spec = [&tex] {
    std::smatch match;
    std::regex_search(tex, match, std::regex(R"(\\begin\{longtable\}\{([rl]+)\})"));
    return match;
  }();
  ASSERT_FALSE(spec.empty()) << tex;
  const size_t columns = spec[1].length();
  EXPECT_EQ(columns, 15u);
  size_t rows = 0;
  for (size_t at = tex.find("\\endhead\n"); (at = tex.find('\n', at) + 1) < tex.size();) {
    const std::string line = tex.substr(at, tex.find('\n', at) - at);
    if (line.rfind("\\end{longtable}", 0) == 0) break;
    ++rows;
    EXPECT_EQ(static_cast<size_t>(std::count(line.begin(), line.end(), '&')), columns - 1) << line;
  }
  EXPECT_EQ(rows, 200u);
  EXPECT_NE(tex.find("\\scriptsize"), std::string::npos);
  EXPECT_NE(tex.find("\\end{document}"), std::string::npos);
  if (std::system("command -v pdflatex >/dev/null") != 0) return;
  dir.Write("trace.tex", tex);
  const std::string compile =
      "cd " + dir.Path() + " && pdflatex -interaction=nonstopmode trace.tex >/dev/null 2>&1";
  ASSERT_EQ(std::system(compile.c_str()), 0) << Slurp(dir.PathOf("trace.log"));
  EXPECT_EQ(Slurp(dir.PathOf("trace.log")).find("Overfull"), std::string::npos);
}

// The course's options, alone and together, with the usage status and no output.
TEST(CourseOptions, RefuseWhatMakesNoSense) {
  const std::string add = Example("add.rm");
  const std::string rows[] = {
      "--trace-format csv " + add,  // no --trace
      "--trace --trace-format pdf " + add,
      "--line-map x.map " + add,  // no --trace
      "--trace --trace-format csv --cases x.cases " + add,
      "--trace --trace-rows -1 " + add,
      "--format dot --trace " + add,
      "--format dot --check " + add,
      "--expand x.src",  // no -o
      "-o x.rm " + add,  // no --expand
      "--expand x.src -o x.rm " + add,
      "--expand x.src -o x.rm --registers 1",
      "--from-godel 12x",
      "--from-godel -1",
      "--from-godel 1 --godel-run 1",
      "--godel-run 1 --program p.txt",
      "--godel-run 1 --format dot",
      "--godel --trace " + add,
      "--godel --format json " + add,
      "--godel --cases x.cases " + add,
  };
  for (const std::string& arguments : rows) {
    const Outcome outcome = RunQuelvarRun(arguments);
    EXPECT_EQ(outcome.status, 2) << arguments;
    EXPECT_EQ(outcome.out, "") << arguments;
  }
}

}  // namespace
}  // namespace quelvar::test
