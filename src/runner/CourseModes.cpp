#include "runner/CourseModes.h"

#include <exception>
#include <filesystem>
#include <optional>

#include "platform/Toolkit.h"
#include "runner/BatchRun.h"
#include "runner/CaseRun.h"
#include "runner/Expand.h"
#include "runner/FlowDiagram.h"
#include "runner/Godel.h"
#include "runner/JsonReport.h"
#include "runner/TraceTable.h"

namespace quelvar::runner {
namespace {

namespace fs = std::filesystem;

// Beyond this many decimal digits, a program's number is also given in a form a reader can take
// in.
constexpr size_t kLongNumberDigits = 10'000;

// The program list as the window loads it, or nothing after its failure was reported. A program
// text given alone reads no data form: these modes run nothing.
std::optional<std::vector<std::string>> LoadedLines(const Options& options, RunInputs& inputs,
                                                    const Streams& io) {
  if (options.descriptor.empty() && !options.registers) inputs.SetRegisters("0");
  BatchRun run(io.title);
  if (!inputs.LoadInto(run)) {
    io.err << FailureMessage(run, inputs) << '\n';
    return std::nullopt;
  }
  std::vector<std::string> lines;
  const platform::ListBox& list = *run.Form().List2;
  for (int32_t k = 0; k < list.Count(); ++k) lines.emplace_back(list.Line(k));
  return lines;
}

std::string ProgramText(const std::vector<ProgramLine>& lines) {
  std::string text;
  for (const ProgramLine& line : lines) text += godel::LineText(line) + "\r\n";
  return text;
}

int Expand(const Options& options) {
  Expander expander;
  // The line map names the source by its file name, and what it calls relative to its folder.
  const std::string name = fs::path(*options.expand).filename().string();
  WriteExpansion(expander.Expand(*options.expand, name), options.output, name);
  return 0;
}

// The program text of the number `digits`; GMP's library is loaded for this only.
std::string ProgramOfNumber(const std::string& digits) {
  const godel::Gmp gmp;
  return ProgramText(godel::DecodeGamma(gmp.FromDecimal(digits)));
}

int FromGodel(const Options& options, const Streams& io) {
  io.out << ProgramOfNumber(*options.fromGodel);
  return 0;
}

int GodelRun(const Options& options, const Streams& io) {
  RunInputs inputs(options);
  inputs.SetProgramText(ProgramOfNumber(*options.godelRun), "<program " + *options.godelRun + ">");
  return TracesAsTable(options) ? TracedRun(options, inputs, io) : RunOnce(options, inputs, io);
}

}  // namespace

int StandAloneTool(const Options& options, const Streams& io) {
  try {
    if (options.expand) return Expand(options);
    if (options.fromGodel) return FromGodel(options, io);
    return GodelRun(options, io);
  } catch (const std::exception& failure) {
    io.err << platform::ErrorBoxText(failure.what()) << '\n';
    return 1;
  }
}

int GodelNumbers(const Options& options, RunInputs& inputs, const Streams& io) {
  const std::optional<std::vector<std::string>> lines = LoadedLines(options, inputs, io);
  if (!lines) return 1;
  const std::string& file = inputs.ProgramShown();
  if (lines->empty()) {
    io.err << file << ": an empty program has no number\n";
    return 1;
  }
  std::optional<godel::Gmp> gmp;
  try {
    gmp.emplace();
  } catch (const godel::GodelError& failure) {
    io.err << platform::ErrorBoxText(failure.what()) << '\n';
    return 1;
  }
  std::vector<godel::Number> betas;
  for (size_t k = 0; k < lines->size(); ++k) {
    const std::string where = file + ":" + std::to_string(k + 1) + ": " + (*lines)[k];
    const ProgramLine line = DecodeProgramLine((*lines)[k]);
    if (!godel::HasNumber(line)) {
      io.err << where << ": no number: only Z, S, T and J with operands of 1 or more have one; "
             << "the machine reads this line as " << godel::LineText(line) << '\n';
      return 1;
    }
    try {
      betas.push_back(godel::Beta(*gmp, line));
    } catch (const godel::GodelError& failure) {
      io.err << where << ": no number within reach: " << failure.what() << '\n';
      return 1;
    }
  }
  std::optional<godel::Number> gamma;
  try {
    gamma.emplace(godel::Gamma(*gmp, betas));
  } catch (const godel::GodelError& failure) {
    io.err << file << ": the program's number is out of reach: " << failure.what() << '\n';
    return 1;
  }
  const std::string digits = gamma->Decimal();
  io.out << digits << '\n';
  if (digits.size() > kLongNumberDigits) io.out << godel::HumanForm(*gamma, digits.size()) << '\n';
  for (size_t k = 0; k < betas.size(); ++k) {
    io.out << k + 1 << ": " << (*lines)[k] << "  " << betas[k].Decimal() << '\n';
  }
  return 0;
}

int FlowDiagramMode(const Options& options, RunInputs& inputs, const Streams& io) {
  const std::optional<std::vector<std::string>> lines = LoadedLines(options, inputs, io);
  if (!lines) return 1;
  io.out << FlowDiagram(*lines);
  return 0;
}

bool TracesAsTable(const Options& options) {
  return options.trace && (options.traceFormat != TraceFormat::kText || options.lineMap);
}

int TracedRun(const Options& options, RunInputs& inputs, const Streams& io) {
  std::vector<std::string> sources;
  try {
    if (options.lineMap) sources = ReadLineMap(*options.lineMap);
  } catch (const std::exception& failure) {
    io.err << failure.what() << '\n';
    return 1;
  }
  TraceTable table(options.traceFormat, options.traceRows, std::move(sources), io.err.Stream());
  BatchRun run(io.title);
  BatchEnd end = BatchEnd::kFailed;
  if (inputs.LoadInto(run)) {
    if (options.maxLines == 0) {
      end = BatchEnd::kLineLimit;
    } else if (run.RunIt(table)) {
      end = run.Finish(options.maxLines);
    }
  }
  table.Finish();
  if (options.format == Format::kJson) {
    io.out << JsonText(RunJson(run, end)) << '\n';
  } else {
    io.out << run.Report();
  }
  if (end == BatchEnd::kFailed) {
    io.err << FailureMessage(run, inputs) << '\n';
  }
  return static_cast<int>(end);
}

}  // namespace quelvar::runner
