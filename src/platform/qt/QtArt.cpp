#include "platform/qt/QtArt.h"

#include <QFont>
#include <QIcon>
#include <QLinearGradient>
#include <QPainter>

namespace quelvar::qt {
namespace {

const QColor kInk(24, 38, 92);
const QColor kPaper(236, 240, 250);
const QColor kAccent(0, 0, 255);

// A row of register cells, the middle one framed as the current line is.
void DrawRegisterCells(QPainter& painter, const QRect& area, int cells) {
  const int width = area.width() / cells;
  for (int i = 0; i < cells; ++i) {
    const QRect cell(area.left() + i * width, area.top(), width - 6, area.height());
    painter.setPen(QPen(i == cells / 2 ? kAccent : kInk, 3));
    painter.setBrush(i % 2 == 0 ? QColor(210, 218, 240) : kPaper);
    painter.drawRect(cell);
  }
}

}  // namespace

QImage QuelvarLogo() {
  QImage logo(422, 155, QImage::Format_RGB888);
  QPainter painter(&logo);
  painter.setRenderHint(QPainter::Antialiasing);
  QLinearGradient sky(0, 0, 422, 155);
  sky.setColorAt(0, kPaper);
  sky.setColorAt(1, QColor(196, 208, 238));
  painter.fillRect(logo.rect(), sky);
  DrawRegisterCells(painter, QRect(16, 20, 140, 115), 3);
  QFont font("Sans Serif");
  font.setStyleHint(QFont::SansSerif);
  font.setPixelSize(58);
  font.setBold(true);
  painter.setFont(font);
  painter.setPen(kInk);
  painter.drawText(QRect(160, 0, 262, 155), Qt::AlignCenter, "Quelvar");
  return logo;
}

QIcon QuelvarIcon() {
  QIcon icon;
  for (const int size : {16, 22, 24, 32, 48, 64, 128, 256}) {
    icon.addFile(QString(":/icons/%1.png").arg(size), QSize(size, size));
  }
  return icon;
}

}  // namespace quelvar::qt
