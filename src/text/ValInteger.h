#pragma once

#include <cstdint>
#include <string_view>

namespace quelvar {

// Result of converting a number text: `errorPos` is 0 when the whole text is one valid number,
// otherwise the 1-based position where the text stopped being usable.
struct ValResult {
  int32_t value = 0;
  int32_t errorPos = 0;
  friend bool operator==(const ValResult&, const ValResult&) = default;
};

// The one conversion from text to integer. Program lines use only `value`, whatever `errorPos`
// says, so the value left behind by an imperfect text is part of how programs behave.
ValResult ValInteger(std::string_view text);

}  // namespace quelvar
