// Quelvar in the browser: the form on the page's toolkit. The page calls the functions below for
// every event; the application lives as long as the page, as a desktop application does.
#include <emscripten.h>

#include <algorithm>
#include <memory>
#include <string>

#include "form/MainForm.h"
#include "platform/web/WebToolkit.h"
#include "runner/GoTo.h"

namespace {

struct Application {
  quelvar::web::WebToolkit toolkit{"Quelvar"};
  quelvar::TForm1 form{toolkit};
};

// The one application object, as the desktop has its QApplication.
Application& App() {
  static Application application;
  return application;
}

// Texts from the page come as bytes on the heap with their size: a name of any length, holding
// any character, NUL included, reaches the form whole.
std::string_view Text(const char* bytes, int size) {
  return {bytes, static_cast<size_t>(size)};
}

// Runs one event from the page; the page then hears what changed in the lists.
template <typename Event>
void Handle(const Event& event) {
  event();
  App().toolkit.ShowChanges();
}

}  // namespace

extern "C" {

EMSCRIPTEN_KEEPALIVE void quelvar_start() {
  Handle([] { App(); });
}

EMSCRIPTEN_KEEPALIVE void quelvar_click(const char* button, int size) {
  Handle([=] { App().toolkit.UserClick(Text(button, size)); });
}

EMSCRIPTEN_KEEPALIVE void quelvar_menu(const char* item, int size) {
  Handle([=] { App().toolkit.ChooseMenuItem(Text(item, size)); });
}

EMSCRIPTEN_KEEPALIVE void quelvar_key(int key, int shift, const char* focus, int size) {
  Handle([=] {
    App().toolkit.PressKey(static_cast<uint16_t>(key), static_cast<uint8_t>(shift),
                           Text(focus, size));
  });
}

EMSCRIPTEN_KEEPALIVE void quelvar_frame(double now) {
  Handle([=] { App().toolkit.Frame(now); });
}

// Load with a name chosen in the page's dialog; an empty name is a cancelled dialog.
EMSCRIPTEN_KEEPALIVE void quelvar_load(const char* name, int size) {
  Handle([=] {
    if (size > 0) App().toolkit.FileDialog().ChooseOnce(std::string(Text(name, size)));
    App().toolkit.ChooseMenuItem("Load1");
  });
}

EMSCRIPTEN_KEEPALIVE const char* quelvar_row(const char* list, int size, int row) {
  return App().toolkit.ListNamed(Text(list, size)).Row(row).data();
}

EMSCRIPTEN_KEEPALIVE int quelvar_row_size(const char* list, int size, int row) {
  return static_cast<int>(std::min(App().toolkit.ListNamed(Text(list, size)).Row(row).size(),
                                   quelvar::platform::ListBox::kShownBytes));
}

EMSCRIPTEN_KEEPALIVE void quelvar_select(const char* list, int size, int row) {
  App().toolkit.ListNamed(Text(list, size)).Select(row);
}

EMSCRIPTEN_KEEPALIVE const char* quelvar_file_name() {
  return App().form.OpenDialog1->FileName.c_str();
}

// Go to line count K, from the workspace beside the form; returns the lines executed.
EMSCRIPTEN_KEEPALIVE double quelvar_go_to(double k) {
  uint64_t executed = 0;
  Handle([&] {
    App().toolkit.Dispatch(
        [&] { executed = quelvar::GoToLineCount(App().form, static_cast<uint64_t>(k)); });
  });
  return static_cast<double>(executed);
}

}  // extern "C"
