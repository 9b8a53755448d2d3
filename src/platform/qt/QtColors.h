#pragma once

#include <QColor>
#include <QPalette>

#include "platform/Geometry.h"

namespace quelvar::qt {

// The button-face colour is the palette's; the others are what they say.
inline QColor ToQColor(platform::Color color, const QPalette& palette) {
  if (color.buttonFace) return palette.color(QPalette::Button);
  return QColor::fromRgb(color.rgb);
}

}  // namespace quelvar::qt
