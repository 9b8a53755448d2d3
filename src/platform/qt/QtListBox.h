#pragma once

#include <QAbstractListModel>
#include <QColor>
#include <QListView>
#include <map>
#include <string>
#include <vector>

#include "platform/Controls.h"
#include "platform/LineStore.h"

namespace quelvar::qt {

// The lines of a list, as a model the view reads on demand: only the rows in view are ever
// formatted, so rewriting a register costs one row, whatever the list's length. Appended lines
// are announced to the view in one batch when control returns to the event loop.
class LineModel final : public QAbstractListModel {
  Q_OBJECT

 public:
  static constexpr int kRowHeight = 13;
  explicit LineModel(QObject* parent) : QAbstractListModel(parent) {}

  int rowCount(const QModelIndex& parent) const override;
  QVariant data(const QModelIndex& index, int role) const override;

  platform::LineStore lines;
  void Appended();
  void Reset();
  // Tells the view about every appended line now.
  void Publish();

 private:
  int published_ = 0;
  bool publishQueued_ = false;
};

// The view, which paints the outlines drawn on the list over its rows, so that they survive
// being covered and move with their rows when the list scrolls.
class OutlinedListView final : public QListView {
  Q_OBJECT

 public:
  explicit OutlinedListView(QWidget* parent);
  std::map<int, QColor> outlines;  // row -> colour of the outline standing there
  // Where the top of row `row` stands in the viewport now, whether or not the row exists; 64 bits,
  // since a row far from the one in view can lie more than 2^31 pixels away.
  int64_t RowTop(int64_t row) const;
  int RowAt(int64_t y) const;
  // The row's rectangle for Qt to paint; a row out of view gets one just outside the viewport,
  // so that no coordinate handed to Qt overflows.
  QRect RowRect(int row) const;
  // The pixels of the viewport's backing store that row `row` covers at this display scale.
  QRect FrameInPixels(int row) const;
  // While the list has the keyboard focus, the framed row is its current item (not selected: the
  // selection is the user's), so that a screen reader reads the line that executes next; below the
  // last row, none is. Qt tells assistive technology of a current item as of a focus change, so
  // an unfocused list is left alone until it gets the focus. The list does not scroll for it.
  void MakeFramedRowCurrent();

 protected:
  void paintEvent(QPaintEvent* event) override;
  // The list's own frame, with a focus ring on it while the list has the keyboard focus.
  bool event(QEvent* event) override;
  void focusInEvent(QFocusEvent* event) override;
  void focusOutEvent(QFocusEvent* event) override;
};

// How two colours stand apart, as WCAG measures it: from 1 (the same) to 21 (black on white).
double ContrastRatio(const QColor& a, const QColor& b);

class QtListBox final : public platform::ListBox {
 public:
  QtListBox(QWidget* parent, const platform::ControlSpec& spec);

  void Clear() override;
  void Append(std::string_view text) override;
  void Replace(int32_t j, std::string_view text) override;
  int32_t Count() const override { return static_cast<int32_t>(model_->lines.Count()); }
  int32_t Selected() const override;
  void FrameRect(const platform::Rect& rect) override;
  void RepaintNow() override;

  OutlinedListView* View() const { return view_; }

 protected:
  std::string_view LineAt(int32_t j) const override { return model_->lines.Line(j); }
  platform::Rect ItemRect(int32_t j) const override;

 private:
  OutlinedListView* view_;
  LineModel* model_;
};

}  // namespace quelvar::qt
