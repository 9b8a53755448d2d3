#pragma once

#include <cstdint>
#include <string_view>

// The page's side of the browser toolkit: every call into JavaScript, in one place (WebPage.cpp).
// Controls are known to the page by their form names, which are also their elements' ids.
namespace quelvar::web::page {

void Create(std::string_view name, int kind, int left, int top, int width, int height,
            std::string_view text, bool enabled, bool visible, std::string_view accessibleName);
void AddMenu(std::string_view title, int mnemonic);
void AddMenuItem(std::string_view name, std::string_view menu, std::string_view caption,
                 int mnemonic, std::string_view shortcut);
void SetText(std::string_view name, std::string_view text);
void SetEnabled(std::string_view name, bool enabled);
// Whether the control has the keyboard focus, and gives it the focus.
bool HasFocus(std::string_view name);
void Focus(std::string_view name);
// Puts the control after those placed before it in the order Tab moves through.
void PlaceInTabOrder(std::string_view name);
// The list has `count` rows and some have new text; `cleared` when it was emptied meanwhile, which
// takes its outlines and its selection. The page shows the rows in view again.
void ListChanged(std::string_view name, int32_t count, bool cleared);
// The outline on `row`: a CSS colour, or empty to remove it.
void Outline(std::string_view name, int32_t row, std::string_view colour);
void RepaintList(std::string_view name);
void ShowBox(std::string_view caption, std::string_view text, bool error);
void SetTitle(std::string_view title);
// Says `text` in the page's polite live region, and makes the framed row of a focused list its
// active item, so that what a screen reader reads next is up to date.
void Announce(std::string_view text);

}  // namespace quelvar::web::page
