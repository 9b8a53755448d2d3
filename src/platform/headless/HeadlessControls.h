#pragma once

#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "platform/Controls.h"
#include "platform/LineStore.h"

namespace quelvar::platform {
class Toolkit;
}

namespace quelvar::headless {

using platform::Color;
using platform::ControlSpec;
using platform::Rect;

class HeadlessButton final : public platform::Button {
 public:
  explicit HeadlessButton(const ControlSpec& spec);
  void SetCaption(std::string_view caption) override { caption_ = caption; }
  std::string Caption() const override { return caption_; }
  void SetEnabled(bool enabled) override { enabled_ = enabled; }
  bool Enabled() const override { return enabled_; }
  void SetVisible(bool visible) override { visible_ = visible; }
  bool Visible() const override { return visible_; }

 private:
  std::string caption_;
  bool enabled_;
  bool visible_;
};

class HeadlessLabel final : public platform::Label {
 public:
  explicit HeadlessLabel(const ControlSpec& spec) : text_(spec.text) {}
  void SetText(std::string_view text) override { text_.assign(text); }
  std::string Text() const override { return text_; }

 private:
  std::string text_;
};

// Lines and selection in memory, and the outline standing on each row: the colour drawn there
// last, until a repaint removes them all. All rows are in view; there is no scrolling.
class HeadlessListBox final : public platform::ListBox {
 public:
  static constexpr int32_t kRowHeight = 13;
  explicit HeadlessListBox(const ControlSpec& spec);

  void Clear() override;
  void Append(std::string_view text) override;
  void Replace(int32_t j, std::string_view text) override;
  int32_t Count() const override { return static_cast<int32_t>(lines_.Count()); }
  int32_t Selected() const override { return selected_; }
  void FrameRect(const Rect& rect) override;
  void RepaintNow() override { outlines_.clear(); }

  // What the user does, and what tests look at.
  void Select(int32_t j);
  std::vector<std::string> Lines() const;
  std::optional<Color> OutlineOn(int32_t row) const;
  // Rows that carry an outline, in order.
  std::vector<int32_t> OutlinedRows() const;
  // The row most recently brought into view for the selection, -1 before any.
  int32_t ShownRow() const { return shownRow_; }
  // Makes the list refuse every line it is given, as a list out of memory does.
  void RefuseLines(bool refuse) { refuse_ = refuse; }

 protected:
  std::string_view LineAt(int32_t j) const override { return lines_.Line(j); }
  Rect ItemRect(int32_t j) const override;

 private:
  int32_t width_;
  platform::LineStore lines_;
  int32_t selected_ = -1;
  int32_t shownRow_ = -1;
  bool refuse_ = false;
  std::vector<std::optional<Color>> outlines_;
};

// Ticks come only when a test or the batch runner asks for them.
class HeadlessTimer final : public platform::Timer {
 public:
  explicit HeadlessTimer(int32_t period) : Timer(period) {}
  bool Running() const { return running_; }
  int32_t Restarts() const { return restarts_; }
  // Makes the platform refuse the next timer it is asked for.
  void RefuseTimers(bool refuse) { refuse_ = refuse; }

 protected:
  void Restart(int32_t period) override;

 private:
  bool running_ = true;
  bool refuse_ = false;
  int32_t restarts_ = 0;
};

// Answers from a script: each Execute takes the next answer, a name to choose or a cancel; with
// nothing left it cancels.
class HeadlessOpenDialog final : public platform::OpenDialog {
 public:
  explicit HeadlessOpenDialog(const platform::Toolkit& toolkit) : toolkit_(toolkit) {}
  bool Execute() override;
  void WillChoose(std::string name) { answers_.emplace_back(std::move(name)); }
  void WillCancel() { answers_.emplace_back(std::nullopt); }
  int32_t Shown() const { return shown_; }

 private:
  const platform::Toolkit& toolkit_;  // whose files the names may be
  std::deque<std::optional<std::string>> answers_;
  int32_t shown_ = 0;
};

}  // namespace quelvar::headless
