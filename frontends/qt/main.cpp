// Vellora on Linux: Qt windows, MIDI out through RtMidi and the built-in synth.
#include "frontends/linux/LinuxMidiOut.h"
#include "frontends/qt/QtBackend.h"
#include "vellProject1.h"

int main(int argc, char **argv) {
  QtBackend backend(argc, argv);
  LinuxMidiOut midi;
  platform::SetMidiOut(&midi);
  const int result = RunVellora(backend);
  platform::SetMidiOut(nullptr);
  return result;
}
