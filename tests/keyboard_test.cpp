// The keyboard window played with the mouse and the program bar.
#include "ProgramFixture.h"

using platform::clGray;
using platform::clRed;
using platform::clWhite;
using platform::KeyCode;
using platform::MouseButton;
using platform::ScrollCode;

namespace {

class Keyboard : public ProgramTest {
protected:
  void SetUp() override {
    ProgramTest::SetUp();
    Devices({platform::ScriptedDevice("Synth")});
  }
  // Everything sent after start-up, as traced lines.
  std::size_t mark = 0;
  void Mark() { mark = midi.Log().size(); }
  std::vector<std::string> Sent() const { return Trace(mark); }
};

struct Hit {
  int x, y;
  int note;
  int shape; // 1-based
};

TEST_F(Keyboard, APressGoesToTheTopmostKeyUnderThePointer) {
  const Hit hits[] = {
      {0, 32, 48, 1},     {5, 116, 48, 1},   {12, 40, 49, 8},    {12, 90, 48, 1},
      {14, 100, 50, 2},   {13, 100, 48, 1},  {126, 100, 62, 19}, {127, 100, 64, 18},
      {112, 100, 62, 19}, {111, 40, 61, 24}, {98, 100, 60, 13},  {294, 100, 83, 26},
      {280, 40, 82, 32},  {285, 81, 82, 32}, {285, 82, 83, 26},  {196, 60, 72, 25},
      {205, 35, 73, 36},  {182, 40, 70, 20}, {84, 100, 59, 7},   {9, 81, 49, 8},
  };
  Run([&](platform::HeadlessBackend &b) {
    for (const Hit &h : hits) {
      Mark();
      b.Press(*Form1, MouseButton::Left, h.x, h.y);
      char note[3];
      std::snprintf(note, sizeof note, "%02X", h.note);
      EXPECT_EQ(Sent(), (std::vector<std::string>{"ShortMsg C0 00",
                                                  std::string("ShortMsg 90 ") + note + " 64"}))
          << "press at " << h.x << "," << h.y;
      int kx, ky;
      KeyPoint(h.shape - 1, kx, ky);
      EXPECT_EQ(b.Pixel(*Form1, kx, ky), clRed) << "Shape" << h.shape;
      Mark();
      b.Release(*Form1, MouseButton::Left, h.x, h.y);
      EXPECT_EQ(Sent(), (std::vector<std::string>{std::string("ShortMsg 80 ") + note + " 7F"}));
      EXPECT_EQ(b.Pixel(*Form1, kx, ky), KeyRestColor(KeyTable[h.shape - 1]));
    }
  });
}

TEST_F(Keyboard, KeysArePaintedAtRestWithABlackOutline) {
  Run([&](platform::HeadlessBackend &b) {
    for (int k = 0; k < KeyCount; ++k) {
      int x, y;
      KeyPoint(k, x, y);
      EXPECT_EQ(b.Pixel(*Form1, x, y),
                k < 7 || (k >= 12 && k <= 18) || (k >= 24 && k <= 30) ? clWhite : clGray)
          << "Shape" << k + 1;
    }
    EXPECT_EQ(b.Pixel(*Form1, 0, 32), platform::clBlack);
    EXPECT_EQ(b.Pixel(*Form1, 14, 116), platform::clBlack);
    EXPECT_EQ(b.Pixel(*Form1, 294, 100), platform::clBlack);
    EXPECT_EQ(b.Pixel(*Form1, 295, 100), platform::HeadlessBackend::ButtonFace);
    EXPECT_EQ(b.Pixel(*Form1, 5, 117), platform::HeadlessBackend::ButtonFace);
  });
}

TEST_F(Keyboard, ThePrimaryButtonCapturesThePointerForItsKey) {
  Run([&](platform::HeadlessBackend &b) {
    Mark();
    b.Press(*Form1, MouseButton::Left, 5, 100);     // C3
    b.Release(*Form1, MouseButton::Left, -40, 300); // dragged off the window
    EXPECT_EQ(Sent(), (std::vector<std::string>{"ShortMsg C0 00", "ShortMsg 90 30 64",
                                                "ShortMsg 80 30 7F"}));
    EXPECT_EQ(b.Pixel(*Form1, 5, 100), clWhite);

    // Released over another key: still the pressed key's Note Off.
    Mark();
    b.Press(*Form1, MouseButton::Left, 5, 100);
    b.Release(*Form1, MouseButton::Left, 103, 100);
    EXPECT_EQ(Sent().back(), "ShortMsg 80 30 7F");
    EXPECT_EQ(b.Pixel(*Form1, 103, 100), clWhite);

    // While it is held, the other buttons' presses go to the captured key.
    Mark();
    b.Press(*Form1, MouseButton::Left, 5, 100);
    b.Press(*Form1, MouseButton::Right, 103, 100);
    b.Release(*Form1, MouseButton::Right, 103, 100);
    b.Release(*Form1, MouseButton::Left, 103, 100);
    EXPECT_EQ(Sent(), (std::vector<std::string>{"ShortMsg C0 00", "ShortMsg 90 30 64",
                                                "ShortMsg C0 00", "ShortMsg 90 30 64",
                                                "ShortMsg 80 30 7F", "ShortMsg 80 30 7F"}));
  });
}

TEST_F(Keyboard, OtherButtonsSoundKeysWithoutCapture) {
  Run([&](platform::HeadlessBackend &b) {
    Mark();
    b.Press(*Form1, MouseButton::Right, 5, 100);     // C3
    b.Release(*Form1, MouseButton::Right, 103, 100); // released over C4
    EXPECT_EQ(Sent(), (std::vector<std::string>{"ShortMsg C0 00", "ShortMsg 90 30 64",
                                                "ShortMsg 80 3C 7F"}));
    EXPECT_EQ(b.Pixel(*Form1, 5, 100), clRed); // C3 keeps its red: nothing told it
    EXPECT_EQ(b.Pixel(*Form1, 103, 100), clWhite);

    Mark();
    b.Press(*Form1, MouseButton::Middle, 12, 40);
    b.Release(*Form1, MouseButton::Middle, 500, 500); // outside: no key gets it
    EXPECT_EQ(Sent(), (std::vector<std::string>{"ShortMsg C0 00", "ShortMsg 90 31 64"}));

    Mark();
    b.Press(*Form1, MouseButton::Other, 5, 100);
    b.Release(*Form1, MouseButton::Other, 5, 100);
    EXPECT_TRUE(Sent().empty());
  });
}

TEST_F(Keyboard, APressOffTheKeysCapturesNothingForThem) {
  Run([&](platform::HeadlessBackend &b) {
    Mark();
    b.Press(*Form1, MouseButton::Left, 150, 125); // below the keys
    b.Release(*Form1, MouseButton::Left, 5, 100); // released over C3
    EXPECT_TRUE(Sent().empty());
  });
}

TEST_F(Keyboard, LosingThePointerMidPressReleasesTheKey) {
  Run([&](platform::HeadlessBackend &b) {
    b.Press(*Form1, MouseButton::Left, 5, 100);
    Mark();
    Form1->CaptureLost();
    EXPECT_EQ(Sent(), (std::vector<std::string>{"ShortMsg 80 30 7F"}));
    EXPECT_EQ(b.Pixel(*Form1, 5, 100), clWhite);
  });
}

TEST_F(Keyboard, PressingTwiceWithoutReleaseSendsTwoNoteOns) {
  Run([&](platform::HeadlessBackend &b) {
    Mark();
    b.Press(*Form1, MouseButton::Right, 290, 100); // B5, highest key
    b.Press(*Form1, MouseButton::Right, 290, 100);
    EXPECT_EQ(Sent(), (std::vector<std::string>{"ShortMsg C0 00", "ShortMsg 90 53 64",
                                                "ShortMsg C0 00", "ShortMsg 90 53 64"}));
  });
}

TEST_F(Keyboard, TheProgramBarChoosesTheProgramOfTheNextNote) {
  Run([&](platform::HeadlessBackend &b) {
    auto programOfNextNote = [&] {
      Mark();
      b.Click(*Form1, MouseButton::Left, 5, 100);
      return Sent().front();
    };
    EXPECT_EQ(programOfNextNote(), "ShortMsg C0 00");
    const std::pair<KeyCode, int> steps[] = {
        {KeyCode::Left, 1},  {KeyCode::Up, 1},       {KeyCode::Right, 2},
        {KeyCode::Down, 3},  {KeyCode::PageDown, 4}, {KeyCode::PageUp, 3},
        {KeyCode::End, 127}, {KeyCode::Right, 127},  {KeyCode::PageDown, 127},
        {KeyCode::Home, 1},  {KeyCode::Backspace, 1}};
    for (auto [key, position] : steps) {
      b.Key(*Form1, key);
      EXPECT_EQ(Form1->ScrollBar1->Position(), position);
      EXPECT_EQ(CurrentProgram, position);
    }
    b.ScrollBarAction(*Form1, "ScrollBar1", ScrollCode::Track, 40);
    EXPECT_EQ(programOfNextNote(), "ShortMsg C0 27");
    b.ScrollBarAction(*Form1, "ScrollBar1", ScrollCode::Track, 500);
    EXPECT_EQ(programOfNextNote(), "ShortMsg C0 7E");
    b.ScrollBarAction(*Form1, "ScrollBar1", ScrollCode::PageUp);
    EXPECT_EQ(programOfNextNote(), "ShortMsg C0 7D");
    b.ScrollBarAction(*Form1, "ScrollBar1", ScrollCode::Track, -3);
    EXPECT_EQ(programOfNextNote(), "ShortMsg C0 00");
  });
}

TEST_F(Keyboard, TheBarsChangeEventFiresOnEveryChangeOfPositionOnly) {
  Run([&](platform::HeadlessBackend &b) {
    int changes = 0;
    Form1->ScrollBar1->OnChange = [&](platform::TObject &) { ++changes; };
    b.ScrollBarAction(*Form1, "ScrollBar1", ScrollCode::LineUp); // already at 1
    for (int p : {2, 3, 4, 4, 5})
      b.ScrollBarAction(*Form1, "ScrollBar1", ScrollCode::Track, p); // dragging the thumb
    b.Key(*Form1, KeyCode::Home);
    EXPECT_EQ(changes, 5);
  });
}

TEST_F(Keyboard, TheFirstTwoMenuItemsChangeNothing) {
  Run([&](platform::HeadlessBackend &b) {
    Mark();
    auto journal = b.Journal().size();
    b.PickMenu(*Form1, "F1");
    b.PickMenu(*Form1, "Commands1");
    EXPECT_TRUE(Sent().empty());
    EXPECT_EQ(b.Journal().size(), journal);
    EXPECT_FALSE(b.IsVisible(*Form2));
  });
}

TEST_F(Keyboard, MenuBarHasItsThreeItems) {
  Run([&](platform::HeadlessBackend &) {
    std::vector<std::string> captions;
    for (const auto &m : Form1->MenuItems())
      captions.push_back(m->Caption());
    EXPECT_EQ(captions, (std::vector<std::string>{"ファイル(&F)", "機能(&G)", "音源(&V)"}));
    EXPECT_EQ(Form1->Caption(), "Vellora");
  });
}

} // namespace
