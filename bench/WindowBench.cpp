// The window on its real 1 ms timer, shown and painting: lines/s and CPU time per line for 5
// seconds with 10, 1000 and 32767 registers, and with a program whose lines are 1 MB long; and
// the window's peak resident memory.
//
//   xvfb-run -a -s "-screen 0 1024x768x24" build/bench/window_bench      (a real X server)
//   build/bench/window_bench                                               (offscreen, no painting)
//   window_bench 32767                                                     (one case alone)
//
// Without a display it runs on Qt's offscreen platform, which exposes nothing and so never
// paints; its figures say so.
#include <sys/resource.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QTimer>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "form/MainForm.h"
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

double CpuSeconds() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  const auto seconds = [](const timeval& t) { return t.tv_sec + t.tv_usec / 1e6; };
  return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

// Runs "S(1)", "J(1,1,1)" (each padded to `lineLength` bytes with blanks the machine ignores)
// over a data form of `registers` registers for 5 seconds.
void Measure(const fs::path& folder, int registers, size_t lineLength, const char* what) {
  {
    std::ofstream data(folder / "data.txt", std::ios::binary);
    for (int i = 0; i < registers; ++i) data << "0\r\n";
    const auto padded = [lineLength](std::string head, const std::string& tail) {
      if (head.size() + tail.size() < lineLength)
        head.append(lineLength - head.size() - tail.size(), ' ');
      return head + tail;
    };
    // The operand of S is read up to the last character, so its blanks go before the ')'.
    std::ofstream(folder / "prog.txt", std::ios::binary) << padded("S(1", ")") << "\r\n"
                                                         << padded("J(1,1,1)", "") << "\r\n";
  }
  quelvar::qt::QtToolkit toolkit("Window_bench");
  quelvar::TForm1 form(toolkit);
  toolkit.Show();
  form.DataFileName = (folder / "data.txt").string();
  form.ProgramFileName = (folder / "prog.txt").string();
  // Until the window is on the screen and has painted once.
  QElapsedTimer settle;
  settle.start();
  while (settle.elapsed() < 500) QApplication::processEvents(QEventLoop::AllEvents, 50);

  toolkit.Dispatch([&form] { form.Button4Click(); });
  const double cpuBefore = CpuSeconds();
  QElapsedTimer wall;
  wall.start();
  constexpr int kSeconds = 5;
  QTimer::singleShot(kSeconds * 1000, [] { QApplication::quit(); });
  QApplication::exec();
  const double cpu = CpuSeconds() - cpuBefore;
  const double seconds = wall.elapsed() / 1000.0;
  // Two lines a round; R1 counts the rounds (well below 32767 in 5 s).
  const int lines = 2 * form.ReadReg(1) + (form.InstrIndex == 2 ? 1 : 0);
  std::printf("%-26s %6.0f lines/s  %6.3f ms CPU a line\n", what, lines / seconds,
              1000.0 * cpu / lines);
}

}  // namespace

int main(int argc, char** argv) {
  const bool display =
      !qEnvironmentVariableIsEmpty("DISPLAY") || !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY");
  if (!display && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
  }
  QApplication application(argc, argv);
  std::printf("platform: %s%s\n", qPrintable(QGuiApplication::platformName()),
              QGuiApplication::platformName() == "offscreen" ? " (nothing is painted)" : "");
  const fs::path folder = fs::temp_directory_path() / "quelvar-window-bench";
  fs::create_directories(folder);
  // One case alone when named: 10, 1000, 32767 or 1mb (for a profiler to look at).
  const std::string only = argc > 1 ? argv[1] : "";
  if (only.empty() || only == "10") Measure(folder, 10, 0, "10 registers");
  if (only.empty() || only == "1000") Measure(folder, 1000, 0, "1000 registers");
  if (only.empty() || only == "32767") Measure(folder, 32767, 0, "32767 registers");
  if (only.empty() || only == "1mb") Measure(folder, 10, 1 << 20, "10 registers, 1 MB lines");
  std::printf("peak resident memory: %ld kB\n", PeakResidentKilobytes());
  fs::remove_all(folder);
  return 0;
}
