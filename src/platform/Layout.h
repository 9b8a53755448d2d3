#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace quelvar::platform {

// Modifier keys held with a key, as bit flags.
enum Shift : uint8_t { kNoShift = 0, kShift = 1, kAlt = 2, kCtrl = 4 };

// Virtual-key codes of the keys the window binds.
inline constexpr uint16_t kKeyF1 = 112;
inline constexpr uint16_t kKeyF3 = 114;
inline constexpr uint16_t kKeyF6 = 117;
inline constexpr uint16_t kKeyF7 = 118;
inline constexpr uint16_t kKeyF8 = 119;
inline constexpr uint16_t kKeyF9 = 120;
inline constexpr uint16_t kKeyF24 = 135;

struct Shortcut {
  uint16_t key = 0;  // 0: none
  uint8_t shift = kNoShift;
  friend bool operator==(const Shortcut&, const Shortcut&) = default;
};

enum class ControlKind { Button, Label, ListBox, Bevel, Image };

// One control of the window, as a form file describes it.
struct ControlSpec {
  std::string_view name;
  ControlKind kind;
  int32_t left, top, width, height;
  std::string_view text;
  bool enabled = true;
  bool visible = true;
  bool takesKeys = false;  // the form's key handler sees keys while this control has the focus
  // What a screen reader calls a control whose text does not say it (the lists, the logo).
  std::string_view accessibleName = {};
};

// One item of the main menu; a caption of "-" is a separator. `mnemonic` is the position in the
// caption of the letter that Alt selects the item with, -1 for none.
struct MenuSpec {
  std::string_view name;
  std::string_view menu;
  std::string_view caption;
  Shortcut shortcut;
  int8_t mnemonic = -1;
};

// A menu of the menu bar, with the position of its mnemonic letter.
struct MenuTitleSpec {
  std::string_view title;
  int8_t mnemonic;
};

// When the focused button `from` disables itself, the keyboard focus goes to the first enabled
// button of `to`, the one that carries the command on, and never to a command that ends or
// restarts the run (which the next Space would press).
struct FocusTakeover {
  std::string_view from;
  std::span<const std::string_view> to;
};

// A key that presses a button as a click of the user would (nothing when it is disabled); an
// addition for keys the menu leaves free.
struct ButtonKey {
  Shortcut key;
  std::string_view button;
};

struct FormLayout {
  std::string_view caption;
  int32_t left, top, clientWidth, clientHeight;
  std::span<const ControlSpec> controls;
  std::span<const MenuTitleSpec> menus;
  std::span<const MenuSpec> menu;
  // The controls Tab moves the focus through, first to last.
  std::span<const std::string_view> tabOrder;
  int32_t timerInterval;
  std::span<const FocusTakeover> focusTakeovers = {};
  std::span<const ButtonKey> buttonKeys = {};
};

// A caption with its mnemonic marked by '&' before the letter, as menus show it; a '&' of the
// caption itself is doubled.
std::string MarkedCaption(std::string_view caption, int8_t mnemonic);

// A shortcut as menus show it: "F3", "Ctrl+X", "Shift+F9".
std::string ShortcutText(Shortcut shortcut);

}  // namespace quelvar::platform
