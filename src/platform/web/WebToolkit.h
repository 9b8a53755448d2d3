#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <string>

#include "platform/LineStore.h"
#include "platform/Named.h"
#include "platform/Toolkit.h"
#include "platform/web/WebAnnouncer.h"

namespace quelvar::web {

class WebButton final : public platform::Button {
 public:
  explicit WebButton(const platform::ControlSpec& spec);
  void SetCaption(std::string_view caption) override;
  std::string Caption() const override { return caption_; }
  void SetEnabled(bool enabled) override;
  bool Enabled() const override { return enabled_; }
  void SetVisible(bool visible) override { visible_ = visible; }
  bool Visible() const override { return visible_; }
  // Runs when the button is about to be disabled while it has the keyboard focus, which the
  // browser would otherwise drop to the page's body.
  std::function<void()> OnLosingFocus;

 private:
  std::string name_;
  std::string caption_;
  bool enabled_;
  bool visible_;
};

class WebLabel final : public platform::Label {
 public:
  explicit WebLabel(const platform::ControlSpec& spec) : name_(spec.name), text_(spec.text) {}
  void SetText(std::string_view text) override;
  std::string Text() const override { return text_; }

 private:
  std::string name_;
  std::string text_;
};

// The lines live here; the page asks for the ones in view, so a list of any length costs the
// page a screenful of rows. Changes reach the page in one call when the event ends, or before the
// list is next drawn on, never one a line: a load of millions of lines is one call.
class WebListBox final : public platform::ListBox {
 public:
  static constexpr int32_t kRowHeight = 13;
  explicit WebListBox(const platform::ControlSpec& spec) : name_(spec.name), width_(spec.width) {}
  void Clear() override;
  void Append(std::string_view text) override;
  void Replace(int32_t j, std::string_view text) override;
  int32_t Count() const override { return static_cast<int32_t>(lines_.Count()); }
  int32_t Selected() const override { return selected_; }
  void FrameRect(const platform::Rect& rect) override;
  void RepaintNow() override;

  void Select(int32_t row) { selected_ = row; }
  std::string_view Row(int32_t row) const { return lines_.Line(static_cast<size_t>(row)); }
  // Tells the page of the changes since it last heard, if any.
  void ShowChanges();

 protected:
  std::string_view LineAt(int32_t j) const override { return lines_.Line(static_cast<size_t>(j)); }
  platform::Rect ItemRect(int32_t j) const override {
    return {0, int64_t{j} * kRowHeight, width_, (int64_t{j} + 1) * kRowHeight};
  }

 private:
  std::string name_;
  int32_t width_;
  platform::LineStore lines_;
  int32_t selected_ = -1;
  bool changed_ = false;
  bool cleared_ = false;
};

// The page's clock delivers the ticks: on each frame, as many as whole periods have passed.
class WebTimer final : public platform::Timer {
 public:
  explicit WebTimer(int32_t period) : Timer(period) {}
  bool restarted = true;  // the next tick is due one period after the frame that sees this

 protected:
  void Restart(int32_t) override { restarted = true; }
};

// The page shows its own dialog before Load runs; Load then takes the name chosen there, or
// finds the dialog cancelled.
class WebOpenDialog final : public platform::OpenDialog {
 public:
  bool Execute() override;
  void ChooseOnce(std::string name) { chosen_ = std::move(name); }

 private:
  std::optional<std::string> chosen_;
};

class WebToolkit final : public platform::Toolkit {
 public:
  explicit WebToolkit(std::string title) : title_(std::move(title)) {}

  void Build(const platform::FormLayout& layout) override;
  WebButton& ButtonNamed(std::string_view name) override { return platform::Named(buttons_, name); }
  WebLabel& LabelNamed(std::string_view name) override { return platform::Named(labels_, name); }
  WebListBox& ListNamed(std::string_view name) override { return platform::Named(lists_, name); }
  WebTimer& MainTimer() override { return *timer_; }
  WebOpenDialog& FileDialog() override { return dialog_; }
  std::string Title() const override { return title_; }
  void ShowMessage(std::string_view text) override;
  bool ShowsBusy() const override { return false; }  // the page shows no busy state
  void Close() override {}
  // Anybody may listen: the page cannot tell whether a screen reader does.
  bool Announces() const override { return true; }
  void Announce(std::string_view text, platform::Announcement kind) override;

  // Clicks, menu items and keys that the page reports come through Toolkit's UserClick,
  // ChooseMenuItem and PressKey. Delivers the ticks due by `now` (milliseconds), at most a bounded
  // number, so that a page that was hidden does not wake to a burst.
  void Frame(double now);
  // Every event from the page ends here: the lists hand the page what changed.
  void ShowChanges();

 protected:
  void ShowErrorBox(std::string_view text) override;
  void EventEnded() override;

 private:
  // The focused button `name` is being disabled: once the event has ended, the focus goes to the
  // first enabled button of those that take its command over (FormLayout::focusTakeovers).
  void HandFocusOn(std::string_view name);

  std::string title_;
  platform::NamedMap<WebButton> buttons_;
  platform::NamedMap<WebLabel> labels_;
  platform::NamedMap<WebListBox> lists_;
  std::unique_ptr<WebTimer> timer_;
  WebOpenDialog dialog_;
  double nextTick_ = -1;
  double now_ = 0;  // the page's clock at the last frame
  WebAnnouncer announcer_;
  std::span<const platform::FocusTakeover> takeovers_;
  std::span<const std::string_view> focusWanted_;  // buttons to hand the focus to, in order
};

}  // namespace quelvar::web
