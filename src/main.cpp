// Quelvar's window: start-up and the event loop.
#include <QApplication>
#include <QStringList>
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <optional>
#include <string>

#include "MainForm.h"
#include "Version.h"
#include "platform/File.h"
#include "platform/qt/QtArt.h"
#include "platform/qt/QtToolkit.h"

namespace {

// Qt ends the process with a core dump when it finds no display, so that case is told apart
// first. An explicit platform (QT_QPA_PLATFORM, say offscreen) needs none.
bool HasDisplay() {
  for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}) {
    const char* value = std::getenv(name);
    if (value != nullptr && *value != '\0') return true;
  }
  return false;
}

}  // namespace

int main(int argc, char** argv) {
  quelvar::platform::ReserveStandardInput();
  if (argc == 2 && std::string(argv[1]) == "--version") {
    std::cout << "quelvar " << quelvar::kVersion << '\n';
    return 0;
  }
  if (!HasDisplay()) {
    std::cerr << "quelvar: no display: set DISPLAY or WAYLAND_DISPLAY, or use quelvar-run for "
                 "batch runs\n";
    return 1;
  }
  QApplication application(argc, argv);
  // Qt has taken its own options out of argv by now; what is left is ours.
  std::optional<std::string> descriptor;
  if (argc > 2 || (argc == 2 && argv[1][0] == '-' && argv[1][1] != '\0')) {
    std::cerr << "usage: quelvar [DESCRIPTOR.rm]\n";
    return 2;
  }
  if (argc == 2) descriptor = argv[1];

  const std::string title = quelvar::platform::ApplicationTitle(argc > 0 ? argv[0] : "quelvar");
  QApplication::setApplicationName(QString::fromLocal8Bit(title.c_str()));
  QApplication::setApplicationVersion(QString::fromUtf8(quelvar::kVersion));
  QGuiApplication::setDesktopFileName(QString::fromUtf8(quelvar::kApplicationId));
  QApplication::setWindowIcon(quelvar::qt::QuelvarIcon());
  quelvar::qt::QtToolkit toolkit(title);
  quelvar::TForm1 form(toolkit);
  toolkit.Show();
  if (descriptor) toolkit.LoadAtStart(*descriptor, [&form] { form.Load1Click(); });
  return QApplication::exec();
}
