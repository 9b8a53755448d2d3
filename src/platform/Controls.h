#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "platform/Geometry.h"
#include "platform/Layout.h"

namespace quelvar::platform {

using Handler = std::function<void()>;

class Button {
 public:
  virtual ~Button() = default;
  virtual void SetCaption(std::string_view caption) = 0;
  virtual std::string Caption() const = 0;
  // Setting the value a flag already has changes nothing.
  virtual void SetEnabled(bool enabled) = 0;
  virtual bool Enabled() const = 0;
  virtual void SetVisible(bool visible) = 0;
  virtual bool Visible() const = 0;

  // Runs the handler at once, whether the button is enabled, disabled or hidden: commands start
  // each other this way. A failure goes to whoever clicked.
  void Click() const {
    if (OnClick) OnClick();
  }
  Handler OnClick;
};

class Label {
 public:
  virtual ~Label() = default;
  virtual void SetText(std::string_view text) = 0;
  virtual std::string Text() const = 0;
};

class ListBox {
 public:
  // A row shows only the start of its line: more than the widest list has room for (2 pixels a
  // character at the narrowest), and never the whole of a line of megabytes, which a toolkit would
  // lay out at every repaint. The machine still reads the whole line.
  static constexpr size_t kShownBytes = 256;

  virtual ~ListBox() = default;
  virtual void Clear() = 0;
  virtual void Append(std::string_view text) = 0;
  // Puts `text` in place of line j; with exactly j lines it appends. The user's selection stays on
  // its line number, and when line j is the selected one it is shown again.
  virtual void Replace(int32_t j, std::string_view text) = 0;
  virtual int32_t Count() const = 0;
  virtual int32_t Selected() const = 0;  // -1: none

  // Line j, valid until the list next changes; outside 0..Count()-1 it fails with
  // "List index out of bounds (j)".
  std::string_view Line(int32_t j) const;

  // Where row r stands: rows 0..Count()-1 where the list shows them (row 0 also on an empty
  // list), row Count() just below the last row, and nothing above that or below 0.
  Rect RowRect(int32_t r) const;

  // The drawing surface: the brush colour persists between drawings.
  void SetBrushColor(Color color) { brush_ = color; }
  Color BrushColor() const { return brush_; }
  // Draws a one-pixel outline along the inside of `rect` in the brush colour; an empty rect draws
  // nothing.
  virtual void FrameRect(const Rect& rect) = 0;
  // Paints the list at once, which removes every outline.
  virtual void RepaintNow() = 0;

 protected:
  virtual std::string_view LineAt(int32_t j) const = 0;
  // The rectangle of row j, for 0 <= j < Count(), and of row 0 on an empty list.
  virtual Rect ItemRect(int32_t j) const = 0;

 private:
  Color brush_ = kWhite;
};

class Timer {
 public:
  explicit Timer(int32_t period) : period_(period) {}
  virtual ~Timer() = default;
  // A new period restarts the timer; the period it already has changes nothing. When the platform
  // refuses the timer this fails with "Not enough timers available", the period recorded all the
  // same, and no more ticks come.
  void SetPeriod(int32_t period);
  int32_t Period() const { return period_; }
  Handler OnTimer;

 protected:
  virtual void Restart(int32_t period) = 0;

 private:
  int32_t period_;
};

struct MenuItem {
  MenuSpec spec;
  Handler OnClick;
  void Click() const {
    if (OnClick) OnClick();
  }
};

class OpenDialog {
 public:
  virtual ~OpenDialog() = default;
  // Shows the dialog modally; true when a file was chosen. Choosing a file makes its folder the
  // working directory.
  virtual bool Execute() = 0;
  std::string Filter;    // "Description|pattern" pairs
  std::string FileName;  // kept between uses
};

}  // namespace quelvar::platform
