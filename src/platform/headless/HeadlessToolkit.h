#pragma once

#include <map>
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
  platform::MenuItem& MenuItemNamed(std::string_view name) override;
  HeadlessTimer& MainTimer() override { return *timer_; }
  HeadlessOpenDialog& FileDialog() override { return dialog_; }
  void SetKeyHandler(platform::KeyHandler handler) override { keyHandler_ = std::move(handler); }
  std::string Title() const override { return title_; }
  void ShowMessage(std::string_view text) override {
    messages_.push_back({title_, std::string(text)});
  }
  void Close() override { closed_ = true; }
  void ShowBusy() override { ++busy_; }

  // Events, each run under the toolkit's guard as the real event loop would run it.
  void Tick();
  // A user's click: it does nothing on a disabled or hidden button.
  void UserClick(std::string_view button);
  void ChooseMenuItem(std::string_view item);
  // A key pressed while `focus` (a control's name, or "" for the window itself) has the focus:
  // shortcuts first, then the key handler where the focused control takes keys.
  void PressKey(uint16_t key, uint8_t shift, std::string_view focus = "");

  const std::vector<MessageBox>& ErrorBoxes() const { return errors_; }
  const std::vector<MessageBox>& Messages() const { return messages_; }
  bool Closed() const { return closed_; }
  // How many events have shown that they were busy.
  int BusyShown() const { return busy_; }

 protected:
  void ShowErrorBox(std::string_view text) override {
    errors_.push_back({title_, std::string(text)});
  }

 private:
  std::string title_;
  platform::NamedMap<HeadlessButton> buttons_;
  platform::NamedMap<HeadlessLabel> labels_;
  platform::NamedMap<HeadlessListBox> lists_;
  platform::NamedMap<platform::MenuItem> menu_;
  std::map<std::string, bool, std::less<>> takesKeys_;
  std::unique_ptr<HeadlessTimer> timer_;
  HeadlessOpenDialog dialog_;
  platform::KeyHandler keyHandler_;
  std::vector<MessageBox> errors_;
  std::vector<MessageBox> messages_;
  bool closed_ = false;
  int busy_ = 0;
};

}  // namespace quelvar::headless
