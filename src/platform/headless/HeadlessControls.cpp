#include "platform/headless/HeadlessControls.h"

#include <stdexcept>

#include "platform/File.h"
#include "platform/Toolkit.h"

namespace quelvar::headless {

HeadlessButton::HeadlessButton(const ControlSpec& spec)
    : caption_(spec.text), enabled_(spec.enabled), visible_(spec.visible) {}

HeadlessListBox::HeadlessListBox(const ControlSpec& spec) : width_(spec.width) {}

void HeadlessListBox::Clear() {
  lines_.Clear();
  selected_ = -1;
  outlines_.clear();
}

void HeadlessListBox::Append(std::string_view text) {
  if (refuse_) throw std::runtime_error("Unable to insert a line");
  lines_.Append(text);
}

void HeadlessListBox::Replace(int32_t j, std::string_view text) {
  if (refuse_) throw std::runtime_error("Unable to insert a line");
  if (j == Count()) {
    Append(text);
  } else {
    lines_.Replace(j, text);
  }
  if (j == selected_) shownRow_ = j;
}

std::vector<std::string> HeadlessListBox::Lines() const {
  std::vector<std::string> lines;
  for (size_t j = 0; j < lines_.Count(); ++j) lines.emplace_back(lines_.Line(j));
  return lines;
}

void HeadlessListBox::Select(int32_t j) {
  selected_ = j >= 0 && j < Count() ? j : -1;
  if (selected_ >= 0) shownRow_ = selected_;
}

Rect HeadlessListBox::ItemRect(int32_t j) const {
  return {0, int64_t{j} * kRowHeight, width_, (int64_t{j} + 1) * kRowHeight};
}

void HeadlessListBox::FrameRect(const Rect& rect) {
  // Only rows 0 to Count() have a rectangle; anything else is nowhere in the list.
  if (rect.Empty() || rect.top < 0 || rect.top / kRowHeight > Count()) return;
  const auto row = static_cast<size_t>(rect.top / kRowHeight);
  if (row >= outlines_.size()) outlines_.resize(row + 1);
  outlines_[row] = BrushColor();
}

std::optional<Color> HeadlessListBox::OutlineOn(int32_t row) const {
  if (row < 0 || static_cast<size_t>(row) >= outlines_.size()) return std::nullopt;
  return outlines_[row];
}

std::vector<int32_t> HeadlessListBox::OutlinedRows() const {
  std::vector<int32_t> rows;
  for (size_t r = 0; r < outlines_.size(); ++r) {
    if (outlines_[r]) rows.push_back(static_cast<int32_t>(r));
  }
  return rows;
}

void HeadlessTimer::Restart(int32_t) {
  ++restarts_;
  if (refuse_) {
    running_ = false;
    throw std::runtime_error("Not enough timers available");
  }
  running_ = true;
}

bool HeadlessOpenDialog::Execute() {
  ++shown_;
  if (answers_.empty()) return false;
  std::optional<std::string> answer = std::move(answers_.front());
  answers_.pop_front();
  if (!answer) return false;
  // Like the desktop's dialog: the chosen name comes back absolute, and its folder becomes the
  // working directory. A file the toolkit holds in memory has no folder: its name stays as given.
  FileName = *answer;
  if (FileName.empty() || toolkit_.Files().Holds(FileName)) return true;
  FileName = platform::AbsoluteName(FileName);
  platform::EnterFolderOf(FileName);
  return true;
}

}  // namespace quelvar::headless
