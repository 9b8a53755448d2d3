// The register list and the texts the displays show.
#include <algorithm>
#include <charconv>

#include "form/MainForm.h"

namespace quelvar {
namespace {

// The register list shows at most this many registers; a larger data form shows this many rather
// than wrapping to a count of none or a few.
constexpr int32_t kMaxShownRegs = 32767;

void AppendDecimal(ShortText& text, int32_t value) {
  char* const end = text.chars.data() + text.chars.size();
  text.size = std::to_chars(text.chars.data() + text.size, end, value).ptr - text.chars.data();
}

void AppendText(ShortText& text, std::string_view part) {
  std::copy(part.begin(), part.end(), text.chars.begin() + text.size);
  text.size += part.size();
}

}  // namespace

ShortText DecimalText(int32_t value) {
  ShortText text;
  AppendDecimal(text, value);
  return text;
}

ShortText RegisterLine(int32_t number, int16_t value) {
  ShortText text;
  AppendText(text, "R");
  AppendDecimal(text, number);
  AppendText(text, " -> ");
  AppendDecimal(text, value);
  return text;
}

int32_t TForm1::DisplayedRegCount() const {
  return std::min(RegCount, kMaxShownRegs);
}

void TForm1::FillRegsField() {
  const int32_t shown = DisplayedRegCount();
  for (int32_t i = 1; i <= shown; ++i) List1->Append(RegisterLine(i, ReadReg(i)));
}

// Every listed line must show its register afterwards, missing lines are appended in order, and
// the user's selected line is rewritten so that it is shown again. Lines that already show their
// register are left as they are, so a step costs what it changed, not N rewrites.
void TForm1::RedrawRegsField() {
  const int32_t shown = DisplayedRegCount();
  const int32_t listed = List1->Count();
  for (const int32_t n : UnshownRegs) {
    if (n >= 1 && n <= shown && n <= listed) List1->Replace(n - 1, RegisterLine(n, ReadReg(n)));
  }
  UnshownRegs.clear();
  const int32_t selected = List1->Selected();
  if (selected >= 0 && selected < std::min(shown, listed)) {
    List1->Replace(selected, RegisterLine(selected + 1, ReadReg(selected + 1)));
  }
  for (int32_t i = listed + 1; i <= shown; ++i) List1->Replace(i - 1, RegisterLine(i, ReadReg(i)));
}

}  // namespace quelvar
