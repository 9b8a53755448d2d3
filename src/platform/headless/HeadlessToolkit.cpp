#include "platform/headless/HeadlessToolkit.h"

namespace quelvar::headless {

HeadlessToolkit::HeadlessToolkit(std::string title) : title_(std::move(title)) {}

void HeadlessToolkit::Build(const platform::FormLayout& layout) {
  using platform::ControlKind;
  for (const platform::ControlSpec& spec : layout.controls) {
    const std::string name(spec.name);
    takesKeys_[name] = spec.takesKeys;
    switch (spec.kind) {
      case ControlKind::Button:
        buttons_[name] = std::make_unique<HeadlessButton>(spec);
        break;
      case ControlKind::Label:
        labels_[name] = std::make_unique<HeadlessLabel>(spec);
        break;
      case ControlKind::ListBox:
        lists_[name] = std::make_unique<HeadlessListBox>(spec);
        break;
      case ControlKind::Bevel:
      case ControlKind::Image:
        break;
    }
  }
  for (const platform::MenuSpec& spec : layout.menu) {
    menu_[std::string(spec.name)] =
        std::make_unique<platform::MenuItem>(platform::MenuItem{spec, {}});
  }
  timer_ = std::make_unique<HeadlessTimer>(layout.timerInterval);
}

HeadlessButton& HeadlessToolkit::ButtonNamed(std::string_view name) {
  return platform::Named(buttons_, name);
}
HeadlessLabel& HeadlessToolkit::LabelNamed(std::string_view name) {
  return platform::Named(labels_, name);
}
HeadlessListBox& HeadlessToolkit::ListNamed(std::string_view name) {
  return platform::Named(lists_, name);
}
platform::MenuItem& HeadlessToolkit::MenuItemNamed(std::string_view name) {
  return platform::Named(menu_, name);
}

void HeadlessToolkit::Tick() {
  if (timer_->Running()) Dispatch(timer_->OnTimer);
}

void HeadlessToolkit::UserClick(std::string_view name) {
  const HeadlessButton& button = ButtonNamed(name);
  if (button.Enabled() && button.Visible()) Dispatch(button.OnClick);
}

void HeadlessToolkit::ChooseMenuItem(std::string_view name) {
  const platform::MenuItem& item = MenuItemNamed(name);
  Dispatch([&item] { item.Click(); });
}

void HeadlessToolkit::PressKey(uint16_t key, uint8_t shift, std::string_view focus) {
  const platform::Shortcut pressed{key, shift};
  for (const auto& named : menu_) {
    const platform::MenuItem* item = named.second.get();
    if (item->spec.shortcut.key != 0 && item->spec.shortcut == pressed) {
      Dispatch([item] { item->Click(); });
      return;
    }
  }
  const auto control = takesKeys_.find(focus);
  const bool takesKeys = focus.empty() || (control != takesKeys_.end() && control->second);
  if (takesKeys && keyHandler_) Dispatch([this, key, shift] { keyHandler_(key, shift); });
}

}  // namespace quelvar::headless
