// The decoded engine against the ticks, on random programs: lines of every kind, odd ones
// included, registers 0, negative and beyond the data form, jumps anywhere, values that wrap, and
// line limits. Both paths must leave the same snapshot: registers, scratch registers, index, line
// count, outcome, whether a register wrapped, displays, buttons and frame. Going to line count K,
// the engine's other use, must leave what K presses of Next leave. Then a second program as the
// model answer of --reference: the grader's verdict on the first, run as a single run is, must be
// what the two runs on the ticks say.
#include <fuzzer/FuzzedDataProvider.h>
#include <stdlib.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <string>

#include "runner/CaseRun.h"
#include "runner/Reference.h"
#include "support/RunSnapshot.h"
#include "support/StepSnapshot.h"

namespace {

void WriteFile(const std::string& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

// A folder for the three files, made once; the load moves the working directory into it.
const std::string& Folder() {
  static const std::string folder = [] {
    char name[] = "/tmp/quelvar-engine-fuzz-XXXXXX";
    if (mkdtemp(name) == nullptr) std::abort();
    return std::string(name);
  }();
  return folder;
}

std::string Register(FuzzedDataProvider& in, int32_t registers) {
  switch (in.ConsumeIntegralInRange(0, 9)) {
    case 0:
      return "0";
    case 1:
      return std::to_string(-in.ConsumeIntegralInRange(1, 3));
    case 2:
      return std::to_string(registers + in.ConsumeIntegralInRange(1, 3));
    default:
      return std::to_string(in.ConsumeIntegralInRange(1, registers));
  }
}

std::string Target(FuzzedDataProvider& in, int32_t lines) {
  switch (in.ConsumeIntegralInRange(0, 9)) {
    case 0:
      return std::to_string(in.ConsumeIntegral<int32_t>());
    case 1:
      return std::to_string(in.ConsumeIntegralInRange(-2, 0));
    default:
      return std::to_string(in.ConsumeIntegralInRange(1, lines + 3));
  }
}

std::string Line(FuzzedDataProvider& in, int32_t registers, int32_t lines) {
  switch (in.ConsumeIntegralInRange(0, 9)) {
    case 0:
      return "Z(" + Register(in, registers) + ")";
    case 1:
    case 2:
      return "S(" + Register(in, registers) + ")";
    case 3:
      return "T(" + Register(in, registers) + "," + Register(in, registers) + ")";
    case 4:
    case 5:
    case 6:
      return "J(" + Register(in, registers) + "," + Register(in, registers) + "," +
             Target(in, lines) + ")";
    case 7:
      return "J(" + Register(in, registers) + "," + Register(in, registers) + "," +
             std::to_string(lines + 1) + ")";
    default:
      // Any text at all: odd forms, blanks, lower case, lines split by the bytes within.
      return in.ConsumeRandomLengthString(12);
  }
}

using quelvar::BatchEnd;
using quelvar::test::RunSnapshot;

// What --reference must say of `student` against `model`, both run on the ticks with the same
// data form: the same outcome, and R1 alike when both ended (no cases file names others).
bool Agree(const RunSnapshot& model, const RunSnapshot& student) {
  if (model.end != student.end) return false;
  return model.end != BatchEnd::kFinished || model.regs[1] == student.regs[1];
}

// --reference on `student` with `model` as the model answer, on the one data form `values`.
void CheckReference(const std::string& model, const std::string& student, const std::string& values,
                    uint64_t maxLines) {
  using namespace quelvar::runner;
  // With no line at all, Run It runs nothing under --reference; the snapshot runs its first line.
  if (maxLines == 0) return;
  Options options;
  options.reference = model;
  options.referenceAsGiven = model;
  options.inputs = values.empty() ? "0" : values;
  options.maxLines = maxLines;
  options.descriptor = student;
  options.descriptorAsGiven = student;
  options.registers = std::string();
  const RunSnapshot modelRun = quelvar::test::RunToEnd(quelvar::BatchPath::kTicks, model, maxLines);
  const RunSnapshot studentRun =
      quelvar::test::RunToEnd(quelvar::BatchPath::kTicks, student, maxLines);
  Case c;
  try {
    ReferenceCases cases(options, "Quelvar");
    cases.Next(c);
  } catch (const std::runtime_error&) {
    if (modelRun.end == BatchEnd::kFailed) return;  // a model that fails grades nothing
    std::fprintf(stderr, "the model failed only as a reference: %s\n", modelRun.Describe().c_str());
    std::abort();
  }
  quelvar::runner::RunInputs inputs(options);
  const CaseResult result = RunCase(c, 1, options, inputs, "Quelvar", nullptr);
  if (result.pass != Agree(modelRun, studentRun) || result.end != studentRun.end ||
      result.lines != studentRun.lines || result.wrapped != studentRun.wrapped) {
    std::fprintf(stderr,
                 "reference verdict %d (%s), lines %llu, wrapped %d\nmodel: %s\nstudent: %s\n",
                 result.pass, result.verdict.c_str(), static_cast<unsigned long long>(result.lines),
                 result.wrapped, modelRun.Describe().c_str(), studentRun.Describe().c_str());
    std::abort();
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzedDataProvider in(data, size);
  const uint64_t maxLines = in.ConsumeIntegralInRange<uint64_t>(0, 1500);
  const int32_t registers = in.ConsumeIntegralInRange(1, 8);
  std::string dataForm;
  std::string values;  // the same as --inputs gives them
  for (int32_t i = 0; i < registers; ++i) {
    const bool nearTheTop = in.ConsumeBool();
    const int value =
        nearTheTop ? 32767 - in.ConsumeIntegralInRange(0, 3) : in.ConsumeIntegralInRange(-3, 6);
    dataForm += std::to_string(value) + "\r\n";
    values += (i > 0 ? "," : "") + std::to_string(value);
  }
  const int32_t lines = in.ConsumeIntegralInRange(0, 16);
  std::string program;
  for (int32_t k = 0; k < lines; ++k) program += Line(in, registers, lines) + "\r\n";

  const std::string& folder = Folder();
  WriteFile(folder + "/data.txt", dataForm);
  WriteFile(folder + "/prog.txt", program);
  WriteFile(folder + "/run.rm", "Fuzz\r\ndata.txt\r\nprog.txt\r\n");
  const std::string descriptor = folder + "/run.rm";

  using quelvar::BatchPath;
  const quelvar::test::RunSnapshot decoded =
      quelvar::test::RunToEnd(BatchPath::kDecoded, descriptor, maxLines);
  const quelvar::test::RunSnapshot ticks =
      quelvar::test::RunToEnd(BatchPath::kTicks, descriptor, maxLines);
  if (!(decoded == ticks)) {
    std::fprintf(stderr, "program:\n%s\ndecoded: %s\nticks: %s\n", program.c_str(),
                 decoded.Describe().c_str(), ticks.Describe().c_str());
    std::abort();
  }
  // Each press of Next redraws: a few hundred keep the target fast.
  const uint64_t k = std::min<uint64_t>(maxLines, 400);
  const quelvar::test::RunSnapshot wentTo = quelvar::test::Stepped(descriptor, k, true);
  const quelvar::test::RunSnapshot pressed = quelvar::test::Stepped(descriptor, k, false);
  if (!(wentTo == pressed)) {
    std::fprintf(stderr, "program:\n%s\ngo to %llu: %s\nnext: %s\n", program.c_str(),
                 static_cast<unsigned long long>(k), wentTo.Describe().c_str(),
                 pressed.Describe().c_str());
    std::abort();
  }

  std::string model;
  const int32_t modelLines = in.ConsumeIntegralInRange(0, 16);
  for (int32_t k = 0; k < modelLines; ++k) model += Line(in, registers, modelLines) + "\r\n";
  WriteFile(folder + "/model.txt", model);
  WriteFile(folder + "/model.rm", "Model\r\ndata.txt\r\nmodel.txt\r\n");
  CheckReference(folder + "/model.rm", descriptor, values, maxLines);
  return 0;
}
