#include "platform/headless/HeadlessToolkit.h"

namespace quelvar::headless {

HeadlessToolkit::HeadlessToolkit(std::string title) : title_(std::move(title)), dialog_(*this) {}

void HeadlessToolkit::Build(const platform::FormLayout& layout) {
  using platform::ControlKind;
  BuildMenuAndKeys(layout);
  for (const platform::ControlSpec& spec : layout.controls) {
    const std::string name(spec.name);
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

void HeadlessToolkit::Tick() {
  if (timer_->Running()) Dispatch(timer_->OnTimer);
}

}  // namespace quelvar::headless
