#pragma once

#include <QKeySequence>
#include <QString>
#include <cstdint>
#include <string_view>
#include <vector>

#include "platform/Layout.h"

namespace quelvar::qt {

QKeySequence ToKeySequence(platform::Shortcut shortcut);
// The virtual-key code of a Qt key, 0 for keys the form has no code for.
uint16_t ToVirtualKey(int qtKey);
uint8_t ToShift(Qt::KeyboardModifiers modifiers);
// True for a press of Shift, Ctrl, Alt or another modifier on its own.
bool IsModifierKey(int qtKey);

// Captions with their mnemonics: each caption's first letter or digit that no earlier caption of
// the same menu has taken gets the '&'.
std::vector<QString> WithMnemonics(const std::vector<std::string_view>& captions);

}  // namespace quelvar::qt
