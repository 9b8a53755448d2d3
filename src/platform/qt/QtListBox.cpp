#include "platform/qt/QtListBox.h"

#include <algorithm>
#include <cmath>

#include <QAccessible>
#include <QPainter>
#include <QScrollBar>

#include "platform/qt/QtConvert.h"

namespace quelvar::qt {

int LineModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : published_;
}

QVariant LineModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || index.row() >= published_) return {};
  if (role == Qt::DisplayRole) {
    const std::string_view line =
        lines.Line(static_cast<size_t>(index.row())).substr(0, platform::ListBox::kShownBytes);
    return QString::fromLocal8Bit(line.data(), static_cast<qsizetype>(line.size()));
  }
  if (role == Qt::SizeHintRole) return QSize(1, kRowHeight);
  return {};
}

void LineModel::Appended() {
  if (publishQueued_) return;
  publishQueued_ = true;
  QMetaObject::invokeMethod(this, &LineModel::Publish, Qt::QueuedConnection);
}

void LineModel::Reset() {
  beginResetModel();
  lines.Clear();
  published_ = 0;
  endResetModel();
}

void LineModel::Publish() {
  publishQueued_ = false;
  const int count = static_cast<int>(lines.Count());
  if (count <= published_) return;
  beginInsertRows({}, published_, count - 1);
  published_ = count;
  endInsertRows();
}

OutlinedListView::OutlinedListView(QWidget* parent) : QListView(parent) {}

int64_t OutlinedListView::RowTop(int64_t row) const {
  // Rows are all one height, and the list scrolls by whole rows.
  return (row - verticalScrollBar()->value()) * LineModel::kRowHeight;
}

int OutlinedListView::RowAt(int64_t y) const {
  const int64_t offset = y >= 0 ? y / LineModel::kRowHeight
                                : -((-y + LineModel::kRowHeight - 1) / LineModel::kRowHeight);
  return static_cast<int>(verticalScrollBar()->value() + offset);
}

QRect OutlinedListView::RowRect(int row) const {
  const int64_t top = std::clamp<int64_t>(RowTop(row), -2 * LineModel::kRowHeight,
                                          viewport()->height() + LineModel::kRowHeight);
  return QRect(0, static_cast<int>(top), viewport()->width(), LineModel::kRowHeight);
}

QRect OutlinedListView::FrameInPixels(int row) const {
  const qreal ratio = viewport()->devicePixelRatioF();
  const QRect rect = RowRect(row);
  const auto pixel = [ratio](int logical) { return qRound(logical * ratio); };
  return QRect(QPoint(pixel(rect.left()), pixel(rect.top())),
               QPoint(pixel(rect.right() + 1) - 1, pixel(rect.bottom() + 1) - 1));
}

// Each outline is painted in whole device pixels along the inside of its row's rectangle, as the
// view rounds that rectangle at this display scale, and one logical pixel wide: so it covers no
// pixel of a neighbouring row, and repainting its row removes every pixel of it.
namespace {

double Luminance(const QColor& colour) {
  const auto channel = [](double c) {
    return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
  };
  return 0.2126 * channel(colour.redF()) + 0.7152 * channel(colour.greenF()) +
         0.0722 * channel(colour.blueF());
}

// The least contrast a graphical object needs against what it stands on (WCAG 1.4.11).
constexpr double kLeastContrast = 3.0;

void Outline(QPainter& painter, const QRect& frame, int width, const QColor& colour) {
  painter.fillRect(frame.left(), frame.top(), frame.width(), width, colour);
  painter.fillRect(frame.left(), frame.bottom() + 1 - width, frame.width(), width, colour);
  painter.fillRect(frame.left(), frame.top(), width, frame.height(), colour);
  painter.fillRect(frame.right() + 1 - width, frame.top(), width, frame.height(), colour);
}

// The colour, black or white, that stands out most from `background`.
QColor Opposite(const QColor& background) {
  return ContrastRatio(background, Qt::white) >= ContrastRatio(background, Qt::black)
             ? QColor(Qt::white)
             : QColor(Qt::black);
}

}  // namespace

double ContrastRatio(const QColor& a, const QColor& b) {
  const double la = Luminance(a);
  const double lb = Luminance(b);
  return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

// Where the row's background leaves an outline below 3:1 (a dark palette, a selected row), a
// second outline just inside it, in white or black, makes the frame stand out; on the light list
// nothing is added.
void OutlinedListView::paintEvent(QPaintEvent* event) {
  QListView::paintEvent(event);
  if (outlines.empty()) return;
  QPainter painter(viewport());
  const qreal ratio = viewport()->devicePixelRatioF();
  painter.setTransform(QTransform::fromScale(1 / ratio, 1 / ratio));
  const int width = std::max(1, qRound(ratio));
  for (const auto& [row, colour] : outlines) {
    const QRect frame = FrameInPixels(row);
    if (frame.width() < 2 * width || frame.height() < 2 * width) continue;
    Outline(painter, frame, width, colour);
    const bool selected =
        selectionModel() != nullptr && selectionModel()->isRowSelected(row, QModelIndex());
    const QColor background = palette().color(selected ? QPalette::Highlight : QPalette::Base);
    if (ContrastRatio(colour, background) >= kLeastContrast) continue;
    const QRect inner = frame.adjusted(width, width, -width, -width);
    if (inner.width() >= 2 * width && inner.height() >= 2 * width) {
      Outline(painter, inner, width, Opposite(background));
    }
  }
}

// A ring two pixels wide over the list's frame, in the highlight colour where that stands out
// from the window by 3:1 or more, else in black or white.
bool OutlinedListView::event(QEvent* event) {
  const bool done = QListView::event(event);
  if (event->type() == QEvent::Paint && hasFocus()) {
    QPainter painter(this);
    const QColor window = palette().color(QPalette::Window);
    QColor ring = palette().color(QPalette::Highlight);
    if (ContrastRatio(ring, window) < kLeastContrast) ring = Opposite(window);
    painter.setPen(QPen(ring, 2));
    painter.drawRect(QRectF(rect()).adjusted(1, 1, -1, -1));
  }
  return done;
}

void OutlinedListView::focusInEvent(QFocusEvent* event) {
  QListView::focusInEvent(event);
  MakeFramedRowCurrent();
  update();
}

void OutlinedListView::focusOutEvent(QFocusEvent* event) {
  QListView::focusOutEvent(event);
  update();
}

QtListBox::QtListBox(QWidget* parent, const platform::ControlSpec& spec)
    : view_(new OutlinedListView(parent)), model_(new LineModel(view_)) {
  view_->setModel(model_);
  view_->setGeometry(spec.left, spec.top, spec.width, spec.height);
  view_->setUniformItemSizes(true);
  view_->setSelectionMode(QAbstractItemView::SingleSelection);
  view_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  view_->setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
  view_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  view_->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  view_->setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
  view_->setTextElideMode(Qt::ElideNone);
  view_->setWordWrap(false);
  // Scrolling moves the outlines with their rows; the viewport repaints them in place.
  QObject::connect(view_->verticalScrollBar(), &QScrollBar::valueChanged, view_->viewport(),
                   [this] { view_->viewport()->update(); });
}

void QtListBox::Clear() {
  model_->Reset();
  view_->outlines.clear();
  view_->viewport()->update();
}

void QtListBox::Append(std::string_view text) {
  model_->lines.Append(text);
  model_->Appended();
}

void QtListBox::Replace(int32_t j, std::string_view text) {
  if (j == Count()) {
    Append(text);
    return;
  }
  model_->lines.Replace(static_cast<size_t>(j), text);
  // Only the row is painted again. The model does not announce the change: a list view lays out
  // all its rows again after any change it is told of, which at every step of a run over 32767
  // registers costs more than the step. A screen reader is still told.
  view_->update(model_->index(j));
  if (QAccessible::isActive()) {
    QAccessibleTableModelChangeEvent changed(view_, QAccessibleTableModelChangeEvent::DataChanged);
    changed.setFirstRow(j);
    changed.setLastRow(j);
    QAccessible::updateAccessibility(&changed);
  }
  if (j == Selected()) view_->scrollTo(model_->index(j));
}

// The current item follows the frame (MakeFramedRowCurrent), so the selection is read for itself.
int32_t QtListBox::Selected() const {
  const QModelIndexList selected = view_->selectionModel()->selectedIndexes();
  return selected.isEmpty() ? -1 : selected.constFirst().row();
}

void OutlinedListView::MakeFramedRowCurrent() {
  if (outlines.empty() || !hasFocus()) return;
  const QModelIndex index = model()->index(outlines.rbegin()->first, 0);  // invalid below the end
  if (index == currentIndex()) return;
  setAutoScroll(false);
  selectionModel()->setCurrentIndex(index, QItemSelectionModel::NoUpdate);
  setAutoScroll(true);
}

platform::Rect QtListBox::ItemRect(int32_t j) const {
  const int64_t top = view_->RowTop(j);
  return {0, top, view_->viewport()->width(), top + LineModel::kRowHeight};
}

// An outline in the list's own background colour erases the one on its row: the row is painted
// again as the list paints it, also where it is selected, and nothing of the old outline stays.
void QtListBox::FrameRect(const platform::Rect& rect) {
  if (rect.Empty()) return;
  const int row = view_->RowAt(rect.top);
  if (BrushColor() == platform::clBtnFace) {
    if (view_->outlines.erase(row) == 0) return;
  } else {
    view_->outlines[row] = ToQColor(BrushColor(), view_->palette());
  }
  view_->viewport()->update(view_->RowRect(row));
}

void QtListBox::RepaintNow() {
  view_->outlines.clear();
  view_->viewport()->repaint();
}

}  // namespace quelvar::qt
