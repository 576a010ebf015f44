// Runs the whole program without a screen: a scripted MIDI device, a person
// playing a few notes, then closing the window. Prints what they would see
// and hear, and where the settings file went.
#include "platform/HeadlessBackend.h"
#include "platform/RecordingMidiOut.h"
#include "ui/vellUnit1.h"
#include "ui/vellUnit2.h"
#include "vellProject1.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>

using namespace platform;

static void PrintKeys(const HeadlessBackend &b, const TForm &form) {
  // One character per key column at the white-key row: W white, R red.
  std::string row;
  for (int x = 3; x < 295; x += 14)
    row += b.Pixel(form, x, 100) == clRed ? 'R' : 'W';
  std::printf("  white keys: %s\n", row.c_str());
}

int main() {
  std::error_code ec;
  std::string exe = std::filesystem::read_symlink("/proc/self/exe", ec).string();
  if (exe.empty())
    exe = "./vellora-headless";

  RecordingMidiOut midi({ScriptedDevice("Demo GM Synth")});
  SetMidiOut(&midi);
  HeadlessBackend backend(exe);
  backend.SetClock([&] { return midi.Now(); });
  backend.SetScript([&](HeadlessBackend &b) {
    std::printf("Keyboard window \"%s\" at %d,%d size %dx%d\n", Form1->Caption().c_str(),
                Form1->Left(), Form1->Top(), Form1->Width(), Form1->Height());
    const int chord[] = {98 + 5, 126 + 5, 154 + 5}; // C4, E4, G4
    for (int x : chord)
      b.Press(*Form1, MouseButton::Left, x, 100), b.Release(*Form1, MouseButton::Left, x, 100);
    b.ScrollBarAction(*Form1, "ScrollBar1", ScrollCode::Track, 41); // program 40
    b.Press(*Form1, MouseButton::Left, 98 + 5, 100);
    std::printf("While C4 is held:\n");
    PrintKeys(b, *Form1);
    b.Release(*Form1, MouseButton::Left, 98 + 5, 100);
    b.PickMenu(*Form1, "N1");
    std::printf("Device window shown: %s, entries:", b.IsVisible(*Form2) ? "yes" : "no");
    for (const auto &item : Form2->ComboBox1->Items())
      std::printf(" \"%s\"", item.c_str());
    std::printf("\n");
    b.RequestClose(*Form1);
  });
  RunVellora(backend);

  for (const auto &m : backend.Messages())
    std::printf("Message box [%s]: %s\n", m.title.c_str(), m.text.c_str());
  std::printf("MIDI calls, with the bytes that reached the device:\n%s", midi.Describe().c_str());
  const std::string ini = ChangeFileExt(exe, ".ini");
  std::ifstream in(ini, std::ios::binary);
  std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  std::printf("Settings file %s:\n%s", ini.c_str(), text.c_str());
  return 0;
}
