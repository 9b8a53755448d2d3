#include "platform/web/WebPage.h"

#include <emscripten.h>

#include <string>

// Texts cross as pointer and length; the page decodes them as UTF-8, as the window shows bytes in
// the system's encoding.
EM_JS(void, js_create,
      (const char* name, int kind, int left, int top, int width, int height, const char* text,
       int textSize, int enabled, int visible, const char* accessible, int accessibleSize),
      {
        QuelvarPage.create(UTF8ToString(name), kind, left, top, width, height,
                           UTF8ToString(text, textSize), !!enabled, !!visible,
                           UTF8ToString(accessible, accessibleSize));
      });
EM_JS(void, js_add_menu, (const char* title, int mnemonic),
      { QuelvarPage.addMenu(UTF8ToString(title), mnemonic); });
EM_JS(void, js_add_menu_item,
      (const char* name, const char* menu, const char* caption, int mnemonic, const char* shortcut),
      {
        QuelvarPage.addMenuItem(UTF8ToString(name), UTF8ToString(menu), UTF8ToString(caption),
                                mnemonic, UTF8ToString(shortcut));
      });
EM_JS(void, js_set_text, (const char* name, const char* text, int size),
      { QuelvarPage.setText(UTF8ToString(name), UTF8ToString(text, size)); });
EM_JS(void, js_set_enabled, (const char* name, int enabled),
      { QuelvarPage.setEnabled(UTF8ToString(name), !!enabled); });
EM_JS(int, js_has_focus, (const char* name),
      { return QuelvarPage.hasFocus(UTF8ToString(name)) ? 1 : 0; });
EM_JS(void, js_focus, (const char* name), { QuelvarPage.focus(UTF8ToString(name)); });
EM_JS(void, js_place_in_tab_order, (const char* name),
      { QuelvarPage.placeInTabOrder(UTF8ToString(name)); });
EM_JS(void, js_list_changed, (const char* name, int count, int cleared),
      { QuelvarPage.listChanged(UTF8ToString(name), count, !!cleared); });
EM_JS(void, js_outline, (const char* name, int row, const char* colour),
      { QuelvarPage.outline(UTF8ToString(name), row, UTF8ToString(colour)); });
EM_JS(void, js_repaint_list, (const char* name), { QuelvarPage.repaintList(UTF8ToString(name)); });
EM_JS(void, js_show_box,
      (const char* caption, int captionSize, const char* text, int textSize, int error), {
        QuelvarPage.showBox(UTF8ToString(caption, captionSize), UTF8ToString(text, textSize),
                            !!error);
      });
EM_JS(void, js_set_title, (const char* title, int size),
      { QuelvarPage.setTitle(UTF8ToString(title, size)); });
EM_JS(void, js_announce, (const char* text, int size),
      { QuelvarPage.announce(UTF8ToString(text, size)); });

namespace quelvar::web::page {
namespace {

std::string Z(std::string_view text) {
  return std::string(text);
}

}  // namespace

void Create(std::string_view name, int kind, int left, int top, int width, int height,
            std::string_view text, bool enabled, bool visible, std::string_view accessibleName) {
  js_create(Z(name).c_str(), kind, left, top, width, height, text.data(),
            static_cast<int>(text.size()), enabled, visible, accessibleName.data(),
            static_cast<int>(accessibleName.size()));
}

void AddMenu(std::string_view title, int mnemonic) {
  js_add_menu(Z(title).c_str(), mnemonic);
}

void AddMenuItem(std::string_view name, std::string_view menu, std::string_view caption,
                 int mnemonic, std::string_view shortcut) {
  js_add_menu_item(Z(name).c_str(), Z(menu).c_str(), Z(caption).c_str(), mnemonic,
                   Z(shortcut).c_str());
}

void SetText(std::string_view name, std::string_view text) {
  js_set_text(Z(name).c_str(), text.data(), static_cast<int>(text.size()));
}

void SetEnabled(std::string_view name, bool enabled) {
  js_set_enabled(Z(name).c_str(), enabled);
}

bool HasFocus(std::string_view name) {
  return js_has_focus(Z(name).c_str()) != 0;
}

void Focus(std::string_view name) {
  js_focus(Z(name).c_str());
}

void PlaceInTabOrder(std::string_view name) {
  js_place_in_tab_order(Z(name).c_str());
}

void ListChanged(std::string_view name, int32_t count, bool cleared) {
  js_list_changed(Z(name).c_str(), count, cleared);
}

void Outline(std::string_view name, int32_t row, std::string_view colour) {
  js_outline(Z(name).c_str(), row, Z(colour).c_str());
}

void RepaintList(std::string_view name) {
  js_repaint_list(Z(name).c_str());
}

void ShowBox(std::string_view caption, std::string_view text, bool error) {
  js_show_box(caption.data(), static_cast<int>(caption.size()), text.data(),
              static_cast<int>(text.size()), error);
}

void SetTitle(std::string_view title) {
  js_set_title(title.data(), static_cast<int>(title.size()));
}

void Announce(std::string_view text) {
  js_announce(text.data(), static_cast<int>(text.size()));
}

}  // namespace quelvar::web::page
