#pragma once

#include <cstdint>

namespace quelvar::platform {

// A colour as 0xRRGGBB, or the platform's button-face colour, which each toolkit resolves from
// its own palette.
struct Color {
  uint32_t rgb = 0;
  bool buttonFace = false;
  friend bool operator==(const Color&, const Color&) = default;
};

inline constexpr Color kWhite{0xFFFFFF};
inline constexpr Color kBlue{0x0000FF};
inline constexpr Color clBtnFace{0, true};

// Pixels, right and bottom exclusive. 64 bits, since a row's place in a list of over 165 million
// rows of 13 pixels lies beyond what 32 bits hold.
struct Rect {
  int64_t left = 0;
  int64_t top = 0;
  int64_t right = 0;
  int64_t bottom = 0;
  bool Empty() const { return right <= left || bottom <= top; }
  friend bool operator==(const Rect&, const Rect&) = default;
};

}  // namespace quelvar::platform
