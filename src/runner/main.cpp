// quelvar-run: runs a program descriptor to its end without a window, as "Run It" would; checks a
// program's lines; grades a program against cases.
#include <unistd.h>

#include <cstring>
#include <exception>
#include <optional>

#include "platform/File.h"
#include "platform/Toolkit.h"
#include "runner/CourseModes.h"
#include "runner/CourseOptions.h"
#include "runner/FdOutput.h"
#include "runner/Modes.h"
#include "runner/Options.h"
#include "runner/Output.h"
#include "runner/RunInputs.h"
#include "runner/Submissions.h"

namespace {

using namespace quelvar::runner;

int Run(int argc, char** argv, Output& out, Output& err) {
  const Parsed parsed = ParseOptions(argc, argv, out, err);
  if (!parsed.options) return parsed.status;
  const Options& options = *parsed.options;
  const Streams io{out, err,
                   quelvar::platform::ApplicationTitle(argc > 0 ? argv[0] : "quelvar-run")};
  if (StandsAlone(options)) {
    return StandAloneTool(options, io);
  }
  if (options.cases || options.reference) return GradeAll(options, io);
  std::optional<RunInputs> inputs;
  try {
    inputs.emplace(options);
  } catch (const std::exception& failure) {
    return Failed(options, io, quelvar::platform::ErrorBoxText(failure.what()), 1,
                  options.descriptorAsGiven);
  }
  if (options.check) return Check(options, *inputs, io);
  if (options.godel) return GodelNumbers(options, *inputs, io);
  if (options.format == Format::kDot) return FlowDiagramMode(options, *inputs, io);
  if (TracesAsTable(options)) return TracedRun(options, *inputs, io);
  return RunOnce(options, *inputs, io);
}

// The status to exit with once both streams are flushed and closed: a report that did not reach
// its destination is a failure, said on standard error when that still works.
int Closed(int status, quelvar::FdOutput& out, quelvar::FdOutput& err) {
  if (!out.Close()) {
    Output(err) << "quelvar-run: cannot write the report: " << std::strerror(out.Error()) << '\n';
    status = 1;
  }
  if (!err.Close()) status = 1;
  return status;
}

}  // namespace

int main(int argc, char** argv) {
  quelvar::platform::ReserveStandardInput();
  quelvar::FdOutput outFile(STDOUT_FILENO);
  quelvar::FdOutput errFile(STDERR_FILENO);
  int status = 0;
  {
    Output out(outFile);
    Output err(errFile);
    status = Run(argc, argv, out, err);
  }
  return Closed(status, outFile, errFile);
}
