#pragma once

#include <QMainWindow>
#include <QObject>
#include <QSet>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "platform/Named.h"
#include "platform/Toolkit.h"
#include "platform/qt/QtAnnouncer.h"
#include "platform/qt/QtControls.h"
#include "platform/qt/QtListBox.h"

namespace quelvar::qt {

// The Qt 6 Widgets toolkit: one main window built from the form's description. Every event of
// Qt that reaches the form (a click, a menu item, a key, a tick) goes through Dispatch, so no
// failure ever crosses into Qt's event loop.
class QtToolkit final : public QObject, public platform::Toolkit {
  Q_OBJECT

 public:
  explicit QtToolkit(std::string title);
  ~QtToolkit() override;

  void Build(const platform::FormLayout& layout) override;
  QtButton& ButtonNamed(std::string_view name) override;
  QtLabel& LabelNamed(std::string_view name) override;
  QtListBox& ListNamed(std::string_view name) override;
  QtTimer& MainTimer() override { return *timer_; }
  QtOpenDialog& FileDialog() override { return *dialog_; }
  std::string Title() const override { return title_; }
  void ShowMessage(std::string_view text) override;
  void Close() override;
  void ShowBusy() override;
  bool ShowsBusy() const override { return true; }
  bool Announces() const override;
  void Announce(std::string_view text, platform::Announcement kind) override;

  QMainWindow* Window() const { return window_.get(); }
  QWidget* ClientArea() const { return client_; }
  void Show();
  // Once the event loop runs, `load` (the Load command) takes `descriptor` as if it had been
  // chosen in the open dialog.
  void LoadAtStart(std::string descriptor, platform::Handler load);
  QtAnnouncer& Announcer() const { return *announcer_; }

 protected:
  void ShowErrorBox(std::string_view text) override;
  void EndBusy() override;
  void EventEnded() override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  QWidget* BuildControl(const platform::ControlSpec& spec);
  void BuildMenu(std::span<const platform::MenuTitleSpec> menus,
                 std::span<const platform::MenuSpec> menu);
  void TakeKeys(QWidget* widget);
  void BuildButtonKeys(std::span<const platform::ButtonKey> keys);
  // The focused button `name` is being disabled: the focus goes to the button that takes its
  // command over, at once when that one is enabled, else once the event has ended.
  void HandFocusOn(std::string_view name);
  // Before an announcement: what a screen reader reads then is brought up to date.
  void ShowStateToAssistiveTechnology();

  std::string title_;
  std::unique_ptr<QMainWindow> window_;
  QWidget* client_ = nullptr;
  platform::NamedMap<QtButton> buttons_;
  platform::NamedMap<QtLabel> labels_;
  platform::NamedMap<QtListBox> lists_;
  QSet<const QObject*> keyTakers_;  // controls whose keys reach the form's key handler
  QWidget* firstFocus_ = nullptr;
  std::unique_ptr<QtTimer> timer_;
  std::unique_ptr<QtOpenDialog> dialog_;
  bool busy_ = false;
  QtAnnouncer* announcer_ = nullptr;  // owned by the client area
  std::span<const platform::FocusTakeover> takeovers_;
  std::span<const std::string_view> focusWanted_;  // buttons to hand the focus to, in order
  bool inTick_ = false;
};

}  // namespace quelvar::qt
