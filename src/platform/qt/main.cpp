// Quelvar's window: start-up and the event loop.
#include <QApplication>
#include <QStringList>
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <optional>
#include <string>

#include "Version.h"
#include "form/MainForm.h"
#include "platform/File.h"
#include "platform/qt/QtArt.h"
#include "platform/qt/QtToolkit.h"

namespace {

constexpr const char* kHelp =
    "Usage: quelvar [OPTIONS] [DESCRIPTOR.rm]\n"
    "\n"
    "Quelvar simulates an unlimited register machine in one window: load a program\n"
    "descriptor (.rm: a module name, a data form and a program text), run it (Ctrl+F9),\n"
    "step it (Shift+F9, then F7), pause it and halt it (F6), and watch the registers and\n"
    "the framed current line.\n"
    "\n"
    "With DESCRIPTOR.rm the window starts as if Load (F3) had chosen it in its dialog.\n"
    "Every argument that is not one of the options below is the descriptor's name, as bytes,\n"
    "even one that starts with '-'; Qt's own options are not taken from this command line.\n"
    "\n"
    "Options:\n"
    "  --help      print this help and exit\n"
    "  --version   print the version and exit\n"
    "  --          what follows is the descriptor's name, even --help or --version\n"
    "\n"
    "Without a display (DISPLAY or WAYLAND_DISPLAY) quelvar says so and exits with 1.\n"
    "quelvar-run(1) runs, checks and grades programs without the window; quelvar(1) tells\n"
    "the rest.\n";

// Qt ends the process with a core dump when it finds no display, so that case is told apart
// first. An explicit platform (QT_QPA_PLATFORM, say offscreen) needs none.
bool HasDisplay() {
  for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}) {
    const char* value = std::getenv(name);
    if (value != nullptr && *value != '\0') return true;
  }
  return false;
}

// What the command line asks for: help, the version, or the window with an optional descriptor.
struct CommandLine {
  bool help = false;
  bool version = false;
  std::optional<std::string> descriptor;
  bool bad = false;
};

CommandLine Parse(int argc, char** argv) {
  CommandLine line;
  bool names = false;  // after "--", every argument is a name
  for (int i = 1; i < argc; ++i) {
    const std::string argument = argv[i];
    if (!names && argument == "--") {
      names = true;
    } else if (!names && argument == "--help") {
      line.help = true;
    } else if (!names && argument == "--version") {
      line.version = true;
    } else if (line.descriptor) {
      line.bad = true;
    } else {
      line.descriptor = argument;
    }
  }
  return line;
}

}  // namespace

int main(int argc, char** argv) {
  quelvar::platform::ReserveStandardInput();
  const CommandLine line = Parse(argc, argv);
  if (line.bad) {
    std::cerr << "quelvar: one descriptor at most\nusage: quelvar [OPTIONS] [DESCRIPTOR.rm] "
                 "(see quelvar --help)\n";
    return 2;
  }
  if (line.help) {
    std::cout << kHelp;
    return 0;
  }
  if (line.version) {
    std::cout << "quelvar " << quelvar::kVersion << '\n';
    return 0;
  }
  if (!HasDisplay()) {
    std::cerr << "quelvar: no display: set DISPLAY or WAYLAND_DISPLAY, or use quelvar-run for "
                 "batch runs\n";
    return 1;
  }
  // Qt sees the program's name only, so that it takes none of Quelvar's arguments as its own
  // options (-reverse, -style...): every argument was read above.
  int qtArgc = 1;
  char* qtArgv[] = {argv[0], nullptr};
  QApplication application(qtArgc, qtArgv);

  const std::string title = quelvar::platform::ApplicationTitle(argc > 0 ? argv[0] : "quelvar");
  QApplication::setApplicationName(QString::fromLocal8Bit(title.c_str()));
  QApplication::setApplicationVersion(QString::fromUtf8(quelvar::kVersion));
  QGuiApplication::setDesktopFileName(QString::fromUtf8(quelvar::kApplicationId));
  QApplication::setWindowIcon(quelvar::qt::QuelvarIcon());
  quelvar::qt::QtToolkit toolkit(title);
  quelvar::TForm1 form(toolkit);
  toolkit.Show();
  if (line.descriptor) toolkit.LoadAtStart(*line.descriptor, [&form] { form.Load1Click(); });
  return QApplication::exec();
}
