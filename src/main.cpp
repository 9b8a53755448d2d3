// Quelvar's window: start-up and the event loop.
#include <QApplication>
#include <QIcon>
#include <QPixmap>

#include "MainForm.h"
#include "platform/File.h"
#include "platform/qt/QtArt.h"
#include "platform/qt/QtToolkit.h"

int main(int argc, char** argv) {
  quelvar::platform::ReserveStandardInput();
  QApplication application(argc, argv);
  const std::string title = quelvar::platform::ApplicationTitle(argc > 0 ? argv[0] : "quelvar");
  QApplication::setApplicationName(QString::fromLocal8Bit(title.c_str()));
  QApplication::setWindowIcon(QIcon(QPixmap::fromImage(quelvar::qt::QuelvarIcon())));
  quelvar::qt::QtToolkit toolkit(title);
  quelvar::TForm1 form(toolkit);
  toolkit.Show();
  return QApplication::exec();
}
