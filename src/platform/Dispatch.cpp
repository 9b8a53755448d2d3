#include <cctype>
#include <exception>
#include <new>
#include <stdexcept>

#include "platform/Toolkit.h"

namespace quelvar::platform {

std::string ErrorBoxText(std::string_view message) {
  std::string text(message);
  if (!text.empty() && static_cast<unsigned char>(text.back()) > '.') text += '.';
  return text;
}

std::string ApplicationTitle(std::string_view executablePath) {
  const size_t slash = executablePath.find_last_of('/');
  std::string_view name =
      slash == std::string_view::npos ? executablePath : executablePath.substr(slash + 1);
  name = name.substr(0, name.find('.'));
  std::string title(name);
  if (!title.empty())
    title[0] = static_cast<char>(std::toupper(static_cast<unsigned char>(title[0])));
  for (size_t i = 1; i < title.size(); ++i) {
    title[i] = static_cast<char>(std::tolower(static_cast<unsigned char>(title[i])));
  }
  return title;
}

void Toolkit::Dispatch(const Handler& handler) noexcept {
  try {
    // Quelvar's own failures carry their message. Anything else would show a C++ library's
    // inner text, which says nothing to a user: out of memory is said plainly, the rest is ours
    // to mend.
    try {
      handler();
    } catch (const std::runtime_error& failure) {
      ShowErrorBox(ErrorBoxText(failure.what()));
    } catch (const std::bad_alloc&) {
      ShowErrorBox(ErrorBoxText("Not enough memory"));
    } catch (...) {
      ShowErrorBox(ErrorBoxText("Internal error"));
    }
  } catch (...) {
    // The error box itself failed (out of memory, say): nothing is left to report it with, and
    // the event loop must go on.
  }
  EndBusy();
}

}  // namespace quelvar::platform
