// The settings file beside the executable, through whole program runs.
#include "ProgramFixture.h"

#include <sys/stat.h>

namespace {

using Lines = std::vector<std::string>;

class SettingsFile : public ProgramTest {
protected:
  void SetUp() override {
    ProgramTest::SetUp();
    Devices({platform::ScriptedDevice("Synth")});
  }
  void RunAndClose() {
    Run([&](platform::HeadlessBackend &b) { b.RequestClose(*Form1); });
  }
};

TEST_F(SettingsFile, AHandEditedFileIsAppliedAndRewritten) {
  WriteFileBytes(ini, "; my settings\r\n"
                      "stray=before any section\r\n"
                      "[WINDOW]\r\n"
                      "LEFT=0x20\r\n"
                      "height=abc\r\n"
                      "  width = $140  \r\n"
                      "top=-5\r\n"
                      "\r\n"
                      "[  extra  ]\r\n"
                      "  some key  =  some value  \r\n"
                      "flag\r\n"
                      "[dev]\r\n"
                      "map=x10\r\n");
  Run([&](platform::HeadlessBackend &b) {
    EXPECT_EQ(b.WindowBounds(*Form1), (platform::Rect{32, -5, 320, 164}));
    EXPECT_EQ(MapSetting, 16);
    b.MoveWindow(*Form1, platform::Rect{40, 50, 320, 170});
    b.RequestClose(*Form1);
  });
  EXPECT_EQ(ReadFileBytes(ini), "[WINDOW]\r\n"
                                "Left=40\r\n"
                                "Height=170\r\n"
                                "Width=320\r\n"
                                "Top=50\r\n"
                                "\r\n"
                                "[extra]\r\n"
                                "some key=some value\r\n"
                                "flag\r\n"
                                "\r\n"
                                "[dev]\r\n"
                                "map=16\r\n"
                                "dev_num=0\r\n"
                                "gakki=Synth\r\n"
                                "\r\n");
}

TEST_F(SettingsFile, StoredGeometryIsAppliedWithoutRangeChecks) {
  WriteFileBytes(ini, "[window]\nleft=$FFFFFFFF\ntop=99999\nwidth=1\nheight=0\n");
  Run([&](platform::HeadlessBackend &b) {
    EXPECT_EQ(b.WindowBounds(*Form1), (platform::Rect{-1, 99999, 1, 0}));
  });
}

TEST_F(SettingsFile, AByteOrderMarkCostsTheFirstSection) {
  WriteFileBytes(ini, "\xEF\xBB\xBF[window]\r\nLeft=5\r\n\r\n[dev]\r\nmap=2\r\n\r\n");
  Run([&](platform::HeadlessBackend &b) {
    EXPECT_EQ(Form1->Left(), 100);
    b.RequestClose(*Form1);
  });
  EXPECT_EQ(ReadFileBytes(ini),
            "[dev]\r\nmap=2\r\ndev_num=0\r\ngakki=Synth\r\n\r\n"
            "[window]\r\nHeight=164\r\nWidth=304\r\nTop=100\r\nLeft=100\r\n\r\n");
}

TEST_F(SettingsFile, WithNoDevicesTheNameIsWrittenEmpty) {
  Devices({});
  RunAndClose();
  EXPECT_EQ(ReadFileBytes(ini), "[window]\r\nHeight=164\r\nWidth=304\r\nTop=100\r\nLeft=100\r\n\r\n"
                                "[dev]\r\ndev_num=0\r\ngakki=\r\nmap=4\r\n\r\n");
}

TEST_F(SettingsFile, ANameEndingInASpaceIsWrittenWithIt) {
  Devices({platform::ScriptedDevice("A"), platform::ScriptedDevice("B ")});
  Run([&](platform::HeadlessBackend &b) {
    b.PickMenu(*Form1, "N1");
    b.PickEntry(*Form2, "ComboBox1", 1);
    b.RequestClose(*Form1);
  });
  EXPECT_NE(ReadFileBytes(ini).find("dev_num=1\r\ngakki=B \r\n"), std::string::npos);
  // Read back without the space, the name no longer matches: the first device.
  Run([&](platform::HeadlessBackend &) {
    EXPECT_EQ(DeviceList.selected, 0);
    EXPECT_EQ(DeviceId, 0);
  });
}

TEST_F(SettingsFile, AnUnreadableFileIsReportedAtStartAndNotOverwritten) {
  fs::create_directory(ini); // something that is there but cannot be read as a file
  Run([&](platform::HeadlessBackend &b) {
    EXPECT_EQ(b.WindowBounds(*Form1), (platform::Rect{100, 100, 304, 164}));
    b.RequestClose(*Form1);
    EXPECT_TRUE(b.Quitting());
    EXPECT_EQ(midi.OpenHandles(), 0);
  });
  ASSERT_EQ(backend->Messages().size(), 1u);
  EXPECT_EQ(backend->Messages()[0].text, "ファイル " + ini.string() + " は開けません.");
  EXPECT_EQ(backend->Messages()[0].title, "Vellora");
  EXPECT_EQ(backend->Messages()[0].icon, platform::MessageIcon::Error);
  EXPECT_TRUE(fs::is_directory(ini));
}

TEST_F(SettingsFile, AReadOnlyFileIsReportedAtExitAndKept) {
  const std::string before = "[window]\r\nleft=7\r\n";
  WriteFileBytes(ini, before);
  ASSERT_EQ(chmod(ini.c_str(), 0444), 0);
  Run([&](platform::HeadlessBackend &b) {
    EXPECT_EQ(Form1->Left(), 7);
    b.RequestClose(*Form1);
    EXPECT_TRUE(b.Quitting());
  });
  ASSERT_EQ(backend->Messages().size(), 1u);
  EXPECT_EQ(backend->Messages()[0].text, "ファイル " + ini.string() + " を作成できません.");
  EXPECT_EQ(backend->Messages()[0].title, "Vellora");
  EXPECT_EQ(backend->Messages()[0].icon, platform::MessageIcon::Error);
  EXPECT_EQ(ReadFileBytes(ini), before);
  EXPECT_FALSE(fs::exists(ini.string() + ".tmp"));
}

TEST_F(SettingsFile, AFolderThatCannotTakeTheFileIsReported) {
  exe = (dir / "missing-folder" / "Vellora").string();
  RunAndClose();
  ASSERT_EQ(backend->Messages().size(), 1u);
  EXPECT_EQ(backend->Messages()[0].text,
            "ファイル " + (dir / "missing-folder" / "Vellora.ini").string() + " を作成できません.");
}

TEST(FileReplacement, WritesTheWholeFileAndLeavesNoTemporary) {
  char tmpl[] = "/tmp/vellora-file-XXXXXX";
  ASSERT_NE(mkdtemp(tmpl), nullptr);
  const fs::path dir = tmpl;
  const std::string path = (dir / "a.ini").string();
  ASSERT_TRUE(platform::ReplaceFileContents(path, "first\r\n"));
  ASSERT_TRUE(platform::ReplaceFileContents(path, "second"));
  EXPECT_EQ(ReadFileBytes(path), "second");
  ASSERT_TRUE(platform::ReplaceFileContents(path, ""));
  EXPECT_EQ(ReadFileBytes(path), "");
  EXPECT_EQ(std::distance(fs::directory_iterator(dir), fs::directory_iterator()), 1);
  fs::remove_all(dir);
}

} // namespace
