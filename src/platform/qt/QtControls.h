#pragma once

#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <functional>
#include <optional>
#include <string>

#include "platform/Controls.h"

class QWidget;

namespace quelvar::qt {

class QtButton final : public platform::Button {
 public:
  QtButton(QWidget* parent, const platform::ControlSpec& spec);
  void SetCaption(std::string_view caption) override;
  std::string Caption() const override { return caption_; }
  void SetEnabled(bool enabled) override;
  bool Enabled() const override { return !widget_->testAttribute(Qt::WA_Disabled); }
  void SetVisible(bool visible) override { widget_->setVisible(visible); }
  bool Visible() const override { return !widget_->isHidden(); }
  QPushButton* Widget() const { return widget_; }
  // Runs when the button is about to be disabled while it has the keyboard focus, before Qt moves
  // the focus on by itself.
  std::function<void()> OnLosingFocus;

 private:
  QPushButton* widget_;
  std::string caption_;
};

// A label keeps the bytes it was given; the widget shows them decoded.
class QtLabel final : public platform::Label {
 public:
  QtLabel(QWidget* parent, const platform::ControlSpec& spec);
  void SetText(std::string_view text) override;
  std::string Text() const override { return text_; }
  QLabel* Widget() const { return widget_; }
  // Tells assistive technology the label's text, once, if it changed since it was last told. A
  // label that a running program rewrites a thousand times a second is told only now and then.
  void SyncAccessibleName();

 private:
  QLabel* widget_;
  std::string text_;
  bool nameStale_ = false;
};

// When a modal window closes, the window system may leave no window of the application active
// though the main window has the system's focus: the keyboard then reaches nothing. This makes
// `window` the active window again in that case, a few times over the next second.
void ReactivateAfterModal(QWidget* window);

// A precise timer, so that a 1 ms period gives close to a thousand ticks a second.
class QtTimer final : public platform::Timer {
 public:
  QtTimer(QObject* parent, int32_t period);
  QTimer* Native() const { return timer_; }

 protected:
  void Restart(int32_t period) override;

 private:
  QTimer* timer_;
};

// The Qt file dialog, not the desktop's own, so that it behaves the same everywhere and tests can
// drive it. It accepts any typed name without checking that it exists.
class QtOpenDialog final : public platform::OpenDialog {
 public:
  explicit QtOpenDialog(QWidget* parent) : parent_(parent) {}
  bool Execute() override;
  // The next Execute takes `name` as if the user had typed it, without showing the dialog: a
  // descriptor given on the command line is loaded this way.
  void ChooseOnce(std::string name) { chosen_ = std::move(name); }

 private:
  QWidget* parent_;
  QString Show();  // the chosen file, empty when cancelled

  std::optional<std::string> chosen_;
};

// "Description|pattern" pairs as Qt writes them: "Description (pattern)".
QString QtFilter(std::string_view filter);

}  // namespace quelvar::qt
