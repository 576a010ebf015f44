// Raw input as the backends hand it to the form layer.
#pragma once

#include <cstdint>
#include <string>

namespace platform {

enum class MouseButton { Left, Right, Middle, Other };

enum class KeyCode { Left, Right, Up, Down, PageUp, PageDown, Home, End, Backspace, Char, Other };

struct KeyEvent {
  KeyCode code = KeyCode::Other;
  std::string text;         // the typed character for Char, in the system code page
  std::uint64_t timeMs = 0; // the platform's message time
};

enum class ScrollCode { LineUp, LineDown, PageUp, PageDown, Top, Bottom, Track };

} // namespace platform
