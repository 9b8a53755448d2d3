#include "platform/qt/QtArt.h"

namespace quelvar::qt {

QImage QuelvarLogo() {
  return QImage(":/art/logo.png");
}

QIcon QuelvarIcon() {
  QIcon icon;
  for (const int size : {16, 22, 24, 32, 48, 64, 128, 256}) {
    icon.addFile(QString(":/icons/%1.png").arg(size), QSize(size, size));
  }
  return icon;
}

}  // namespace quelvar::qt
