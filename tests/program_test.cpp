// The program run: start, the no-device warning, and the exit.
#include "ProgramFixture.h"

using platform::MouseButton;

namespace {

using Lines = std::vector<std::string>;

TEST(ApplicationObject, TitleAndSettingsPathComeFromTheExecutableName) {
  struct Case {
    const char *exe, *title, *ini;
  };
  const Case cases[] = {
      {"C:\\Tools\\VELLORA.EXE", "Vellora", "C:\\Tools\\VELLORA.ini"},
      {"/opt/vellora/vellora", "vellora", "/opt/vellora/vellora.ini"},
      {"/opt/My.Keys.exe", "My", "/opt/My.Keys.ini"},
      {"/opt/v1.2/KEYBOARD", "Keyboard", "/opt/v1.2/KEYBOARD.ini"},
      {"C:\\a.b\\ÄBC.exe", "Äbc", "C:\\a.b\\ÄBC.ini"},
      {"plain", "plain", "plain.ini"},
  };
  for (const Case &c : cases) {
    EXPECT_EQ(platform::TitleFromExeName(c.exe), c.title) << c.exe;
    EXPECT_EQ(platform::ChangeFileExt(c.exe, ".ini"), c.ini) << c.exe;
  }
}

TEST_F(ProgramTest, StartOpensTheDeviceAndShowsOnlyTheKeyboardWindow) {
  Devices({platform::ScriptedDevice("Synth")});
  Run([&](platform::HeadlessBackend &b) {
    EXPECT_TRUE(b.IsVisible(*Form1));
    EXPECT_FALSE(b.IsVisible(*Form2));
    EXPECT_EQ(b.WindowBounds(*Form1), (platform::Rect{100, 100, 304, 164}));
    EXPECT_EQ(b.ApplicationTitle(), "Vellora");
    EXPECT_EQ(Trace(0, true),
              (Lines{"GetNumDevs 1", "GetNumDevs 1", "GetNumDevs 1", "GetDevCaps 0", "Open 0",
                     "PrepareHeader", "LongMsg " + GsResetHex, "Sleep 100"}));
    EXPECT_EQ(Hex(midi.BytesTo(0)), GsResetHex);
    EXPECT_TRUE(b.Messages().empty());
  });
  EXPECT_EQ(backend->Journal(), (Lines{"show Form1"}));
}

TEST_F(ProgramTest, WithNoDeviceItWarnsBeforeTheWindowShowsAndKeepsRunning) {
  Run([&](platform::HeadlessBackend &b) {
    EXPECT_EQ(b.Journal(), (Lines{"message ＭＩＤＩ音源がないのでこのソフトは利用できません",
                                  "show Form1", "message BADDEVICEID"}));
    ASSERT_EQ(b.Messages().size(), 2u);
    EXPECT_EQ(b.Messages()[0].timeMs, 0u);
    EXPECT_EQ(b.Messages()[1].timeMs, 2500u);
    for (const auto &m : b.Messages()) {
      EXPECT_EQ(m.title, "Vellora");
      EXPECT_EQ(m.icon, platform::MessageIcon::None);
    }
    // Six attempts on device 0, the GS Reset tried anyway, and the wait.
    EXPECT_EQ(Trace(), (Lines{"Open 0 -> 2", "Close -> 5", "Sleep 500", "Open 0 -> 2", "Close -> 5",
                              "Sleep 500", "Open 0 -> 2", "Close -> 5", "Sleep 500", "Open 0 -> 2",
                              "Close -> 5", "Sleep 500", "Open 0 -> 2", "Close -> 5", "Sleep 500",
                              "Open 0 -> 2", "PrepareHeader -> 5", "LongMsg -> 5", "Sleep 100"}));
    // Playing still works on screen; the notes go nowhere.
    b.Press(*Form1, MouseButton::Left, 5, 100);
    EXPECT_EQ(b.Pixel(*Form1, 5, 100), platform::clRed);
    b.Release(*Form1, MouseButton::Left, 5, 100);
    EXPECT_EQ(b.Pixel(*Form1, 5, 100), platform::clWhite);
    EXPECT_EQ(b.Messages().size(), 2u);
  });
}

TEST_F(ProgramTest, ExitClosesTheOutputThenSavesTheFile) {
  Devices({platform::ScriptedDevice("Synth")});
  Run([&](platform::HeadlessBackend &b) {
    std::size_t mark = midi.Log().size();
    b.Press(*Form1, MouseButton::Left, 5, 100); // a note left sounding
    mark = midi.Log().size();
    b.RequestClose(*Form1);
    EXPECT_EQ(Trace(mark), (Lines{"Close"}));
    EXPECT_EQ(midi.OpenHandles(), 0);
    EXPECT_TRUE(b.Quitting());
  });
  EXPECT_EQ(ReadFileBytes(ini), "[window]\r\nHeight=164\r\nWidth=304\r\nTop=100\r\nLeft=100\r\n\r\n"
                                "[dev]\r\ndev_num=0\r\ngakki=Synth\r\nmap=4\r\n\r\n");
}

TEST_F(ProgramTest, ExitStoresTheWindowWhereThePersonLeftIt) {
  Devices({platform::ScriptedDevice("Synth")});
  Run([&](platform::HeadlessBackend &b) {
    b.MoveWindow(*Form1, platform::Rect{-20, 3000, 10, 20});
    b.RequestClose(*Form1);
  });
  EXPECT_EQ(ReadFileBytes(ini), "[window]\r\nHeight=20\r\nWidth=10\r\nTop=3000\r\nLeft=-20\r\n\r\n"
                                "[dev]\r\ndev_num=0\r\ngakki=Synth\r\nmap=4\r\n\r\n");
}

TEST_F(ProgramTest, ARunThatEndsWithoutTheCloseLeavesTheFileAsItWas) {
  Devices({platform::ScriptedDevice("Synth")});
  WriteFileBytes(ini, "; mine\n[window]\nleft=7\n");
  Run([&](platform::HeadlessBackend &b) { b.Click(*Form1, MouseButton::Left, 5, 100); });
  EXPECT_EQ(ReadFileBytes(ini), "; mine\n[window]\nleft=7\n");
}

TEST_F(ProgramTest, ClosingTheDeviceWindowOnlyHidesIt) {
  Devices({platform::ScriptedDevice("Synth")});
  Run([&](platform::HeadlessBackend &b) {
    b.PickMenu(*Form1, "N1");
    std::size_t mark = midi.Log().size();
    b.RequestClose(*Form2);
    EXPECT_FALSE(b.IsVisible(*Form2));
    EXPECT_FALSE(b.Quitting());
    EXPECT_TRUE(Trace(mark).empty());
  });
  EXPECT_FALSE(fs::exists(ini)); // nothing saved: the keyboard window never closed
}

} // namespace
