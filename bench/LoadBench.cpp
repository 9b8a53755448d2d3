// Loading time of a large data form and a large program text through the headless toolkit.
#include <benchmark/benchmark.h>
#include <stdlib.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "form/MainForm.h"
#include "platform/headless/HeadlessToolkit.h"

namespace {

std::string WriteTemp(const std::string& name, const std::string& bytes) {
  const std::string path = (std::filesystem::temp_directory_path() / name).string();
  std::ofstream(path, std::ios::binary) << bytes;
  return path;
}

void BM_LoadDataForm(benchmark::State& state) {
  std::string bytes;
  for (int64_t i = 0; i < state.range(0); ++i) bytes += std::to_string(i % 65536 - 32768) + "\r\n";
  const std::string path = WriteTemp("quelvar-bench-data.txt", bytes);
  quelvar::headless::HeadlessToolkit toolkit;
  quelvar::TForm1 form(toolkit);
  form.DataFileName = path;
  for (auto _ : state) form.Button1Click();
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * bytes.size()));
  std::filesystem::remove(path);
}
BENCHMARK(BM_LoadDataForm)->Arg(100'000)->Unit(benchmark::kMillisecond);

void BM_LoadProgramText(benchmark::State& state) {
  std::string bytes;
  for (int64_t i = 0; i < state.range(0); ++i) bytes += "J(1,2," + std::to_string(i) + ")\r\n";
  const std::string path = WriteTemp("quelvar-bench-prog.txt", bytes);
  quelvar::headless::HeadlessToolkit toolkit;
  quelvar::TForm1 form(toolkit);
  form.ProgramFileName = path;
  for (auto _ : state) form.Button2Click();
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * bytes.size()));
  std::filesystem::remove(path);
}
BENCHMARK(BM_LoadProgramText)->Arg(1'000'000)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
