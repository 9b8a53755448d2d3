#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "platform/Controls.h"
#include "platform/Layout.h"

namespace quelvar::platform {

using KeyHandler = std::function<void(uint16_t key, uint8_t shift)>;

// The window toolkit as the form sees it: it builds the window from its description, hands out
// the controls by name, and runs every event handler under one guard that reports failures in the
// error box. The headless and the Qt toolkit implement it.
class Toolkit {
 public:
  virtual ~Toolkit() = default;

  // Creates the window, its controls, its menu, the timer and the open dialog.
  virtual void Build(const FormLayout& layout) = 0;
  virtual Button& ButtonNamed(std::string_view name) = 0;
  virtual Label& LabelNamed(std::string_view name) = 0;
  virtual ListBox& ListNamed(std::string_view name) = 0;
  virtual MenuItem& MenuItemNamed(std::string_view name) = 0;
  virtual Timer& MainTimer() = 0;
  virtual OpenDialog& FileDialog() = 0;
  // Receives the keys that no shortcut takes, while the window or a control that takes keys has
  // the focus.
  virtual void SetKeyHandler(KeyHandler handler) = 0;

  // The application title, which captions the About box and the error box.
  virtual std::string Title() const = 0;
  // A modal message box with no icon and one OK button.
  virtual void ShowMessage(std::string_view text) = 0;
  // The event being handled is taking long (a load of a large file): the window shows that it
  // is busy until the event ends. Everything still runs to completion on the one thread.
  virtual void ShowBusy() {}
  // Closes the main window, which ends the application.
  virtual void Close() = 0;

  // Runs an event handler. A failure that escapes it is shown in the error box and goes no
  // further; what the handler did before it stays done.
  void Dispatch(const Handler& handler) noexcept;

 protected:
  // The event that Dispatch ran has ended: whatever ShowBusy showed goes.
  virtual void EndBusy() {}
  // A modal box with a stop icon, captioned with the title, showing `text` as it stands.
  virtual void ShowErrorBox(std::string_view text) = 0;
};

// The text the error box shows for a failure's message: a period is appended when the message
// is not empty and its last character sorts above the period.
std::string ErrorBoxText(std::string_view message);

// The application title from the executable's path: the file name without its folder, cut before
// its first period, capitalised: DEMO.EXE and demo.test.exe both give Demo.
std::string ApplicationTitle(std::string_view executablePath);

}  // namespace quelvar::platform
