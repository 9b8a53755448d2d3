#pragma once

#include "runner/Modes.h"
#include "runner/Options.h"

namespace quelvar::runner {

// --cases or --reference: grades the submission given, or each of several (or of a folder) in
// child processes, as many at a time as there are cores, and prints a summary a row each.
int GradeAll(const Options& options, const Streams& io);

}  // namespace quelvar::runner
