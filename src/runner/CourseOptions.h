#pragma once

#include "runner/Options.h"

// Only the files that declare or check options include CLI11: every file that does builds its
// ready-made validators when the program starts.
namespace CLI {
class App;
}  // namespace CLI

namespace quelvar::runner {

// The options of the course's tools: trace tables, flow diagrams, composed programs and programs
// as numbers.
void AddCourseOptions(CLI::App& app, Options& options);
// Throws CLI::ValidationError for a combination that makes no sense.
void CheckCourseOptions(const Options& options, bool descriptorGiven);
// True when the tool needs no descriptor: --expand, --from-godel and --godel-run.
bool StandsAlone(const Options& options);
// Makes the tools' paths absolute.
void ResolveCoursePaths(Options& options);

}  // namespace quelvar::runner
