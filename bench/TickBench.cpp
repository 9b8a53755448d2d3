// One tick of a run through the headless toolkit: a line executed and the register list
// rewritten, with data forms of 10, 1000 and 32767 registers.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "form/MainForm.h"
#include "platform/headless/HeadlessToolkit.h"

namespace {

void BM_Tick(benchmark::State& state) {
  const auto folder = std::filesystem::temp_directory_path();
  const std::string data = (folder / "quelvar-tick-data.txt").string();
  const std::string program = (folder / "quelvar-tick-prog.txt").string();
  {
    std::ofstream out(data, std::ios::binary);
    for (int64_t i = 0; i < state.range(0); ++i) out << i << "\r\n";
  }
  // An endless loop that changes a register on every other line.
  std::ofstream(program, std::ios::binary) << "S(2)\r\nJ(1,1,1)\r\n";

  quelvar::headless::HeadlessToolkit toolkit;
  quelvar::TForm1 form(toolkit);
  form.DataFileName = data;
  form.ProgramFileName = program;
  form.Button4Click();
  for (auto _ : state) toolkit.Tick();
  state.SetItemsProcessed(state.iterations());
  if (!toolkit.ErrorBoxes().empty()) state.SkipWithError(toolkit.ErrorBoxes()[0].text.c_str());
  std::filesystem::remove(data);
  std::filesystem::remove(program);
}
BENCHMARK(BM_Tick)->Arg(10)->Arg(1000)->Arg(32767);

}  // namespace

BENCHMARK_MAIN();
