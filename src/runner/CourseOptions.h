#pragma once

#include <CLI/CLI.hpp>

#include "runner/Options.h"

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
