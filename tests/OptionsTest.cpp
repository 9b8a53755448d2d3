// quelvar-run's command line: a lone descriptor, taken without the option table, means what the
// table makes of it.
#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "runner/Options.h"

namespace quelvar::runner {
namespace {

struct Result {
  Parsed parsed;
  std::string out, err;
};

Result Parse(std::vector<std::string> arguments) {
  arguments.insert(arguments.begin(), "quelvar-run");
  std::vector<char*> argv;
  for (std::string& argument : arguments) argv.push_back(argument.data());
  argv.push_back(nullptr);
  std::ostringstream out, err;
  Output outText(out), errText(err);
  Parsed parsed = ParseOptions(static_cast<int>(arguments.size()), argv.data(), outText, errText);
  return {std::move(parsed), out.str(), err.str()};
}

// Whatever the lone name, the outcome is the table's after "--", which always goes through it: the
// same options, or the same status and message (a folder, graded without cases). Names in brackets
// are the table's to read: it takes "[a,b]" as a list of two.
TEST(Options, ALoneDescriptorMeansWhatTheOptionTableMakesOfIt) {
  const char* const names[] = {
      "add.rm",
      "examples/add.rm",
      "/abs/add.rm",
      "../up/./add.rm",
      "with space.rm",
      "caf\xe9.rm",
      "x\ry.rm",
      "x\ny.rm",
      "a=b",
      "@list",
      "+plus",
      "folder/",
      " lead",
      "trail ",
      "x--y",
      "=",
      "[",
      "]",
      "x[y]",
      "[y]x",
      "[o]",
      "{}",
      "%%",
      "[[x]]",
      "[a,b]",
      "/",
      ".",
  };
  for (const char* name : names) {
    const Result lone = Parse({name});
    const Result table = Parse({"--", name});
    EXPECT_TRUE(lone.parsed.options == table.parsed.options) << name;
    EXPECT_EQ(lone.parsed.status, table.parsed.status) << name;
    EXPECT_EQ(lone.out + lone.err, table.out + table.err) << name;
  }
  EXPECT_EQ(Parse({"with space.rm"}).parsed.options->descriptorAsGiven, "with space.rm");
}

// A lone argument that starts with '-', or one the checks refuse, is reported as before.
TEST(Options, ALoneArgumentTheChecksRefuseIsReportedByTheTable) {
  const Result version = Parse({"--version"});
  EXPECT_FALSE(version.parsed.options);
  EXPECT_EQ(version.parsed.status, 0);
  EXPECT_EQ(version.out.rfind("quelvar-run ", 0), 0u) << version.out;

  const Result unknown = Parse({"-x"});
  EXPECT_FALSE(unknown.parsed.options);
  EXPECT_EQ(unknown.parsed.status, kUsageStatus);
  EXPECT_NE(unknown.err.find("usage: quelvar-run"), std::string::npos) << unknown.err;

  const Result folder = Parse({"/"});
  EXPECT_FALSE(folder.parsed.options);
  EXPECT_EQ(folder.parsed.status, kUsageStatus);
  EXPECT_NE(folder.err.find("a folder are graded: give --cases"), std::string::npos) << folder.err;

  const Result empty = Parse({""});
  EXPECT_FALSE(empty.parsed.options);
  EXPECT_EQ(empty.parsed.status, kUsageStatus);
  EXPECT_NE(empty.err.find("the descriptor's name is empty"), std::string::npos) << empty.err;
}

}  // namespace
}  // namespace quelvar::runner
