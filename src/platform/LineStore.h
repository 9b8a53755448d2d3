#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace quelvar::platform {

// The lines of a list box. A list that is only ever appended to (a program of millions of short
// lines) keeps its bytes packed in large chunks with eight bytes of bookkeeping a line, so that
// loading a big program text costs about its own size. Once a line is replaced (the register
// list, rewritten at every step), the store keeps one string a line, which rewrites cheaply.
class LineStore {
 public:
  void Clear();
  // Both fail with "Unable to insert a line" when the line cannot be held.
  void Append(std::string_view line);
  void Replace(size_t j, std::string_view line);
  std::string_view Line(size_t j) const;
  size_t Count() const { return perLine_ ? lines_.size() : packed_.size(); }

 private:
  struct Packed {
    uint32_t chunk;
    uint32_t offset;
  };
  void AppendLine(std::string_view line);
  void SwitchToPerLine();

  std::vector<std::string> chunks_;
  std::vector<Packed> packed_;
  std::vector<std::string> lines_;
  bool perLine_ = false;
};

}  // namespace quelvar::platform
