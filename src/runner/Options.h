#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "runner/Output.h"

namespace quelvar::runner {

inline constexpr uint64_t kDefaultMaxLines = 100'000'000;
inline constexpr int kUsageStatus = 2;
inline constexpr int kCaseFailedStatus = 5;

enum class Format { kText, kJson, kDot, kGradescope, kPrairieLearn, kJunit, kTap };
enum class TraceFormat { kText, kCsv, kMarkdown, kTex };
inline constexpr uint64_t kDefaultTraceRows = 1000;

// quelvar-run's command line. Every path is made absolute while parsing, since loading a
// descriptor moves the working directory into its folder (see AbsolutePath for a working folder
// that was removed).
struct Options {
  std::string descriptor;         // empty when --program stands alone
  std::string descriptorAsGiven;  // for messages that name it
  // Every descriptor or folder given, for grading many submissions.
  std::vector<std::string> submissions;
  std::optional<std::string> registers;  // --registers V1,V2,...
  std::optional<std::string> program;    // --program PROGRAM.txt
  std::string programAsGiven;
  std::optional<std::string> cases;  // --cases FILE
  std::string casesAsGiven;
  std::optional<std::string> reference;  // --reference MODEL.rm
  std::string referenceAsGiven;
  std::optional<std::string> inputs;  // --inputs GRID
  bool summaryCsv = false;            // --summary csv
  uint64_t maxLines = kDefaultMaxLines;
  std::optional<double> timeout;  // --timeout SECONDS of CPU time a run
  bool trace = false;
  bool check = false;
  Format format = Format::kText;
  // The course's tools: trace tables, composed programs and programs as numbers.
  TraceFormat traceFormat = TraceFormat::kText;
  uint64_t traceRows = kDefaultTraceRows;
  std::optional<std::string> lineMap;  // --line-map NAME.map
  std::optional<std::string> expand;   // --expand SOURCE
  std::string output;                  // -o NAME.rm
  bool godel = false;
  std::optional<std::string> fromGodel;  // --from-godel N
  std::optional<std::string> godelRun;   // --godel-run N

  friend bool operator==(const Options&, const Options&) = default;
};

// The options, or the status to exit with after help, the version or a usage error has been
// printed.
struct Parsed {
  std::optional<Options> options;
  int status = 0;
};

Parsed ParseOptions(int argc, char** argv, Output& out, Output& err);

}  // namespace quelvar::runner
