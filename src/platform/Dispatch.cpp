#include <cctype>
#include <exception>
#include <memory>
#include <new>
#include <stdexcept>

#include "platform/Toolkit.h"

namespace quelvar::platform {

std::string ErrorBoxText(std::string_view message) {
  std::string text(message);
  if (!text.empty() && static_cast<unsigned char>(text.back()) > '.') text += '.';
  return text;
}

std::string ApplicationTitle(std::string_view executablePath) {
  const size_t slash = executablePath.find_last_of('/');
  std::string_view name =
      slash == std::string_view::npos ? executablePath : executablePath.substr(slash + 1);
  name = name.substr(0, name.find('.'));
  std::string title(name);
  if (!title.empty())
    title[0] = static_cast<char>(std::toupper(static_cast<unsigned char>(title[0])));
  for (size_t i = 1; i < title.size(); ++i) {
    title[i] = static_cast<char>(std::tolower(static_cast<unsigned char>(title[i])));
  }
  return title;
}

void Toolkit::Dispatch(const Handler& handler) noexcept {
  try {
    // Quelvar's own failures carry their message. Anything else would show a C++ library's
    // inner text, which says nothing to a user: out of memory is said plainly, the rest is ours
    // to mend.
    try {
      handler();
    } catch (const std::runtime_error& failure) {
      ShowErrorBox(ErrorBoxText(failure.what()));
    } catch (const std::bad_alloc&) {
      ShowErrorBox(ErrorBoxText("Not enough memory"));
    } catch (...) {
      ShowErrorBox(ErrorBoxText("Internal error"));
    }
  } catch (...) {
    // The error box itself failed (out of memory, say): nothing is left to report it with, and
    // the event loop must go on.
  }
  EndBusy();
  EventEnded();
}

MenuItem& Toolkit::MenuItemNamed(std::string_view name) {
  return Named(menu_, name);
}

void Toolkit::BuildMenuAndKeys(const FormLayout& layout) {
  for (const ControlSpec& spec : layout.controls)
    takesKeys_[std::string(spec.name)] = spec.takesKeys;
  for (const MenuSpec& spec : layout.menu) {
    menu_[std::string(spec.name)] = std::make_unique<MenuItem>(MenuItem{spec, {}});
  }
  buttonKeys_ = layout.buttonKeys;
}

std::string_view Toolkit::ButtonOfKey(uint16_t key, uint8_t shift) const {
  for (const ButtonKey& bound : buttonKeys_) {
    if (bound.key == Shortcut{key, shift}) return bound.button;
  }
  return {};
}

void Toolkit::UserClick(std::string_view name) {
  const Button& button = ButtonNamed(name);
  if (button.Enabled() && button.Visible()) Dispatch(button.OnClick);
}

void Toolkit::ChooseMenuItem(std::string_view name) {
  const MenuItem& item = MenuItemNamed(name);
  Dispatch([&item] { item.Click(); });
}

void Toolkit::PressKey(uint16_t key, uint8_t shift, std::string_view focus) {
  const Shortcut pressed{key, shift};
  for (const auto& [name, item] : menu_) {
    if (item->spec.shortcut.key != 0 && item->spec.shortcut == pressed) {
      ChooseMenuItem(name);
      return;
    }
  }
  if (const std::string_view button = ButtonOfKey(key, shift); !button.empty()) {
    UserClick(button);
    return;
  }
  const auto control = takesKeys_.find(focus);
  if (focus.empty() || (control != takesKeys_.end() && control->second)) DispatchKey(key, shift);
}

void Toolkit::DispatchKey(uint16_t key, uint8_t shift) {
  if (keyHandler_) Dispatch([this, key, shift] { keyHandler_(key, shift); });
}

}  // namespace quelvar::platform
