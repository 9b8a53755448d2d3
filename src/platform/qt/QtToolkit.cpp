#include "platform/qt/QtToolkit.h"

#include <QAccessible>
#include <QAction>
#include <QApplication>
#include <QFontDatabase>
#include <QFontMetrics>
#include <QFrame>
#include <QKeyEvent>
#include <QMenuBar>
#include <QMessageBox>
#include <QPixmap>
#include <QScreen>
#include <QScrollArea>
#include <QTimer>

#include "platform/qt/QtArt.h"
#include "platform/qt/QtConvert.h"

namespace quelvar::qt {
namespace {

// "MS Sans Serif" where it is installed, else a sans-serif font of the same 11-pixel height;
// narrow faces first, since the layout was made for that font's widths.
QFont WindowFont() {
  QString family = "Sans Serif";
  for (const char* candidate :
       {"MS Sans Serif", "Liberation Sans", "Arimo", "DejaVu Sans Condensed"}) {
    if (QFontDatabase::hasFamily(candidate)) {
      family = candidate;
      break;
    }
  }
  QFont font(family);
  font.setStyleHint(QFont::SansSerif);
  font.setPixelSize(11);
  return font;
}

}  // namespace

QtToolkit::QtToolkit(std::string title) : title_(std::move(title)) {}

QtToolkit::~QtToolkit() = default;

// The wait cursor shows at once: Qt hands a cursor change to the window system right away, so it
// is seen while the event goes on.
void QtToolkit::ShowBusy() {
  if (busy_) return;
  busy_ = true;
  QApplication::setOverrideCursor(Qt::WaitCursor);
}

void QtToolkit::EndBusy() {
  if (!busy_) return;
  busy_ = false;
  QApplication::restoreOverrideCursor();
}

bool QtToolkit::Announces() const {
  return QAccessible::isActive();
}

void QtToolkit::Announce(std::string_view text, platform::Announcement kind) {
  announcer_->Announce(FromBytes(text), kind);
}

// The program list's current item follows the framed line, and the labels say their texts.
void QtToolkit::ShowStateToAssistiveTechnology() {
  for (const auto& [name, list] : lists_) list->View()->MakeFramedRowCurrent();
  for (const auto& [name, label] : labels_) label->SyncAccessibleName();
}

void QtToolkit::HandFocusOn(std::string_view name) {
  for (const platform::FocusTakeover& takeover : takeovers_) {
    if (takeover.from != name) continue;
    for (const std::string_view next : takeover.to) {
      QPushButton* button = ButtonNamed(next).Widget();
      if (button->isEnabled() && button->isVisible()) {
        button->setFocus(Qt::OtherFocusReason);
        return;
      }
    }
    // Held on the window itself until the event has ended, when the next button may be enabled.
    focusWanted_ = takeover.to;
    client_->setFocus(Qt::OtherFocusReason);
    return;
  }
}

// A tick ends a thousand times a second while a program runs: the labels are told of their texts
// then only with an announcement.
void QtToolkit::EventEnded() {
  if (!inTick_) {
    for (const auto& [name, label] : labels_) label->SyncAccessibleName();
  }
  if (focusWanted_.empty()) return;
  const std::span<const std::string_view> wanted = focusWanted_;
  focusWanted_ = {};
  if (QApplication::focusWidget() != client_) return;  // the user has moved it meanwhile
  for (const std::string_view next : wanted) {
    QPushButton* button = ButtonNamed(next).Widget();
    if (button->isEnabled() && button->isVisible()) {
      button->setFocus(Qt::OtherFocusReason);
      return;
    }
  }
}

void QtToolkit::LoadAtStart(std::string descriptor, platform::Handler load) {
  dialog_->ChooseOnce(std::move(descriptor));
  QTimer::singleShot(0, this, [this, load = std::move(load)] { Dispatch(load); });
}

void QtToolkit::Build(const platform::FormLayout& layout) {
  window_ = std::make_unique<QMainWindow>();
  window_->setWindowTitle(FromBytes(layout.caption));
  window_->setWindowIcon(QuelvarIcon());
  window_->setFont(WindowFont());
  QPalette palette = window_->palette();
  palette.setColor(QPalette::Window, palette.color(QPalette::Button));
  palette.setColor(QPalette::Base, palette.color(QPalette::Button));
  window_->setPalette(palette);

  // Controls stand where the description puts them; a smaller window scrolls instead of moving
  // them, a larger one shows more background.
  auto* scroll = new QScrollArea(window_.get());
  scroll->setFrameShape(QFrame::NoFrame);
  scroll->setFocusPolicy(Qt::NoFocus);
  scroll->setWidgetResizable(false);
  client_ = new QWidget;
  client_->setFixedSize(layout.clientWidth, layout.clientHeight);
  announcer_ = new QtAnnouncer(client_, [this] { ShowStateToAssistiveTechnology(); });
  takeovers_ = layout.focusTakeovers;
  scroll->setWidget(client_);
  window_->setCentralWidget(scroll);

  std::map<std::string_view, QWidget*> widgets;
  for (const platform::ControlSpec& spec : layout.controls) widgets[spec.name] = BuildControl(spec);
  BuildMenuAndKeys(layout);
  BuildMenu(layout.menus, layout.menu);
  BuildButtonKeys(layout.buttonKeys);
  for (size_t i = 0; i + 1 < layout.tabOrder.size(); ++i) {
    QWidget::setTabOrder(widgets.at(layout.tabOrder[i]), widgets.at(layout.tabOrder[i + 1]));
  }
  firstFocus_ = widgets.at(layout.tabOrder.front());
  TakeKeys(window_.get());
  TakeKeys(scroll);
  TakeKeys(client_);

  timer_ = std::make_unique<QtTimer>(window_.get(), layout.timerInterval);
  connect(timer_->Native(), &QTimer::timeout, this, [this] {
    inTick_ = true;
    Dispatch(timer_->OnTimer);
    inTick_ = false;
  });
  dialog_ = std::make_unique<QtOpenDialog>(window_.get());

  window_->move(layout.left, layout.top);
  window_->resize(layout.clientWidth,
                  layout.clientHeight + window_->menuBar()->sizeHint().height());
}

QWidget* QtToolkit::BuildControl(const platform::ControlSpec& spec) {
  using platform::ControlKind;
  const std::string name(spec.name);
  QWidget* widget = nullptr;
  switch (spec.kind) {
    case ControlKind::Button: {
      auto button = std::make_unique<QtButton>(client_, spec);
      widget = button->Widget();
      QtButton* raw = button.get();
      connect(raw->Widget(), &QPushButton::clicked, this, [this, raw] { Dispatch(raw->OnClick); });
      raw->OnLosingFocus = [this, name] { HandFocusOn(name); };
      raw->Widget()->installEventFilter(this);
      buttons_[name] = std::move(button);
      break;
    }
    case ControlKind::Label: {
      auto label = std::make_unique<QtLabel>(client_, spec);
      widget = label->Widget();
      labels_[name] = std::move(label);
      break;
    }
    case ControlKind::ListBox: {
      auto list = std::make_unique<QtListBox>(client_, spec);
      widget = list->View();
      lists_[name] = std::move(list);
      break;
    }
    case ControlKind::Bevel: {
      // An etched line along the top edge.
      auto* line = new QFrame(client_);
      line->setFrameStyle(QFrame::HLine | QFrame::Sunken);
      line->setGeometry(spec.left, spec.top, spec.width, 2);
      widget = line;
      break;
    }
    case ControlKind::Image: {
      auto* image = new QLabel(client_);
      image->setPixmap(QPixmap::fromImage(QuelvarLogo()));
      image->setScaledContents(true);
      image->setGeometry(spec.left, spec.top, spec.width, spec.height);
      widget = image;
      break;
    }
  }
  widget->setObjectName(
      QString::fromUtf8(spec.name.data(), static_cast<qsizetype>(spec.name.size())));
  // Buttons and labels are named by their text, which Qt tells a screen reader by itself.
  if (!spec.accessibleName.empty()) widget->setAccessibleName(FromBytes(spec.accessibleName));
  if (spec.takesKeys) TakeKeys(widget);
  return widget;
}

void QtToolkit::BuildMenu(std::span<const platform::MenuTitleSpec> menus,
                          std::span<const platform::MenuSpec> menu) {
  for (const platform::MenuTitleSpec& title : menus) {
    QMenu* bar = window_->menuBar()->addMenu(
        FromBytes(platform::MarkedCaption(title.title, title.mnemonic)));
    for (const platform::MenuSpec& spec : menu) {
      if (spec.menu != title.title) continue;
      if (spec.caption == "-") {
        bar->addSeparator();
        continue;
      }
      QAction* action =
          bar->addAction(FromBytes(platform::MarkedCaption(spec.caption, spec.mnemonic)));
      action->setShortcut(ToKeySequence(spec.shortcut));
      action->setShortcutContext(Qt::WindowShortcut);
      const std::string name(spec.name);
      connect(action, &QAction::triggered, this, [this, name] { ChooseMenuItem(name); });
    }
  }
}

// Keys that press a button (F8, the Pause toggle) act wherever the focus is in the window, as the
// menu's shortcuts do, without a menu item of their own.
void QtToolkit::BuildButtonKeys(std::span<const platform::ButtonKey> keys) {
  for (const platform::ButtonKey& bound : keys) {
    auto* action = new QAction(window_.get());
    action->setShortcut(ToKeySequence(bound.key));
    action->setShortcutContext(Qt::WindowShortcut);
    window_->addAction(action);
    const std::string name(bound.button);
    connect(action, &QAction::triggered, this, [this, name] { UserClick(name); });
  }
}

void QtToolkit::TakeKeys(QWidget* widget) {
  keyTakers_.insert(widget);
  widget->installEventFilter(this);
}

// Keys that no shortcut took reach the form's key handler, but only for the control that has
// the focus (or the window itself, when nothing in it has): a key that a control ignores and
// passes up to its parents must not arrive a second time.
bool QtToolkit::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() != QEvent::KeyPress) return false;
  const auto* key = static_cast<QKeyEvent*>(event);
  // Enter on a focused button presses it, as Space does, and goes no further.
  auto* button = qobject_cast<QPushButton*>(watched);
  if (button != nullptr && (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) &&
      (key->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier) {
    button->click();
    return true;
  }
  if (!keyTakers_.contains(watched) || IsModifierKey(key->key())) return false;
  const QWidget* focus = QApplication::focusWidget();
  const bool windowItself = focus == nullptr || focus == window_.get() || focus == client_ ||
                            focus == window_->centralWidget();
  const bool isFocus = watched == focus || (windowItself && watched == window_.get());
  if (!isFocus) return false;
  DispatchKey(ToVirtualKey(key->key()), ToShift(key->modifiers()));
  return false;
}

QtButton& QtToolkit::ButtonNamed(std::string_view name) {
  return platform::Named(buttons_, name);
}
QtLabel& QtToolkit::LabelNamed(std::string_view name) {
  return platform::Named(labels_, name);
}
QtListBox& QtToolkit::ListNamed(std::string_view name) {
  return platform::Named(lists_, name);
}

namespace {

// Shows `box` modally, at least as wide as its caption needs (a short message would cut it), and
// centred on `area`.
void ShowBox(QMessageBox& box, const QRect& area) {
  box.show();  // the box sizes itself to its text here
  // The caption, and room for the window system's buttons beside it.
  constexpr int kTitleBarButtons = 120;
  const int captionWidth =
      QFontMetrics(QApplication::font()).horizontalAdvance(box.windowTitle()) + kTitleBarButtons;
  if (box.width() < captionWidth) box.setFixedWidth(captionWidth);
  box.move(area.center() - QPoint(box.width() / 2, box.height() / 2));
  box.exec();
  if (box.parentWidget() != nullptr) ReactivateAfterModal(box.parentWidget());
}

}  // namespace

// The About box stands in the middle of the screen, where a message box is looked for.
void QtToolkit::ShowMessage(std::string_view text) {
  QMessageBox box(QMessageBox::NoIcon, FromBytes(title_), FromBytes(text), QMessageBox::Ok,
                  window_.get());
  box.setDefaultButton(QMessageBox::Ok);
  box.setEscapeButton(QMessageBox::Ok);
  ShowBox(box, window_->screen()->availableGeometry());
}

void QtToolkit::ShowErrorBox(std::string_view text) {
  QMessageBox box(QMessageBox::Critical, FromBytes(title_), FromBytes(text), QMessageBox::Ok,
                  window_.get());
  box.setTextFormat(Qt::PlainText);
  ShowBox(box, window_->frameGeometry());
}

void QtToolkit::Close() {
  window_->close();
}

void QtToolkit::Show() {
  window_->show();
  firstFocus_->setFocus();
}

}  // namespace quelvar::qt
