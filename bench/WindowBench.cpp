// Lines per second of the window on its real 1 ms timer, under the offscreen platform, for 5
// seconds with 10, 1000 and 32767 registers; and the window's peak resident memory.
#include <QApplication>
#include <QTimer>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "MainForm.h"
#include "platform/qt/QtToolkit.h"

namespace {

namespace fs = std::filesystem;

long PeakResidentKilobytes() {
  std::ifstream status("/proc/self/status");
  for (std::string line; std::getline(status, line);) {
    if (line.rfind("VmHWM:", 0) == 0) return std::stol(line.substr(6));
  }
  return -1;
}

void Measure(const fs::path& folder, int registers) {
  {
    std::ofstream data(folder / "data.txt", std::ios::binary);
    for (int i = 0; i < registers; ++i) data << "0\r\n";
  }
  // Two lines a round, one of them a register rewrite.
  std::ofstream(folder / "prog.txt", std::ios::binary) << "S(1)\r\nJ(1,1,1)\r\n";

  quelvar::qt::QtToolkit toolkit("Window_bench");
  quelvar::TForm1 form(toolkit);
  toolkit.Show();
  form.DataFileName = (folder / "data.txt").string();
  form.ProgramFileName = (folder / "prog.txt").string();
  toolkit.Dispatch([&form] { form.Button4Click(); });
  constexpr int kSeconds = 5;
  QTimer::singleShot(kSeconds * 1000, [] { QApplication::quit(); });
  QApplication::exec();
  const int lines = 2 * form.ReadReg(1) + (form.InstrIndex == 2 ? 1 : 0);
  std::printf("%5d registers: %d lines in %d s, %.0f lines/s\n", registers, lines, kSeconds,
              static_cast<double>(lines) / kSeconds);
}

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication application(argc, argv);
  const fs::path folder = fs::temp_directory_path() / "quelvar-window-bench";
  fs::create_directories(folder);
  for (const int registers : {10, 1000, 32767}) Measure(folder, registers);
  std::printf("peak resident memory: %ld kB\n", PeakResidentKilobytes());
  fs::remove_all(folder);
  return 0;
}
