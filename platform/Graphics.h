// Colours, rectangles and the canvas a form paints its windowless shapes on.
#pragma once

#include <cstdint>

namespace platform {

enum class SystemColor : std::uint8_t { None, ButtonFace, WindowText };

// 24-bit RGB, or a system colour that each backend resolves for itself.
struct Color {
  std::uint8_t r = 0, g = 0, b = 0;
  SystemColor system = SystemColor::None;
  friend bool operator==(const Color &, const Color &) = default;
};

inline constexpr Color clBlack{0, 0, 0};
inline constexpr Color clWhite{255, 255, 255};
inline constexpr Color clGray{128, 128, 128};
inline constexpr Color clRed{255, 0, 0};
inline constexpr Color clBtnFace{0, 0, 0, SystemColor::ButtonFace};
inline constexpr Color clWindowText{0, 0, 0, SystemColor::WindowText};

// Covers x in [left, left + width) and y in [top, top + height).
struct Rect {
  int left = 0, top = 0, width = 0, height = 0;
  bool Contains(int x, int y) const {
    return x >= left && x < left + width && y >= top && y < top + height;
  }
  friend bool operator==(const Rect &, const Rect &) = default;
};

class TCanvas {
public:
  virtual ~TCanvas() = default;
  virtual void FillRect(const Rect &r, Color c) = 0;
  // One-pixel outline along the rectangle's edge pixels.
  virtual void FrameRect(const Rect &r, Color c) = 0;
};

} // namespace platform
