#include "platform/qt/QtControls.h"

#include <unistd.h>

#include <QApplication>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QStringList>
#include <stdexcept>

#include "platform/File.h"
#include "platform/qt/QtConvert.h"

namespace quelvar::qt {

QtButton::QtButton(QWidget* parent, const platform::ControlSpec& spec)
    : widget_(new QPushButton(parent)), caption_(spec.text) {
  widget_->setGeometry(spec.left, spec.top, spec.width, spec.height);
  widget_->setText(FromBytes(caption_));
  widget_->setEnabled(spec.enabled);
  widget_->setAutoDefault(false);
  if (!spec.visible) {
    // A hidden button is only ever clicked from code: it can never be seen, focused or clicked.
    widget_->hide();
    widget_->setFocusPolicy(Qt::NoFocus);
  }
}

void QtButton::SetEnabled(bool enabled) {
  if (!enabled && widget_->hasFocus() && OnLosingFocus) OnLosingFocus();
  widget_->setEnabled(enabled);
}

void QtButton::SetCaption(std::string_view caption) {
  caption_ = caption;
  widget_->setText(FromBytes(caption_));
}

QtLabel::QtLabel(QWidget* parent, const platform::ControlSpec& spec)
    : widget_(new QLabel(parent)), text_(spec.text) {
  widget_->move(spec.left, spec.top);
  widget_->setText(FromBytes(text_));
  widget_->setTextFormat(Qt::PlainText);
  widget_->adjustSize();
  if (text_.empty()) widget_->resize(spec.width, spec.height);
  // With a name of its own, the label no longer tells assistive technology of every new text.
  widget_->setAccessibleName(FromBytes(text_));
}

void QtLabel::SetText(std::string_view text) {
  if (text == text_) return;
  text_.assign(text);
  widget_->setText(FromBytes(text_));
  widget_->adjustSize();
  nameStale_ = true;
}

void QtLabel::SyncAccessibleName() {
  if (!nameStale_) return;
  nameStale_ = false;
  widget_->setAccessibleName(FromBytes(text_));
}

void ReactivateAfterModal(QWidget* window) {
  for (const int after : {0, 50, 250, 1000}) {
    QTimer::singleShot(after, window, [window] {
      if (QApplication::activeWindow() == nullptr && window->windowHandle() != nullptr &&
          QGuiApplication::focusWindow() == window->windowHandle()) {
        QApplication::setActiveWindow(window);
      }
    });
  }
}

QtTimer::QtTimer(QObject* parent, int32_t period) : Timer(period), timer_(new QTimer(parent)) {
  timer_->setTimerType(Qt::PreciseTimer);
  timer_->start(period);
}

void QtTimer::Restart(int32_t period) {
  timer_->start(period);
  if (!timer_->isActive()) throw std::runtime_error("Not enough timers available");
}

QString QtFilter(std::string_view filter) {
  QStringList entries;
  const QStringList parts = FromBytes(filter).split('|');
  for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
    entries << parts[i] + " (" + parts[i + 1] + ")";
  }
  return entries.join(";;");
}

// A name chosen in the dialog or given at start-up keeps its bytes, also those that are not
// UTF-8: the dialog's own names go back to bytes as Qt made them from bytes (QFile::encodeName),
// and a name from the command line is never converted at all.
bool QtOpenDialog::Execute() {
  if (chosen_) {
    FileName = platform::AbsoluteName(*chosen_);
    chosen_.reset();
  } else {
    const QString chosen = Show();
    if (chosen.isEmpty()) return false;
    FileName = QFile::encodeName(QFileInfo(chosen).absoluteFilePath()).toStdString();
  }
  // As the desktop's dialog does, the chosen file's folder becomes the working directory.
  platform::EnterFolderOf(FileName);
  return true;
}

QString QtOpenDialog::Show() {
  QFileDialog dialog(parent_);
  dialog.setOption(QFileDialog::DontUseNativeDialog);
  dialog.setFileMode(QFileDialog::AnyFile);
  dialog.setAcceptMode(QFileDialog::AcceptOpen);
  dialog.setNameFilter(QtFilter(Filter));
  if (!FileName.empty()) dialog.selectFile(FromBytes(FileName));
  const bool accepted = dialog.exec() == QDialog::Accepted;
  ReactivateAfterModal(parent_);
  if (!accepted || dialog.selectedFiles().isEmpty()) return {};
  return dialog.selectedFiles().constFirst();
}

}  // namespace quelvar::qt
