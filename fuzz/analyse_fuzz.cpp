// ANalyseCommand on any line against a small register file: it must never fail, must change at
// most one register, must leave the loaded registers listed as they are, and must move the
// instruction index only as Z, S, T and J do.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "SmallMachine.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static quelvar::fuzz::SmallMachine machine;
  quelvar::TForm1& form = machine.Reset();
  form.OuterRegs[5] = 3;

  const std::string_view line(reinterpret_cast<const char*>(data), size);
  form.ANalyseCommand(line);

  if (form.Regs.size() != 4 || form.RegCount != 3) std::abort();
  int changed = 0;
  const int16_t before[] = {0, 2, 2, 7};
  for (int32_t i = 0; i <= 3; ++i) changed += form.Regs[i] != before[i];
  changed += form.OuterRegs.size() > 1 || form.OuterRegs.at(5) != 3;
  if (changed > 1) std::abort();
  if (form.List1->Count() != 3) std::abort();
  for (int32_t i = 1; i <= 3; ++i) {
    if (form.List1->Line(i - 1) != std::string_view(quelvar::RegisterLine(i, form.Regs[i])))
      std::abort();
  }
  const char op = line.empty() ? '\0' : line[0];
  const bool moves = op == 'Z' || op == 'S' || op == 'T';
  if (op != 'J' && form.InstrIndex != (moves ? 5 : 4)) std::abort();
  if (op != 'J' && op != 'Z' && op != 'S' && op != 'T' && changed != 0) std::abort();
  return 0;
}
