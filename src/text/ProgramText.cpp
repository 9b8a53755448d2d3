#include "text/ProgramText.h"

namespace quelvar {

void SplitProgramText(std::string_view text, const std::function<void(std::string_view)>& line) {
  text = text.substr(0, text.find('\0'));
  size_t start = 0;
  while (start < text.size()) {
    const size_t end = text.find_first_of("\r\n", start);
    if (end == std::string_view::npos) {
      line(text.substr(start));
      return;
    }
    line(text.substr(start, end - start));
    start = end + 1;
    if (text[end] == '\r' && start < text.size() && text[start] == '\n') ++start;
  }
}

}  // namespace quelvar
