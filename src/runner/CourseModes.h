#pragma once

#include "runner/Modes.h"
#include "runner/Options.h"
#include "runner/RunInputs.h"

namespace quelvar::runner {

// The course's tools, one function a mode, each returning the exit status.
// --expand, --from-godel and --godel-run, which read no descriptor.
int StandAloneTool(const Options& options, const Streams& io);
// --godel: the program's number, then each line's.
int GodelNumbers(const Options& options, RunInputs& inputs, const Streams& io);
// --format dot: the flow diagram.
int FlowDiagramMode(const Options& options, RunInputs& inputs, const Streams& io);
// --trace with --trace-format or --line-map: the run, its trace as a table or with its sources.
int TracedRun(const Options& options, RunInputs& inputs, const Streams& io);
bool TracesAsTable(const Options& options);

}  // namespace quelvar::runner
