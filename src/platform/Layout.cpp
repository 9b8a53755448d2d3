#include "platform/Layout.h"

namespace quelvar::platform {

std::string MarkedCaption(std::string_view caption, int8_t mnemonic) {
  std::string marked;
  for (size_t i = 0; i < caption.size(); ++i) {
    if (static_cast<int>(i) == mnemonic) marked += '&';
    marked += caption[i];
    if (caption[i] == '&') marked += '&';
  }
  return marked;
}

std::string ShortcutText(Shortcut shortcut) {
  if (shortcut.key == 0) return {};
  std::string text;
  if (shortcut.shift & kCtrl) text += "Ctrl+";
  if (shortcut.shift & kAlt) text += "Alt+";
  if (shortcut.shift & kShift) text += "Shift+";
  if (shortcut.key >= kKeyF1 && shortcut.key <= kKeyF24) {
    text += "F" + std::to_string(shortcut.key - kKeyF1 + 1);
  } else {
    text += static_cast<char>(shortcut.key);
  }
  return text;
}

}  // namespace quelvar::platform
