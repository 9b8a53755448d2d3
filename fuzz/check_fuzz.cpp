// The checker against the machine: for any line, what the checker says the line does must be
// what ANalyseCommand does with it, and a line the checker finds nothing wrong with must be
// written exactly as the machine reads it. The same bytes as a data form: when the checker finds
// nothing, the data form reader must hold one register a line that has a value, each as written.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "text/MemorySource.h"
#include "SmallMachine.h"
#include "runner/Checker.h"
#include "runner/FileChecks.h"
#include "text/InOutError.h"
#include "text/ProgramLine.h"
#include "text/TextReader.h"
#include "text/ValInteger.h"

namespace {

// The registers R-2 to R5 of a machine with R1 = 2, R2 = 2, R3 = 7 and the line executing as
// line 4, after the checker's reading of `line`.
struct Predicted {
  std::map<int32_t, int16_t> regs{{1, 2}, {2, 2}, {3, 7}};
  int32_t index = 4;
  int16_t Read(int32_t n) const {
    const auto found = regs.find(n);
    return found == regs.end() ? 0 : found->second;
  }
};

std::string WithoutLeadingZeros(std::string_view text) {
  std::string result;
  for (size_t i = 0; i < text.size(); ++i) {
    const bool digitStart = text[i] == '0' && (i == 0 || text[i - 1] < '0' || text[i - 1] > '9');
    if (digitStart && i + 1 < text.size() && text[i + 1] >= '0' && text[i + 1] <= '9') {
      while (i + 1 < text.size() && text[i] == '0' && text[i + 1] >= '0' && text[i + 1] <= '9') ++i;
    }
    result.push_back(text[i]);
  }
  return result;
}

// The registers as the data form loader fills them, or nothing when it fails.
std::optional<std::vector<int16_t>> Loaded(std::string_view bytes) {
  quelvar::MemorySource source(bytes, 7);
  quelvar::TextReader reader(source);
  std::vector<int16_t> regs;
  try {
    do {
      const int32_t value = reader.ReadInteger();
      reader.FinishLine();
      regs.push_back(static_cast<int16_t>(value));
    } while (!reader.AtEnd());
  } catch (const quelvar::InOutError&) {
    return std::nullopt;
  }
  return regs;
}

// What a data form the checker finds nothing in must hold: the value of each line that has one.
std::vector<int16_t> AsWritten(std::string_view bytes) {
  bytes = bytes.substr(0, bytes.find('\x1a'));
  std::vector<int16_t> regs;
  size_t start = 0;
  while (start <= bytes.size()) {
    const size_t end = std::min(bytes.find_first_of("\r\n", start), bytes.size());
    const std::string_view line = bytes.substr(start, end - start);
    const auto blank = [](char c) { return static_cast<unsigned char>(c) <= 32; };
    const auto first = std::find_if_not(line.begin(), line.end(), blank);
    if (first != line.end()) {
      const auto last = std::find_if(first, line.end(), blank);
      regs.push_back(
          static_cast<int16_t>(quelvar::ValInteger(std::string_view(first, last)).value));
    }
    start = end + (bytes.substr(end, 2) == "\r\n" ? 2 : 1);
  }
  if (regs.empty()) regs.push_back(0);
  return regs;
}

void CheckDataForm(std::string_view bytes) {
  quelvar::runner::DataFormCheck check("data.txt");
  check.Feed(bytes.substr(0, bytes.size() / 2));
  check.Feed(bytes.substr(bytes.size() / 2));
  if (!check.Finish().empty()) return;
  if (Loaded(bytes) != AsWritten(bytes)) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static quelvar::fuzz::SmallMachine machine;
  quelvar::TForm1& form = machine.Reset();

  const std::string_view line(reinterpret_cast<const char*>(data), size);
  CheckDataForm(line);
  const quelvar::ProgramLine read = quelvar::DecodeProgramLine(line);
  const std::vector<std::string> findings = quelvar::runner::CheckLine(line, 10, 3, 3);

  Predicted predicted;
  using Op = quelvar::ProgramLine::Op;
  switch (read.op) {
    case Op::kZero:
      predicted.regs[read.n] = 0;
      break;
    case Op::kSuccessor:
      predicted.regs[read.n] = static_cast<int16_t>(predicted.Read(read.n) + 1);
      break;
    case Op::kTransfer:
      predicted.regs[read.n] = predicted.Read(read.m);
      break;
    default:
      break;
  }
  if (read.op == Op::kJump) {
    predicted.index = predicted.Read(read.m) == predicted.Read(read.n) ? read.q : 5;
  } else if (read.op != Op::kNothing) {
    predicted.index = 5;
  }

  form.ANalyseCommand(line);
  if (form.InstrIndex != predicted.index) std::abort();
  for (const auto& [n, value] : predicted.regs) {
    if (form.ReadReg(n) != value) std::abort();
  }
  for (const auto& [n, value] : form.OuterRegs) {
    if (predicted.Read(n) != value) std::abort();
  }
  for (int32_t n = 0; n <= 3; ++n) {
    if (form.ReadReg(n) != predicted.Read(n)) std::abort();
  }
  // Nothing found: the line reads exactly as it is written, leading zeros aside.
  if (findings.empty() && WithoutLeadingZeros(line) != quelvar::runner::Canonical(read)) {
    std::abort();
  }
  return 0;
}
