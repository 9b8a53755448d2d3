#pragma once

#include <QObject>
#include <QString>
#include <QTimer>
#include <QWidget>
#include <functional>
#include <optional>

#include "platform/Toolkit.h"

namespace quelvar::qt {

// The widget that carries the notification; its accessible object reports the role Notification
// and the announcement as its name.
class NotificationWidget final : public QWidget {
  Q_OBJECT

 public:
  using QWidget::QWidget;
  QString announcement;
};

// What a screen reader is told of a run (an addition): each announcement is shown as a
// notification, an object that AT-SPI reports when it appears and that Orca reads out, politely,
// without moving the focus. Steps and commands are told at once; the steps of a running program at
// most once a second, the latest one; the end of a run at once, in place of any held back.
class QtAnnouncer final : public QObject {
  Q_OBJECT

 public:
  static constexpr int kProgressGapMs = 1000;

  // Milliseconds on a clock that never goes back: when announcements are made.
  using Clock = std::function<qint64()>;

  // The notification lives in `parent`, where it takes no room and never the focus. `presenting`
  // runs right before each announcement is made, so that what a screen reader can read then (the
  // current line, the labels) is up to date. `clock` is the steady clock unless a test gives one.
  QtAnnouncer(QWidget* parent, std::function<void()> presenting, Clock clock = {});

  void Announce(const QString& text, platform::Announcement kind);
  // The text of the announcement made last, and how many were made.
  QString Last() const { return last_; }
  int Made() const { return made_; }

 private:
  void Present(const QString& text);

  NotificationWidget* bubble_;
  std::function<void()> presenting_;
  QTimer held_;  // fires when a held-back announcement is due
  QString pending_;
  Clock clock_;
  std::optional<qint64> lastAt_;  // when the last announcement was made
  QString last_;
  int made_ = 0;
};

}  // namespace quelvar::qt
