#include "runner/Modes.h"

#include <exception>
#include <string>
#include <vector>

#include "platform/File.h"
#include "platform/Toolkit.h"
#include "runner/BatchRun.h"
#include "runner/CaseRun.h"
#include "runner/Checker.h"
#include "runner/GradeFormats.h"
#include "runner/JsonReport.h"

namespace quelvar::runner {
namespace {

bool JsonFormat(Format format) {
  return format == Format::kJson || format == Format::kGradescope ||
         format == Format::kPrairieLearn;
}

}  // namespace

int Failed(const Options& options, const Streams& io, const std::string& message, int status,
           const std::string& file) {
  if (JsonFormat(options.format)) {
    nlohmann::json document = {{"outcome", "failure"}, {"message", message}};
    if (!file.empty()) document["file"] = file;
    if (options.format == Format::kGradescope) {
      document = {{"score", 0},
                  {"output", RunnerMessage(file, message)},
                  {"tests", nlohmann::json::array()}};
    } else if (options.format == Format::kPrairieLearn) {
      document = {{"gradable", false},
                  {"score", 0},
                  {"message", RunnerMessage(file, message)},
                  {"format_errors", nlohmann::json::array({RunnerMessage(file, message)})}};
    }
    io.out << JsonText(document) << '\n';
  }
  io.err << (file.empty() ? message : RunnerMessage(file, message)) << '\n';
  return status;
}

int RunOnce(const Options& options, RunInputs& inputs, const Streams& io) {
  BatchRun run(io.title);
  const BatchEnd end = RunToItsEnd(run, inputs, options.maxLines, options,
                                   options.trace ? &io.err.Stream() : nullptr);
  const std::string file = end == BatchEnd::kFailed           ? FailedFile(run, inputs)
                           : inputs.DescriptorShown().empty() ? inputs.ProgramShown()
                                                              : inputs.DescriptorShown();
  if (options.format == Format::kJson) {
    nlohmann::json document = RunJson(run, end);
    document["files"] = FilesJson(inputs);
    if (end == BatchEnd::kFailed) document["file"] = file;
    io.out << JsonText(document) << '\n';
  } else {
    io.out << run.Report();
  }
  // A stall and a line limit are also in the report of the other formats.
  const bool said = end == BatchEnd::kFailed || end == BatchEnd::kTimeLimit;
  if (said || (end != BatchEnd::kFinished && options.format == Format::kText)) {
    io.err << RunnerMessage(file, EndText(run, end, options.maxLines, options.timeout)) << '\n';
  }
  return static_cast<int>(end);
}

int Check(const Options&, RunInputs& inputs, const Streams& io) {
  BatchRun run(io.title);
  const bool loaded = inputs.LoadInto(run);
  std::vector<Finding> findings = CheckFiles(run.Form(), inputs);
  if (loaded) {
    for (Finding& finding : CheckLoaded(run.Form(), inputs)) findings.push_back(finding);
  }
  for (const Finding& finding : findings) io.out << Diagnostic(finding) << '\n';
  if (!loaded) {
    io.err << FailureMessage(run, inputs) << '\n';
    return 1;
  }
  return findings.empty() ? 0 : 1;
}

}  // namespace quelvar::runner
