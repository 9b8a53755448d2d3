#include "platform/qt/QtConvert.h"

namespace quelvar::qt {
namespace {

constexpr uint16_t kKeyA = 'A';
constexpr uint16_t kKey0 = '0';

struct KeyPair {
  int qt;
  uint16_t vk;
};

constexpr KeyPair kOtherKeys[] = {
    {Qt::Key_Backspace, 8}, {Qt::Key_Tab, 9},    {Qt::Key_Return, 13}, {Qt::Key_Enter, 13},
    {Qt::Key_Escape, 27},   {Qt::Key_Space, 32}, {Qt::Key_PageUp, 33}, {Qt::Key_PageDown, 34},
    {Qt::Key_End, 35},      {Qt::Key_Home, 36},  {Qt::Key_Left, 37},   {Qt::Key_Up, 38},
    {Qt::Key_Right, 39},    {Qt::Key_Down, 40},  {Qt::Key_Insert, 45}, {Qt::Key_Delete, 46},
};

}  // namespace

QKeySequence ToKeySequence(platform::Shortcut shortcut) {
  int key = 0;
  if (shortcut.key >= platform::kKeyF1 && shortcut.key <= platform::kKeyF24) {
    key = Qt::Key_F1 + (shortcut.key - platform::kKeyF1);
  } else if ((shortcut.key >= kKeyA && shortcut.key <= 'Z') ||
             (shortcut.key >= kKey0 && shortcut.key <= '9')) {
    key = shortcut.key;  // Qt's codes for letters and digits are their characters
  } else {
    return {};
  }
  int modifiers = 0;
  if (shortcut.shift & platform::kShift) modifiers |= Qt::SHIFT;
  if (shortcut.shift & platform::kCtrl) modifiers |= Qt::CTRL;
  if (shortcut.shift & platform::kAlt) modifiers |= Qt::ALT;
  return QKeySequence(key | modifiers);
}

uint16_t ToVirtualKey(int qtKey) {
  if (qtKey >= Qt::Key_F1 && qtKey <= Qt::Key_F24) {
    return static_cast<uint16_t>(platform::kKeyF1 + (qtKey - Qt::Key_F1));
  }
  if ((qtKey >= Qt::Key_A && qtKey <= Qt::Key_Z) || (qtKey >= Qt::Key_0 && qtKey <= Qt::Key_9)) {
    return static_cast<uint16_t>(qtKey);
  }
  for (const KeyPair& pair : kOtherKeys) {
    if (pair.qt == qtKey) return pair.vk;
  }
  return 0;
}

uint8_t ToShift(Qt::KeyboardModifiers modifiers) {
  uint8_t shift = platform::kNoShift;
  if (modifiers & Qt::ShiftModifier) shift |= platform::kShift;
  if (modifiers & Qt::ControlModifier) shift |= platform::kCtrl;
  if (modifiers & Qt::AltModifier) shift |= platform::kAlt;
  return shift;
}

bool IsModifierKey(int qtKey) {
  switch (qtKey) {
    case Qt::Key_Shift:
    case Qt::Key_Control:
    case Qt::Key_Alt:
    case Qt::Key_AltGr:
    case Qt::Key_Meta:
    case Qt::Key_Super_L:
    case Qt::Key_Super_R:
    case Qt::Key_Hyper_L:
    case Qt::Key_Hyper_R:
    case Qt::Key_CapsLock:
    case Qt::Key_NumLock:
    case Qt::Key_ScrollLock:
      return true;
    default:
      return false;
  }
}

QString FromBytes(std::string_view bytes) {
  return QString::fromLocal8Bit(bytes.data(), static_cast<qsizetype>(bytes.size()));
}

}  // namespace quelvar::qt
