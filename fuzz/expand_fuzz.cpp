// Composed programs through the decoded engine and the ticks alike: a source whose lines call two
// programs, one of which calls the other (and, now and then, back: a cycle, which must be
// refused), is expanded, and the trio it gives runs on both paths, which must leave the same
// snapshot.
#include <fuzzer/FuzzedDataProvider.h>
#include <stdlib.h>

#include <cstdint>
#include <cstdio>
#include <fstream>
#include <string>

#include "runner/Expand.h"
#include "support/RunSnapshot.h"

namespace {

void WriteFile(const std::string& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

const std::string& Folder() {
  static const std::string folder = [] {
    char name[] = "/tmp/quelvar-expand-fuzz-XXXXXX";
    if (mkdtemp(name) == nullptr) std::abort();
    return std::string(name);
  }();
  return folder;
}

std::string Reg(FuzzedDataProvider& in) {
  return std::to_string(in.ConsumeIntegralInRange(1, 5));
}

std::string Call(FuzzedDataProvider& in, const std::string& file) {
  std::string inputs;
  for (int k = in.ConsumeIntegralInRange(0, 3); k > 0; --k) {
    inputs += (inputs.empty() ? "" : ",") + Reg(in);
  }
  return "CALL " + file + " [" + inputs + " -> " + Reg(in) + "]";
}

// Lines of every kind a called program may hold; jumps anywhere, past the end and to 0 too.
std::string Line(FuzzedDataProvider& in, int32_t lines, const std::string& callee) {
  const std::string target = std::to_string(in.ConsumeIntegralInRange(-1, lines + 2));
  switch (in.ConsumeIntegralInRange(0, 9)) {
    case 0:
      return "Z(" + Reg(in) + ")";
    case 1:
    case 2:
      return "S(" + Reg(in) + ")";
    case 3:
      return "T(" + Reg(in) + "," + Reg(in) + ")";
    case 4:
    case 5:
      return "J(" + Reg(in) + "," + Reg(in) + "," + target + ")";
    case 6:
      return "J(1,1," + target + ")";
    case 7:
      if (in.ConsumeBool()) return "X";  // a line the machine stays on
      [[fallthrough]];
    default:
      return callee.empty() ? "S(1)" : Call(in, callee);
  }
}

std::string Program(FuzzedDataProvider& in, const std::string& callee) {
  const int32_t lines = in.ConsumeIntegralInRange(0, 6);
  std::string text;
  for (int32_t k = 0; k < lines; ++k) text += Line(in, lines, callee) + "\r\n";
  return text;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzedDataProvider in(data, size);
  const uint64_t maxLines = in.ConsumeIntegralInRange<uint64_t>(0, 1500);
  const bool cycle = in.ConsumeIntegralInRange(0, 15) == 0;
  const std::string& folder = Folder();
  WriteFile(folder + "/inner.txt", Program(in, cycle ? "outer.src" : ""));
  WriteFile(folder + "/outer.src", Program(in, "inner.txt"));
  std::string source = Program(in, in.ConsumeBool() ? "outer.src" : "inner.txt");
  if (cycle) source += Call(in, "outer.src") + "\r\n";
  WriteFile(folder + "/main.src", source);

  quelvar::runner::Expander expander;
  try {
    const quelvar::runner::Expansion& expansion = expander.Expand(folder + "/main.src", "main.src");
    quelvar::runner::WriteExpansion(expansion, folder + "/run.rm", "main.src");
  } catch (const quelvar::runner::ExpandError&) {
    return 0;
  }
  std::string dataForm;
  for (int32_t k = in.ConsumeIntegralInRange(1, 6); k > 0; --k) {
    dataForm += std::to_string(in.ConsumeIntegralInRange(-2, 6)) + "\r\n";
  }
  WriteFile(folder + "/run-data.txt", dataForm);

  using quelvar::BatchPath;
  const std::string descriptor = folder + "/run.rm";
  const quelvar::test::RunSnapshot decoded =
      quelvar::test::RunToEnd(BatchPath::kDecoded, descriptor, maxLines);
  const quelvar::test::RunSnapshot ticks =
      quelvar::test::RunToEnd(BatchPath::kTicks, descriptor, maxLines);
  if (!(decoded == ticks)) {
    std::fprintf(stderr, "source:\n%s\ndecoded: %s\nticks: %s\n", source.c_str(),
                 decoded.Describe().c_str(), ticks.Describe().c_str());
    std::abort();
  }
  return 0;
}
