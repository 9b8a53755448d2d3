#include "platform/web/WebToolkit.h"

#include <cstdio>

#include "platform/File.h"
#include "platform/web/WebPage.h"

namespace quelvar::web {
namespace {

// At most this many ticks a frame: a tab that was hidden resumes its run, it does not catch up.
constexpr int kMostTicksAFrame = 100;

std::string CssColour(platform::Color color) {
  if (color.buttonFace) return {};
  char text[8];
  std::snprintf(text, sizeof text, "#%06x", static_cast<unsigned>(color.rgb & 0xFFFFFF));
  return text;
}

}  // namespace

WebButton::WebButton(const platform::ControlSpec& spec)
    : name_(spec.name), caption_(spec.text), enabled_(spec.enabled), visible_(spec.visible) {}

void WebButton::SetCaption(std::string_view caption) {
  caption_ = caption;
  page::SetText(name_, caption_);
}

void WebButton::SetEnabled(bool enabled) {
  if (enabled == enabled_) return;
  if (!enabled && OnLosingFocus && page::HasFocus(name_)) OnLosingFocus();
  enabled_ = enabled;
  page::SetEnabled(name_, enabled);
}

void WebLabel::SetText(std::string_view text) {
  text_ = text;
  page::SetText(name_, text_);
}

void WebListBox::Clear() {
  lines_.Clear();
  selected_ = -1;
  changed_ = true;
  cleared_ = true;
}

void WebListBox::Append(std::string_view text) {
  lines_.Append(text);
  changed_ = true;
}

void WebListBox::Replace(int32_t j, std::string_view text) {
  if (j == Count()) {
    Append(text);
    return;
  }
  lines_.Replace(static_cast<size_t>(j), text);
  changed_ = true;
}

// An outline in the list's own background colour erases the one on its row.
void WebListBox::FrameRect(const platform::Rect& rect) {
  if (rect.Empty() || rect.top < 0) return;
  ShowChanges();
  page::Outline(name_, static_cast<int32_t>(rect.top / kRowHeight), CssColour(BrushColor()));
}

void WebListBox::RepaintNow() {
  ShowChanges();
  page::RepaintList(name_);
}

void WebListBox::ShowChanges() {
  if (!changed_) return;
  page::ListChanged(name_, Count(), cleared_);
  changed_ = false;
  cleared_ = false;
}

// As on the desktop, the name is made absolute and the chosen file's folder becomes the working
// directory, where the descriptor's names are then found.
bool WebOpenDialog::Execute() {
  if (!chosen_) return false;
  FileName = platform::AbsoluteName(*chosen_);
  chosen_.reset();
  platform::EnterFolderOf(FileName);
  return true;
}

void WebToolkit::Build(const platform::FormLayout& layout) {
  using platform::ControlKind;
  page::SetTitle(layout.caption);
  BuildMenuAndKeys(layout);
  for (const platform::ControlSpec& spec : layout.controls) {
    const std::string name(spec.name);
    page::Create(spec.name, static_cast<int>(spec.kind), spec.left, spec.top, spec.width,
                 spec.height, spec.text, spec.enabled, spec.visible, spec.accessibleName);
    switch (spec.kind) {
      case ControlKind::Button:
        buttons_[name] = std::make_unique<WebButton>(spec);
        buttons_[name]->OnLosingFocus = [this, name] { HandFocusOn(name); };
        break;
      case ControlKind::Label:
        labels_[name] = std::make_unique<WebLabel>(spec);
        break;
      case ControlKind::ListBox:
        lists_[name] = std::make_unique<WebListBox>(spec);
        break;
      default:
        break;
    }
  }
  for (const platform::MenuTitleSpec& menu : layout.menus) {
    page::AddMenu(menu.title, menu.mnemonic);
  }
  for (const platform::MenuSpec& spec : layout.menu) {
    page::AddMenuItem(spec.name, spec.menu, spec.caption, spec.mnemonic,
                      platform::ShortcutText(spec.shortcut));
  }
  // Tab goes through the controls in the window's order; the first has the focus at start.
  for (const std::string_view name : layout.tabOrder) page::PlaceInTabOrder(name);
  page::Focus(layout.tabOrder.front());
  takeovers_ = layout.focusTakeovers;
  timer_ = std::make_unique<WebTimer>(layout.timerInterval);
}

void WebToolkit::Announce(std::string_view text, platform::Announcement kind) {
  announcer_.Announce(text, kind, now_);
}

void WebToolkit::HandFocusOn(std::string_view name) {
  for (const platform::FocusTakeover& takeover : takeovers_) {
    if (takeover.from == name) {
      focusWanted_ = takeover.to;
      return;
    }
  }
}

// Commands enable and disable buttons in any order within an event: the button that takes the
// focus over is looked for only once they are all done.
void WebToolkit::EventEnded() {
  const std::span<const std::string_view> wanted = focusWanted_;
  focusWanted_ = {};
  for (const std::string_view next : wanted) {
    const WebButton& button = ButtonNamed(next);
    if (button.Enabled() && button.Visible()) {
      page::Focus(next);
      return;
    }
  }
}

void WebToolkit::ShowMessage(std::string_view text) {
  page::ShowBox(title_, text, false);
}

void WebToolkit::ShowErrorBox(std::string_view text) {
  page::ShowBox(title_, text, true);
}

void WebToolkit::ShowChanges() {
  for (const auto& [name, list] : lists_) list->ShowChanges();
}

void WebToolkit::Frame(double now) {
  now_ = now;
  announcer_.Frame(now);
  if (timer_->restarted || nextTick_ < 0) {
    timer_->restarted = false;
    nextTick_ = now + timer_->Period();
    return;
  }
  for (int ticks = 0; now >= nextTick_ && ticks < kMostTicksAFrame; ++ticks) {
    nextTick_ += timer_->Period();
    Dispatch(timer_->OnTimer);
    if (timer_->restarted) {
      timer_->restarted = false;
      nextTick_ = now + timer_->Period();
    }
  }
  if (now >= nextTick_) nextTick_ = now + timer_->Period();
}

}  // namespace quelvar::web
