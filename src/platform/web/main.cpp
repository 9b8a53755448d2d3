// Quelvar in the browser: the form on the page's toolkit. The page calls the functions below for
// every event; the application lives as long as the page, as a desktop application does.
#include <emscripten.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <string>

#include "form/MainForm.h"
#include "platform/web/WebToolkit.h"

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

}  // namespace

extern "C" {

EMSCRIPTEN_KEEPALIVE void quelvar_start() {
  App();
}

EMSCRIPTEN_KEEPALIVE void quelvar_click(const char* button) {
  App().toolkit.UserClick(button);
}

EMSCRIPTEN_KEEPALIVE void quelvar_menu(const char* item) {
  App().toolkit.ChooseMenuItem(item);
}

EMSCRIPTEN_KEEPALIVE void quelvar_key(int key, int shift, const char* focus) {
  App().toolkit.PressKey(static_cast<uint16_t>(key), static_cast<uint8_t>(shift), focus);
}

EMSCRIPTEN_KEEPALIVE void quelvar_frame(double now) {
  App().toolkit.Frame(now);
}

// Load with a name chosen in the page's dialog; an empty name is a cancelled dialog.
EMSCRIPTEN_KEEPALIVE void quelvar_load(const char* name) {
  if (*name != '\0') App().toolkit.FileDialog().ChooseOnce(name);
  App().toolkit.ChooseMenuItem("Load1");
}

EMSCRIPTEN_KEEPALIVE const char* quelvar_row(const char* list, int row) {
  return App().toolkit.ListNamed(list).Row(row).data();
}

EMSCRIPTEN_KEEPALIVE int quelvar_row_size(const char* list, int row) {
  return static_cast<int>(std::min(App().toolkit.ListNamed(list).Row(row).size(),
                                   quelvar::platform::ListBox::kShownBytes));
}

EMSCRIPTEN_KEEPALIVE void quelvar_select(const char* list, int row) {
  App().toolkit.ListNamed(list).Select(row);
}

EMSCRIPTEN_KEEPALIVE const char* quelvar_file_name() {
  return App().form.OpenDialog1->FileName.c_str();
}

}  // extern "C"
