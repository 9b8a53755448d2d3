// The window's texts, names, mnemonics, shortcuts and tab order as the layout declares them. They
// are the window's own, typos included, and pinned here so that nobody "fixes" one by accident.
#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>

#include "form/MainForm.h"
#include "support/FormFixture.h"

namespace quelvar::test {
namespace {

TEST(Layout, KeepsEveryCaptionAsItStands) {
  const std::map<std::string, std::string> captions = {
      {"Button6", "Load Progrtam"},
      {"Button4", "Run It"},
      {"Button7", "Step Or Run"},
      {"Button8", "Next"},
      {"Button9", "Pause It"},
      {"Button5", "Halt"},
      {"Button1", "Button1"},
      {"Button2", "Button2"},
      {"Label1", "Registers:"},
      {"Label2", "Program:"},
      {"Label5", "Program module:"},
      {"Label6", "Data form:"},
      {"Label4", "Instruction Index is:"},
      {"Label3", "Label3"},
      {"Label7", "Program text from:"},
      {"Label8", ""},
      {"Label9", ""},
      {"Label10", ""},
      {"Label13", " An unlimited register machine for the classroom: Z, S, T and J."},
      {"Label11", "Registers hold 16 bits: S(n) on 32767 gives -32768."},
  };
  const platform::FormLayout& layout = MainFormLayout();
  EXPECT_EQ(layout.caption, "Quelvar");
  size_t captioned = 0;
  for (const platform::ControlSpec& spec : layout.controls) {
    const auto found = captions.find(std::string(spec.name));
    if (found == captions.end()) continue;
    EXPECT_EQ(spec.text, found->second) << spec.name;
    ++captioned;
  }
  EXPECT_EQ(captioned, captions.size());
}

TEST(Layout, KeepsTheMenuWithItsMnemonicsAndShortcuts) {
  // The caption as the menu shows it, '&' before the mnemonic, and the shortcut's text.
  const std::map<std::string, std::pair<std::string, std::string>> items = {
      {"Load1", {"&Load", "F3"}},
      {"Exit1", {"&Exit", "Ctrl+X"}},
      {"RunIt1", {"&Run It", "Ctrl+F9"}},
      {"StepOrRun1", {"&Step Or Run", "Shift+F9"}},
      {"NextStep1", {"&Next Step", "F7"}},
      {"Halt1", {"&Halt", "F6"}},
      {"About1", {"&About", "F1"}},
      {"N1", {"-", ""}},
      {"N2", {"-", ""}},
  };
  const platform::FormLayout& layout = MainFormLayout();
  std::vector<std::string> titles;
  for (const platform::MenuTitleSpec& menu : layout.menus) {
    titles.push_back(platform::MarkedCaption(menu.title, menu.mnemonic));
  }
  EXPECT_EQ(titles, (std::vector<std::string>{"&Program", "&Run", "&Help"}));
  std::map<std::string, std::set<char>> letters;
  for (const platform::MenuSpec& spec : layout.menu) {
    const auto found = items.find(std::string(spec.name));
    ASSERT_NE(found, items.end()) << spec.name;
    EXPECT_EQ(platform::MarkedCaption(spec.caption, spec.mnemonic), found->second.first);
    EXPECT_EQ(platform::ShortcutText(spec.shortcut), found->second.second);
    // Within a menu, no two items share their mnemonic letter.
    if (spec.mnemonic >= 0) {
      EXPECT_TRUE(letters[std::string(spec.menu)].insert(spec.caption[spec.mnemonic]).second)
          << spec.name;
    }
  }
}

TEST(Layout, TabsThroughTheListsThenTheButtons) {
  const platform::FormLayout& layout = MainFormLayout();
  EXPECT_EQ(std::vector<std::string_view>(layout.tabOrder.begin(), layout.tabOrder.end()),
            (std::vector<std::string_view>{"List1", "List2", "Button4", "Button6", "Button7",
                                           "Button8", "Button5", "Button9"}));
}

// When a focused button disables itself, the focus goes to the one that carries its command on,
// never to one that ends or restarts the run (additions for keyboard users).
TEST(Layout, HandsTheFocusOnToTheButtonThatTakesTheCommandOver) {
  std::vector<std::string> takeovers;
  for (const platform::FocusTakeover& takeover : MainFormLayout().focusTakeovers) {
    std::string line(takeover.from);
    for (const std::string_view to : takeover.to) line += " " + std::string(to);
    takeovers.push_back(line);
  }
  EXPECT_EQ(takeovers, (std::vector<std::string>{"Button7 Button8", "Button4 Button9",
                                                 "Button8 Button7 Button4", "Button5 Button4"}));
  ASSERT_EQ(MainFormLayout().buttonKeys.size(), 1u);
  EXPECT_EQ(platform::ShortcutText(MainFormLayout().buttonKeys[0].key), "F8");
  EXPECT_EQ(MainFormLayout().buttonKeys[0].button, "Button9");
}

// The filter of the Load dialog is set by the command itself.
TEST_F(FormTest, LoadFiltersForDescriptorsWithItsOwnText) {
  toolkit.FileDialog().WillCancel();
  toolkit.ChooseMenuItem("Load1");
  EXPECT_EQ(form.OpenDialog1->Filter, "Programs for Register Mashine *.rm|*.rm");
}

}  // namespace
}  // namespace quelvar::test
