#include "platform/LineStore.h"

#include <algorithm>
#include <cstdint>
#include <new>
#include <stdexcept>

namespace quelvar::platform {
namespace {

// Chunks start small and double up to this size, so that a short list costs little.
constexpr size_t kFirstChunk = 256;
constexpr size_t kLargestChunk = 4 << 20;
constexpr size_t kMaxLines = INT32_MAX;
constexpr const char* kRefused = "Unable to insert a line";

}  // namespace

void LineStore::Clear() {
  chunks_.clear();
  packed_.clear();
  lines_.clear();
  perLine_ = false;
}

// A list counts its lines in 32 bits; a line past that, or one memory cannot hold, is refused as
// the list refuses any line it cannot take.
void LineStore::Append(std::string_view line) {
  if (Count() >= kMaxLines) throw std::runtime_error(kRefused);
  try {
    AppendLine(line);
  } catch (const std::bad_alloc&) {
    throw std::runtime_error(kRefused);
  }
}

void LineStore::Replace(size_t j, std::string_view line) {
  try {
    if (!perLine_) SwitchToPerLine();
    lines_.at(j).assign(line);
  } catch (const std::bad_alloc&) {
    throw std::runtime_error(kRefused);
  }
}

void LineStore::AppendLine(std::string_view line) {
  if (perLine_) {
    lines_.emplace_back(line);
    return;
  }
  // A line never straddles two chunks; one longer than a chunk gets a chunk of its own. Chunks
  // are reserved once at their full size, so they never move.
  if (chunks_.empty() || chunks_.back().capacity() - chunks_.back().size() < line.size()) {
    if (chunks_.size() == UINT32_MAX) throw std::runtime_error(kRefused);
    const size_t size =
        chunks_.empty() ? kFirstChunk : std::min(2 * chunks_.back().capacity(), kLargestChunk);
    chunks_.emplace_back().reserve(std::max(size, line.size()));
  }
  std::string& chunk = chunks_.back();
  packed_.push_back(
      {static_cast<uint32_t>(chunks_.size() - 1), static_cast<uint32_t>(chunk.size())});
  chunk.append(line);
}

std::string_view LineStore::Line(size_t j) const {
  if (perLine_) return lines_[j];
  const Packed at = packed_[j];
  const std::string& chunk = chunks_[at.chunk];
  const bool nextInSameChunk = j + 1 < packed_.size() && packed_[j + 1].chunk == at.chunk;
  const size_t end = nextInSameChunk ? packed_[j + 1].offset : chunk.size();
  return std::string_view(chunk).substr(at.offset, end - at.offset);
}

void LineStore::SwitchToPerLine() {
  lines_.reserve(packed_.size());
  for (size_t j = 0; j < packed_.size(); ++j) lines_.emplace_back(Line(j));
  chunks_.clear();
  packed_.clear();
  chunks_.shrink_to_fit();
  packed_.shrink_to_fit();
  perLine_ = true;
}

}  // namespace quelvar::platform
