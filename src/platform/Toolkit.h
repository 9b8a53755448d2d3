#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <string_view>

#include "platform/Controls.h"
#include "platform/FileTable.h"
#include "platform/Layout.h"
#include "platform/Named.h"

namespace quelvar::platform {

using KeyHandler = std::function<void(uint16_t key, uint8_t shift)>;

// How an announcement to assistive technology is to be made: at once (a step, a command), at most
// every so often (the steps of a running program), or at once and in place of any held back (the
// end of a run).
enum class Announcement { kStep, kProgress, kEnd };

// The window toolkit as the form sees it: it builds the window from its description, hands out
// the controls by name, and runs every event handler under one guard that reports failures in the
// error box. The headless, the Qt and the browser toolkit implement it. The menu, the key handler
// and the routing of user events are the same in every toolkit and live here.
class Toolkit {
 public:
  Toolkit() = default;
  virtual ~Toolkit() = default;
  Toolkit(const Toolkit&) = delete;
  Toolkit& operator=(const Toolkit&) = delete;

  // Creates the window, its controls, its menu, the timer and the open dialog.
  virtual void Build(const FormLayout& layout) = 0;
  virtual Button& ButtonNamed(std::string_view name) = 0;
  virtual Label& LabelNamed(std::string_view name) = 0;
  virtual ListBox& ListNamed(std::string_view name) = 0;
  MenuItem& MenuItemNamed(std::string_view name);
  virtual Timer& MainTimer() = 0;
  virtual OpenDialog& FileDialog() = 0;
  // Where the form reads its files: the disk, behind any files put in front of it.
  const FileTable& Files() const { return files_ != nullptr ? *files_ : disk_; }
  // Puts `files` in front of the disk for every read from now on; they must outlive those reads.
  void ReadFilesFrom(const FileTable& files) { files_ = &files; }
  // Receives the keys that no shortcut takes, while the window or a control that takes keys has
  // the focus.
  void SetKeyHandler(KeyHandler handler) { keyHandler_ = std::move(handler); }

  // The application title, which captions the About box and the error box.
  virtual std::string Title() const = 0;
  // A modal message box with no icon and one OK button.
  virtual void ShowMessage(std::string_view text) = 0;
  // The event being handled is taking long (a load of a large file): the window shows that it
  // is busy until the event ends. Everything still runs to completion on the one thread.
  virtual void ShowBusy() {}
  // Whether ShowBusy shows anything. Where it does not, loads are not timed: a short batch run
  // then never reads the clock, whose first reading costs page faults.
  virtual bool ShowsBusy() const = 0;
  // Closes the main window, which ends the application.
  virtual void Close() = 0;

  // Tells assistive technology, politely, what a command or a tick did, as a sighted user sees
  // it ("line 4: S(3), R3 -> 2"). Announces() says whether anybody listens, so that the text is
  // made only then.
  virtual bool Announces() const { return false; }
  virtual void Announce(std::string_view /*text*/, Announcement /*kind*/) {}

  // Runs an event handler. A failure that escapes it is shown in the error box and goes no
  // further; what the handler did before it stays done.
  void Dispatch(const Handler& handler) noexcept;

  // Events as a user makes them. A click does nothing on a disabled or hidden button. A key goes
  // to the menu item whose shortcut it is, otherwise to the key handler when `focus` (a control's
  // name, or "" for the window itself) takes keys.
  void UserClick(std::string_view button);
  void ChooseMenuItem(std::string_view item);
  void PressKey(uint16_t key, uint8_t shift, std::string_view focus = "");

 protected:
  // The menu's items and which controls take keys, as the layout says; every Build calls it.
  void BuildMenuAndKeys(const FormLayout& layout);
  // The button a key presses (FormLayout::buttonKeys), or "" for none.
  std::string_view ButtonOfKey(uint16_t key, uint8_t shift) const;
  // A key for the key handler, for a toolkit that decides itself which control has it.
  void DispatchKey(uint16_t key, uint8_t shift);
  // The event that Dispatch ran has ended: whatever ShowBusy showed goes.
  virtual void EndBusy() {}
  // The event that Dispatch ran has ended, after EndBusy: for whatever a toolkit finishes once an
  // event's changes are all made (where the keyboard focus goes, say).
  virtual void EventEnded() {}
  // A modal box with a stop icon, captioned with the title, showing `text` as it stands.
  virtual void ShowErrorBox(std::string_view text) = 0;

 private:
  NamedMap<MenuItem> menu_;
  std::span<const ButtonKey> buttonKeys_;
  std::map<std::string, bool, std::less<>> takesKeys_;
  KeyHandler keyHandler_;
  FileTable disk_;  // nothing in front of the disk
  const FileTable* files_ = nullptr;
};

// The text the error box shows for a failure's message: a period is appended when the message
// is not empty and its last character sorts above the period.
std::string ErrorBoxText(std::string_view message);

// The application title from the executable's path: the file name without its folder, cut before
// its first period, capitalised: DEMO.EXE and demo.test.exe both give Demo.
std::string ApplicationTitle(std::string_view executablePath);

}  // namespace quelvar::platform
