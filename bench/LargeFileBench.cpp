// Load time and peak resident memory of a 50 MB data form (one value a line) and of a 200 MB
// program text, each loaded in a process of its own so that its peak is its alone.
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "form/MainForm.h"
#include "platform/headless/HeadlessToolkit.h"

namespace {

namespace fs = std::filesystem;

void WriteRepeated(const fs::path& path, std::string_view line, size_t bytes) {
  std::ofstream out(path, std::ios::binary);
  std::string block;
  while (block.size() < (1 << 20)) block.append(line);
  for (size_t written = 0; written < bytes; written += block.size()) out << block;
}

// Loads `path` as a data form (or a program text) in a child and reports time and peak memory.
void Measure(const char* what, const fs::path& path, bool dataForm) {
  std::fflush(stdout);
  const pid_t child = fork();
  if (child == 0) {
    quelvar::headless::HeadlessToolkit toolkit;
    quelvar::TForm1 form(toolkit);
    form.DataFileName = path.string();
    form.ProgramFileName = path.string();
    const auto start = std::chrono::steady_clock::now();
    toolkit.Dispatch([&] { dataForm ? form.Button1Click() : form.Button2Click(); });
    const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
    std::printf("%s: %.0f ms, %s\n", what, took.count() * 1000,
                toolkit.ErrorBoxes().empty() ? "loaded" : toolkit.ErrorBoxes()[0].text.c_str());
    std::fflush(stdout);
    _exit(0);
  }
  int status = 0;
  rusage usage{};
  wait4(child, &status, 0, &usage);
  const double fileMb = static_cast<double>(fs::file_size(path)) / 1e6;
  const double peakMb = static_cast<double>(usage.ru_maxrss) * 1024 / 1e6;
  std::printf("  file %.0f MB, peak resident %.0f MB, %.2f times the file\n", fileMb, peakMb,
              peakMb / fileMb);
}

}  // namespace

int main() {
  const fs::path folder = fs::temp_directory_path() / ("quelvar-large-" + std::to_string(getpid()));
  fs::create_directories(folder);
  WriteRepeated(folder / "data.txt", "-12345\r\n", 50'000'000);
  WriteRepeated(folder / "prog.txt", "J(1,2,12345)\r\n", 200'000'000);
  WriteRepeated(folder / "short.txt", "S(1)\r\n", 200'000'000);
  Measure("data form, 50 MB of '-12345'", folder / "data.txt", true);
  Measure("program text, 200 MB of 'J(1,2,12345)'", folder / "prog.txt", false);
  Measure("program text, 200 MB of 'S(1)'", folder / "short.txt", false);
  fs::remove_all(folder);
  return 0;
}
