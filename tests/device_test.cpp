// The device list, the start-up choice, failed opens and switching.
#include "ProgramFixture.h"

using platform::KeyCode;
using platform::ScriptedDevice;
using platform::mmr::NoError;

namespace {

using Lines = std::vector<std::string>;

ScriptedDevice Dev(std::string name, platform::MMResult caps = NoError) {
  ScriptedDevice d;
  d.name = std::move(name);
  d.capsResult = caps;
  return d;
}

const Lines SwitchTo(int id, const std::string &wait = "Sleep 200") {
  return {"ShortMsg B9 78 00",     "Close", "Open " + std::to_string(id), "Reset", "PrepareHeader",
          "LongMsg " + GsResetHex, wait};
}

struct StartCase {
  const char *name;
  std::vector<ScriptedDevice> devices;
  const char *ini; // nullptr: no settings file
  int selected;    // position in the list, -1 none
  int opened;      // device ID opened
};

void PrintTo(const StartCase &c, std::ostream *os) {
  *os << '"' << c.name << '"';
}

class StartChoice : public ProgramTest, public ::testing::WithParamInterface<StartCase> {};

TEST_P(StartChoice, PicksTheStoredDeviceOrTheFirst) {
  const StartCase &c = GetParam();
  Devices(c.devices);
  if (c.ini != nullptr)
    WriteFileBytes(ini, c.ini);
  Run([&](platform::HeadlessBackend &) {
    EXPECT_EQ(Form2->ComboBox1->ItemIndex(), c.selected);
    EXPECT_EQ(DeviceList.selected, c.selected);
    EXPECT_EQ(DeviceId, c.opened);
  });
  const auto &log = midi.Log();
  auto open =
      std::find_if(log.begin(), log.end(), [](const auto &call) { return call.op == "Open"; });
  ASSERT_NE(open, log.end());
  EXPECT_EQ(open->arg, c.opened);
}

INSTANTIATE_TEST_SUITE_P(
    Table, StartChoice,
    ::testing::Values(
        StartCase{"first_start", {Dev("A"), Dev("B")}, nullptr, 0, 0},
        StartCase{"first_start_device_named_none", {Dev("A"), Dev("none")}, nullptr, 0, 0},
        StartCase{"stored_name_at_stored_position",
                  {Dev("A"), Dev("B"), Dev("C")},
                  "[dev]\ndev_num=2\ngakki=C\n",
                  2,
                  2},
        StartCase{"keys_in_other_case", {Dev("A"), Dev("B")}, "[DEV]\nDEV_NUM=1\nGAKKI=B\n", 1, 1},
        StartCase{"name_differs_at_position",
                  {Dev("A"), Dev("B"), Dev("C")},
                  "[dev]\ndev_num=2\ngakki=B\n",
                  0,
                  0},
        StartCase{"name_compared_with_case",
                  {Dev("A"), Dev("Synth")},
                  "[dev]\ndev_num=1\ngakki=synth\n",
                  0,
                  0},
        StartCase{
            "position_beyond_the_list", {Dev("A"), Dev("B")}, "[dev]\ndev_num=5\ngakki=B\n", 0, 0},
        StartCase{"negative_position", {Dev("A"), Dev("B")}, "[dev]\ndev_num=-1\ngakki=\n", -1, 0},
        StartCase{"empty_name_beyond_the_list",
                  {Dev("A"), Dev("B")},
                  "[dev]\ndev_num=9\ngakki=\n",
                  -1,
                  0},
        StartCase{"same_names_position_decides",
                  {Dev("Twin"), Dev("Twin")},
                  "[dev]\ndev_num=1\ngakki=Twin\n",
                  1,
                  1},
        StartCase{"unanswered_caps_shift_positions",
                  {Dev("A", 2), Dev("B"), Dev("C")},
                  "[dev]\ndev_num=1\ngakki=C\n",
                  1,
                  2},
        StartCase{"stored_as_id_read_as_position",
                  {Dev("A", 2), Dev("B"), Dev("C")},
                  "[dev]\ndev_num=2\ngakki=C\n",
                  0,
                  1},
        StartCase{"trailing_space_lost_in_the_file",
                  {Dev("A"), Dev("B ")},
                  "[dev]\ndev_num=1\ngakki=B \n",
                  0,
                  0},
        StartCase{"hex_position", {Dev("A"), Dev("B")}, "[dev]\ndev_num=0x1\ngakki=B\n", 1, 1},
        StartCase{"no_devices", {}, "[dev]\ndev_num=0\ngakki=\n", -1, 0}),
    [](const auto &info) { return std::string(info.param.name); });

TEST_F(ProgramTest, DeviceNamesAreTheFirst32BytesUpToTheFirstNul) {
  Devices({Dev(std::string(40, 'n')), Dev(std::string("ab\0cd", 5)), Dev("")});
  Run([&](platform::HeadlessBackend &) {
    EXPECT_EQ(Form2->ComboBox1->Items(), (Lines{std::string(32, 'n'), "ab", ""}));
  });
}

TEST_F(ProgramTest, RetriesABusyDeviceFiveTimesOver2500Ms) {
  ScriptedDevice busy = Dev("Busy");
  busy.openDefault = platform::mmr::Allocated;
  Devices({busy});
  Run([&](platform::HeadlessBackend &b) {
    EXPECT_EQ(MessageTexts(), (Lines{"ALLOCATED"}));
    EXPECT_EQ(b.Messages()[0].timeMs, 2500u);
    EXPECT_EQ(OpenResult, 4);
  });
  auto trace = Trace();
  EXPECT_EQ(std::count(trace.begin(), trace.end(), "Open 0 -> 4"), 6);
  EXPECT_EQ(std::count(trace.begin(), trace.end(), "Sleep 500"), 5);
}

TEST_F(ProgramTest, AnOpenThatSucceedsOnARetryShowsNothing) {
  ScriptedDevice flaky = Dev("Flaky");
  flaky.openResults = {platform::mmr::Allocated, platform::mmr::NoMem};
  Devices({flaky});
  Run([&](platform::HeadlessBackend &) {
    EXPECT_TRUE(MessageTexts().empty());
    EXPECT_EQ(Trace(), (Lines{"Open 0 -> 4", "Close -> 5", "Sleep 500", "Open 0 -> 7", "Close -> 5",
                              "Sleep 500", "Open 0", "PrepareHeader", "LongMsg " + GsResetHex,
                              "Sleep 100"}));
  });
}

struct CodeCase {
  std::uint32_t code;
  const char *atStart;
};

// Every failure code at start shows its own text, at a switch the general
// one; either way the program keeps running and the next pick works.
TEST_F(ProgramTest, FailedOpensShowTheirMessagesAndTheProgramGoesOn) {
  const std::string general = "ＭＩＤＩデバイスが開けません";
  const CodeCase codes[] = {{1, "ERROR"},
                            {2, "BADDEVICEID"},
                            {3, "NOTENABLED"},
                            {4, "ALLOCATED"},
                            {5, "指定されたデバイス ハンドルが無効です。"},
                            {6, "NODRIVER"},
                            {7, "メモリの割り当てまたはロックができません。"},
                            {8, "NOTSUPPORTED"},
                            {9, "BADERRNUM"},
                            {10, "INVALFLAG"},
                            {11, "INVALPARAM"},
                            {12, "HANDLEBUSY"},
                            {13, "INVALIDALIAS"},
                            {20, "LASTERROR"},
                            {14, general.c_str()},
                            {17, general.c_str()},
                            {19, general.c_str()},
                            {21, general.c_str()},
                            {64, general.c_str()},
                            {0x7FFFFFFF, general.c_str()},
                            {0x80000000u, general.c_str()},
                            {0xFFFFFFFFu, general.c_str()}};
  for (const CodeCase &c : codes) {
    SCOPED_TRACE(c.code);
    ScriptedDevice bad = Dev("Bad");
    bad.openDefault = c.code;
    midi = platform::RecordingMidiOut({bad, Dev("Good")});
    Run([&](platform::HeadlessBackend &b) {
      EXPECT_EQ(MessageTexts(), (Lines{c.atStart}));
      b.PickMenu(*Form1, "N1");
      b.PickEntry(*Form2, "ComboBox1", 1); // the good one works
      EXPECT_EQ(OpenResult, 0);
      std::size_t mark = midi.Log().size();
      b.PickEntry(*Form2, "ComboBox1", 0); // the bad one, again
      EXPECT_EQ(MessageTexts(), (Lines{c.atStart, general}));
      EXPECT_EQ(Trace(mark).back(), "Sleep 200");
      b.PickEntry(*Form2, "ComboBox1", 1);
      EXPECT_EQ(OpenResult, 0);
      EXPECT_EQ(MessageTexts().size(), 2u);
      std::size_t before = midi.Log().size();
      b.Click(*Form1, platform::MouseButton::Left, 5, 100);
      EXPECT_EQ(Hex(midi.Log()[before + 1].bytes), "90 30 64");
    });
  }
}

TEST_F(ProgramTest, APickSwitchesWithAllSoundOffResetAndGsReset) {
  Devices({Dev("A"), Dev("B")});
  Run([&](platform::HeadlessBackend &b) {
    b.PickMenu(*Form1, "N1");
    ASSERT_TRUE(b.IsVisible(*Form2));
    EXPECT_EQ(Form2->ComboBox1->ItemIndex(), 0);
    std::size_t mark = midi.Log().size();
    b.PickEntry(*Form2, "ComboBox1", 1);
    EXPECT_EQ(Trace(mark), SwitchTo(1));
    EXPECT_EQ(Hex(midi.BytesTo(1)), GsResetHex);
    EXPECT_EQ(midi.Log()[mark].device, 0); // All Sound Off reached the old device
    EXPECT_EQ(DeviceId, 1);
    b.RequestClose(*Form1);
  });
  EXPECT_NE(ReadFileBytes(ini).find("dev_num=1\r\ngakki=B\r\n"), std::string::npos);
}

TEST_F(ProgramTest, ArrowStepsTypingAndBackspaceEachSwitch) {
  Devices({Dev("Alpha"), Dev("Bass"), Dev("Brass"), Dev("Cello")});
  Run([&](platform::HeadlessBackend &b) {
    b.PickMenu(*Form1, "N1");
    struct Step {
      KeyCode key;
      const char *text;
      std::uint64_t time;
      int selected;   // after the key
      int switchedTo; // -1: no switch
    };
    const Step steps[] = {
        {KeyCode::Down, "", 0, 1, 1},         {KeyCode::Down, "", 0, 2, 2},
        {KeyCode::Down, "", 0, 3, 3},         {KeyCode::Down, "", 0, 3, -1}, // at the end
        {KeyCode::Up, "", 0, 2, 2},           {KeyCode::Home, "", 0, 0, 0},
        {KeyCode::Up, "", 0, 0, -1},          {KeyCode::End, "", 0, 3, 3},
        {KeyCode::Char, "b", 1000, 1, 1},     // first entry starting with b
        {KeyCode::Char, "R", 1499, 2, 2},     // "br" within 500 ms, any case
        {KeyCode::Char, "a", 2100, 0, 0},     // a pause starts a new prefix
        {KeyCode::Char, "z", 3000, 0, -1},    // no match: nothing happens
        {KeyCode::Char, "a", 3100, 0, -1},    // "za" matches nothing either
        {KeyCode::Backspace, "", 4000, 0, 0}, // switches to the same device again
        {KeyCode::PageDown, "", 0, 3, 3},     {KeyCode::PageUp, "", 0, 0, 0},
    };
    for (const Step &s : steps) {
      SCOPED_TRACE(testing::Message() << "key " << int(s.key) << " " << s.text << " at " << s.time);
      std::size_t mark = midi.Log().size();
      if (s.key == KeyCode::Char)
        b.Type(*Form2, s.text, s.time);
      else
        b.Key(*Form2, s.key, s.time);
      EXPECT_EQ(Form2->ComboBox1->ItemIndex(), s.selected);
      EXPECT_EQ(Trace(mark), s.switchedTo < 0 ? Lines{} : SwitchTo(s.switchedTo));
    }
  });
}

TEST_F(ProgramTest, TheDeviceWindowKeepsItsSelectionAndIsNotReshown) {
  Devices({Dev("A"), Dev("B")});
  WriteFileBytes(ini, "[dev]\ndev_num=1\ngakki=B\n");
  Run([&](platform::HeadlessBackend &b) {
    b.PickMenu(*Form1, "N1");
    EXPECT_EQ(Form2->ComboBox1->Text(), "B");
    std::size_t journal = b.Journal().size();
    b.PickMenu(*Form1, "N1"); // already visible: nothing happens
    EXPECT_EQ(b.Journal().size(), journal);
    b.PickEntry(*Form2, "ComboBox1", 0);
    b.RequestClose(*Form2);
    midi.Devices().push_back(Dev("Plugged in later"));
    b.PickMenu(*Form1, "N1");
    EXPECT_EQ(Form2->ComboBox1->Text(), "A");
    EXPECT_EQ(Form2->ComboBox1->Items(), (Lines{"A", "B"}));
  });
}

TEST_F(ProgramTest, ASwitchWithNothingSelectedLeavesTheOutputAlone) {
  Devices({Dev("A"), Dev("B")});
  WriteFileBytes(ini, "[dev]\ndev_num=7\ngakki=\n"); // nothing selected at start
  Run([&](platform::HeadlessBackend &b) {
    b.PickMenu(*Form1, "N1");
    ASSERT_EQ(Form2->ComboBox1->ItemIndex(), -1);
    std::size_t mark = midi.Log().size();
    b.Key(*Form2, KeyCode::Backspace);
    EXPECT_TRUE(Trace(mark).empty());
    EXPECT_TRUE(MessageTexts().empty());
    b.Key(*Form2, KeyCode::Down); // a step selects the first entry and switches to it
    EXPECT_EQ(Trace(mark), SwitchTo(0));
  });
}

TEST_F(ProgramTest, BackspaceWithNoDevicesDoesNothing) {
  Run([&](platform::HeadlessBackend &b) {
    b.PickMenu(*Form1, "N1");
    std::size_t mark = midi.Log().size();
    auto messages = MessageTexts().size();
    b.Key(*Form2, KeyCode::Backspace);
    b.Key(*Form2, KeyCode::Down);
    b.Type(*Form2, "a", 0);
    EXPECT_TRUE(Trace(mark).empty());
    EXPECT_EQ(MessageTexts().size(), messages);
    b.RequestClose(*Form1);
  });
  EXPECT_NE(ReadFileBytes(ini).find("gakki=\r\n"), std::string::npos);
}

TEST_F(ProgramTest, ManyDevicesFillTheTableAndNoMore) {
  std::vector<ScriptedDevice> devices;
  for (int i = 0; i < 300; ++i)
    devices.push_back(Dev("Port " + std::to_string(i)));
  Devices(devices);
  WriteFileBytes(ini, "[dev]\ndev_num=128\ngakki=Port 128\n");
  Run([&](platform::HeadlessBackend &b) {
    EXPECT_EQ(Form2->ComboBox1->Items().size(), 129u);
    EXPECT_EQ(DeviceId, 128);
    b.PickMenu(*Form1, "N1");
    std::size_t mark = midi.Log().size();
    b.PickEntry(*Form2, "ComboBox1", 200); // not listed: ignored
    b.Key(*Form2, KeyCode::End);
    EXPECT_EQ(Trace(mark), Lines{}); // already the last entry
    b.Key(*Form2, KeyCode::Up);
    EXPECT_EQ(Trace(mark), SwitchTo(127));
  });
  // Only the listed devices were queried.
  auto queries = Trace(0, true);
  EXPECT_EQ(std::count_if(queries.begin(), queries.end(),
                          [](const std::string &l) { return l.rfind("GetDevCaps", 0) == 0; }),
            129);
}

TEST_F(ProgramTest, ADeviceThatVanishesAfterListingFailsToOpenAndIsSurvived) {
  Devices({Dev("A"), Dev("B")});
  Run([&](platform::HeadlessBackend &b) {
    b.PickMenu(*Form1, "N1");
    midi.Unplug(1);
    b.PickEntry(*Form2, "ComboBox1", 1);
    EXPECT_EQ(MessageTexts(), (Lines{"ＭＩＤＩデバイスが開けません"}));
    std::size_t mark = midi.Log().size();
    b.Click(*Form1, platform::MouseButton::Left, 5, 100); // silently lost
    EXPECT_EQ(Trace(mark),
              (Lines{"ShortMsg C0 00 -> 5", "ShortMsg 90 30 64 -> 5", "ShortMsg 80 30 7F -> 5"}));
    b.PickEntry(*Form2, "ComboBox1", 0);
    EXPECT_EQ(OpenResult, 0);
  });
}

} // namespace
