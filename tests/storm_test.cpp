// Ten thousand random presses, releases, drags and program-bar moves through
// the form layer: nothing breaks, memory stays flat, and every press of the
// primary button is answered by the Note Off of the key it pressed.
#include "ProgramFixture.h"

#include <malloc.h>

#include <random>

using platform::MouseButton;

namespace {

TEST_F(ProgramTest, AnInputStormIsSurvivedAndEveryPrimaryPressIsReleased) {
  Devices({platform::ScriptedDevice("Synth")});
  Run([&](platform::HeadlessBackend &b) {
    std::mt19937 rng(20261211);
    auto coord = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
    const MouseButton buttons[] = {MouseButton::Left, MouseButton::Right, MouseButton::Middle,
                                   MouseButton::Other};
    int pressedNote = -1; // the note the held primary button sounds, if any
    bool primaryDown = false;
    std::size_t before = 0;
    int answered = 0, primaryPresses = 0;

    for (int step = 0; step < 10000; ++step) {
      if (step == 1000) {
        midi.ClearLog();
        before = mallinfo2().uordblks; // after the first allocations have settled
      }
      const std::size_t mark = midi.Log().size();
      const int x = coord(-40, 340), y = coord(-20, 160);
      const MouseButton button = buttons[coord(0, 3)];
      switch (coord(0, 3)) {
      case 0: // press
        if (button == MouseButton::Left && !primaryDown) {
          primaryDown = true;
          ++primaryPresses;
          platform::TShape *shape = Form1->ShapeAt(x, y);
          pressedNote = -1;
          for (int k = 0; shape != nullptr && k < KeyCount; ++k)
            if (Form1->Shapes()[static_cast<std::size_t>(k)] == shape)
              pressedNote = KeyTable[static_cast<std::size_t>(k)].note;
        }
        b.Press(*Form1, button, x, y);
        break;
      case 1: // release, wherever the pointer was dragged to
        b.Release(*Form1, button, x, y);
        if (button == MouseButton::Left && primaryDown) {
          primaryDown = false;
          if (pressedNote >= 0) {
            const auto &log = midi.Log();
            ASSERT_GT(log.size(), mark) << "no Note Off at step " << step;
            EXPECT_EQ(log.back().arg, 0x7F0080 + pressedNote * 256) << "step " << step;
            ++answered;
          }
        }
        break;
      case 2:
        b.ScrollBarAction(*Form1, "ScrollBar1", platform::ScrollCode::Track, coord(-5, 135));
        break;
      default:
        b.Key(*Form1, coord(0, 1) ? platform::KeyCode::Right : platform::KeyCode::PageUp);
        break;
      }
      if (midi.Log().size() > 4096)
        midi.ClearLog();
    }
    if (primaryDown)
      b.Release(*Form1, MouseButton::Left, 0, 0);
    midi.ClearLog();
    const std::size_t after = mallinfo2().uordblks;
    EXPECT_GT(answered, 50); // about one step in a hundred presses and releases a key
    EXPECT_GE(primaryPresses, answered);
    EXPECT_LT(after, before + 64 * 1024) << "heap grew from " << before << " to " << after;
  });
}

} // namespace
