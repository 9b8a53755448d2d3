#pragma once

#include <memory>
#include <string>
#include <vector>

#include "platform/Named.h"
#include "platform/Toolkit.h"
#include "platform/headless/HeadlessControls.h"

namespace quelvar::headless {

struct MessageBox {
  std::string caption;
  std::string text;
  friend bool operator==(const MessageBox&, const MessageBox&) = default;
};

// The toolkit in memory: every control records its state, modal boxes are recorded instead of
// shown, and events (ticks, clicks, menu items, keys) come only when a caller fires them. Tests
// drive the form with it, and so does the batch runner.
class HeadlessToolkit final : public platform::Toolkit {
 public:
  explicit HeadlessToolkit(std::string title = "Quelvar");

  void Build(const platform::FormLayout& layout) override;
  HeadlessButton& ButtonNamed(std::string_view name) override;
  HeadlessLabel& LabelNamed(std::string_view name) override;
  HeadlessListBox& ListNamed(std::string_view name) override;
  HeadlessTimer& MainTimer() override { return *timer_; }
  HeadlessOpenDialog& FileDialog() override { return dialog_; }
  std::string Title() const override { return title_; }
  void ShowMessage(std::string_view text) override {
    messages_.push_back({title_, std::string(text)});
  }
  void Close() override { closed_ = true; }
  void ShowBusy() override { ++busy_; }
  bool ShowsBusy() const override { return showsBusy_; }
  bool Announces() const override { return announces_; }
  void Announce(std::string_view text, platform::Announcement kind) override {
    announcements_.push_back({std::string(text), kind});
  }

  // A tick, run under the toolkit's guard as the real event loop would run it (clicks, menu items
  // and keys come through Toolkit's UserClick, ChooseMenuItem and PressKey).
  void Tick();

  const std::vector<MessageBox>& ErrorBoxes() const { return errors_; }
  const std::vector<MessageBox>& Messages() const { return messages_; }
  bool Closed() const { return closed_; }
  // How many events have shown that they were busy.
  int BusyShown() const { return busy_; }
  // Busy events are recorded unless the caller shows nothing for them (the batch runner).
  void IgnoreBusy() { showsBusy_ = false; }
  // Announcements to assistive technology are recorded once a test asks for them; the batch
  // runner never does, so its runs make none.
  struct Said {
    std::string text;
    platform::Announcement kind;
  };
  void RecordAnnouncements() { announces_ = true; }
  const std::vector<Said>& Announcements() const { return announcements_; }

 protected:
  void ShowErrorBox(std::string_view text) override {
    errors_.push_back({title_, std::string(text)});
  }

 private:
  std::string title_;
  platform::NamedMap<HeadlessButton> buttons_;
  platform::NamedMap<HeadlessLabel> labels_;
  platform::NamedMap<HeadlessListBox> lists_;
  std::unique_ptr<HeadlessTimer> timer_;
  HeadlessOpenDialog dialog_;
  std::vector<MessageBox> errors_;
  std::vector<MessageBox> messages_;
  bool closed_ = false;
  int busy_ = 0;
  bool showsBusy_ = true;
  bool announces_ = false;
  std::vector<Said> announcements_;
};

}  // namespace quelvar::headless
