// Vellora on Windows: Win32 windows and winmm output.
#include "frontends/win32/Win32Backend.h"
#include "frontends/win32/WinmmMidiOut.h"
#include "vellProject1.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
  Win32Backend backend(instance);
  WinmmMidiOut midi;
  platform::SetMidiOut(&midi);
  const int result = RunVellora(backend);
  platform::SetMidiOut(nullptr);
  return result;
}
