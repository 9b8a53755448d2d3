#pragma once

// Every conversion between the platform layer's types and Qt's, in one place: text as bytes,
// colours and keys. (Row rectangles stay 64-bit and are made into Qt's only to paint, in
// QtListBox, clamped to the viewport.)
#include <QColor>
#include <QKeySequence>
#include <QPalette>
#include <QString>
#include <cstdint>
#include <string_view>

#include "platform/Geometry.h"
#include "platform/Layout.h"

namespace quelvar::qt {

// Bytes as the system's 8-bit encoding reads them; the machine's texts are bytes.
QString FromBytes(std::string_view bytes);

// The button-face colour is the palette's; the others are what they say.
inline QColor ToQColor(platform::Color color, const QPalette& palette) {
  if (color.buttonFace) return palette.color(QPalette::Button);
  return QColor::fromRgb(color.rgb);
}

QKeySequence ToKeySequence(platform::Shortcut shortcut);
// The virtual-key code of a Qt key, 0 for keys the form has no code for.
uint16_t ToVirtualKey(int qtKey);
uint8_t ToShift(Qt::KeyboardModifiers modifiers);
// True for a press of Shift, Ctrl, Alt or another modifier on its own.
bool IsModifierKey(int qtKey);

}  // namespace quelvar::qt
