#include "platform/qt/QtAnnouncer.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <chrono>

namespace quelvar::qt {
namespace {

class NotificationAccessible final : public QAccessibleWidget {
 public:
  explicit NotificationAccessible(NotificationWidget* widget)
      : QAccessibleWidget(widget, QAccessible::Notification) {}
  QString text(QAccessible::Text kind) const override {
    if (kind == QAccessible::Name) return static_cast<NotificationWidget*>(widget())->announcement;
    return QAccessibleWidget::text(kind);
  }
};

QAccessibleInterface* NotificationFactory(const QString&, QObject* object) {
  auto* widget = qobject_cast<NotificationWidget*>(object);
  return widget == nullptr ? nullptr : new NotificationAccessible(widget);
}

qint64 SteadyMilliseconds() {
  const auto now = std::chrono::steady_clock::now().time_since_epoch();
  return std::chrono::duration_cast<std::chrono::milliseconds>(now).count();
}

}  // namespace

QtAnnouncer::QtAnnouncer(QWidget* parent, std::function<void()> presenting, Clock clock)
    : QObject(parent),
      bubble_(nullptr),
      presenting_(std::move(presenting)),
      clock_(clock ? std::move(clock) : SteadyMilliseconds) {
  QAccessible::installFactory(NotificationFactory);  // Qt keeps one of each factory
  bubble_ = new NotificationWidget(parent);
  bubble_->setGeometry(0, 0, 1, 1);
  bubble_->setFocusPolicy(Qt::NoFocus);
  bubble_->setAttribute(Qt::WA_TransparentForMouseEvents);
  bubble_->hide();
  held_.setSingleShot(true);
  connect(&held_, &QTimer::timeout, this, [this] { Present(QString(pending_)); });
}

void QtAnnouncer::Announce(const QString& text, platform::Announcement kind) {
  if (kind == platform::Announcement::kProgress && lastAt_) {
    const qint64 since = clock_() - *lastAt_;
    if (since < kProgressGapMs) {
      pending_ = text;
      if (!held_.isActive()) held_.start(static_cast<int>(kProgressGapMs - since));
      return;
    }
  }
  Present(text);
}

// Hidden and shown again, the notification appears anew: AT-SPI reports it as showing, and a
// screen reader reads its name.
void QtAnnouncer::Present(const QString& text) {
  held_.stop();
  pending_.clear();
  if (presenting_) presenting_();
  bubble_->announcement = text;
  // Clients that keep the name they read before (pyatspi does) are told the new one first.
  if (QAccessible::isActive()) {
    QAccessibleEvent renamed(bubble_, QAccessible::NameChanged);
    QAccessible::updateAccessibility(&renamed);
  }
  bubble_->hide();
  bubble_->show();
  last_ = text;
  ++made_;
  lastAt_ = clock_();
}

}  // namespace quelvar::qt
