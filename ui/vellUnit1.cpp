#include "ui/vellUnit1.h"

#include "midi/MidiMessages.h"
#include "midi/OutputDevice.h"
#include "settings/SettingsStore.h"
#include "ui/vellUnit2.h"

#include <string>

using namespace platform;

TForm1 *Form1 = nullptr;

const char *const NoDeviceMessage = "ＭＩＤＩ音源がないのでこのソフトは利用できません";

TForm1::TForm1(TApplication &app) : TForm(app, "Form1") {
  Bind("FormCreate", NotifyEvent([this](TObject &s) { FormCreate(s); }));
  Bind("FormClose", CloseEvent([this](TObject &s, CloseAction &a) { FormClose(s, a); }));
  Bind("ScrollBar1Change", NotifyEvent([this](TObject &s) { ScrollBar1Change(s); }));
  Bind("F1Click", NotifyEvent([this](TObject &s) { F1Click(s); }));
  Bind("N1Click", NotifyEvent([this](TObject &s) { N1Click(s); }));
  for (int i = 0; i < KeyCount; ++i) {
    const std::string shape = "Shape" + std::to_string(i + 1);
    Bind(shape + "MouseDown",
         MouseEvent([this, i](TObject &, MouseButton, int, int) { KeyMouseDown(i); }));
    Bind(shape + "MouseUp",
         MouseEvent([this, i](TObject &, MouseButton, int, int) { KeyMouseUp(i); }));
  }
  Construct(Form1Design());
  ScrollBar1 = dynamic_cast<TScrollBar *>(FindControl("ScrollBar1"));
}

void TForm1::FormCreate(TObject &) {
  if (MidiOut().GetNumDevs() == 0)
    ShowMessage(NoDeviceMessage);
  DeviceCount = CountDevices();
  SettingsStore = std::make_unique<MemIniFile>(ChangeFileExt(Application().ExeName(), ".ini"));
  if (SettingsStore->LoadResult() == ReadResult::Unreadable)
    ShowFileError("ファイル " + SettingsStore->FileName() + " は開けません.");
  SetHeight(SettingsStore->ReadInteger("window", "height", 164));
  SetWidth(SettingsStore->ReadInteger("window", "width", 304));
  SetTop(SettingsStore->ReadInteger("window", "top", 100));
  SetLeft(SettingsStore->ReadInteger("window", "left", 100));
  MapSetting = SettingsStore->ReadInteger("dev", "map", 4);
}

void TForm1::KeyMouseDown(int key) {
  CurrentNote = KeyTable[static_cast<std::size_t>(key)].note;
  NoteOn();
  Shapes()[static_cast<std::size_t>(key)]->SetBrushColor(clRed);
}

void TForm1::KeyMouseUp(int key) {
  const KeyDesign &k = KeyTable[static_cast<std::size_t>(key)];
  CurrentNote = k.note;
  NoteOff();
  Shapes()[static_cast<std::size_t>(key)]->SetBrushColor(KeyRestColor(k));
}

void TForm1::ScrollBar1Change(TObject &) {
  CurrentProgram = ScrollBar1->Position();
}

void TForm1::F1Click(TObject &) {}

void TForm1::N1Click(TObject &) {
  Form2->Show();
}

void TForm1::FormClose(TObject &, CloseAction &) {
  CloseOutput();
  if (!SettingsStore)
    return;
  SettingsStore->WriteInteger("window", "Height", Height());
  SettingsStore->WriteInteger("window", "Width", Width());
  SettingsStore->WriteInteger("window", "Top", Top());
  SettingsStore->WriteInteger("window", "Left", Left());
  SettingsStore->WriteInteger("dev", "dev_num", DeviceId);
  SettingsStore->WriteString("dev", "gakki", DeviceList.SelectedText());
  SettingsStore->WriteInteger("dev", "map", MapSetting);
  // A file that could not be read at start is not overwritten with defaults.
  if (SettingsStore->LoadResult() != ReadResult::Unreadable && !SettingsStore->UpdateFile())
    ShowFileError("ファイル " + SettingsStore->FileName() + " を作成できません.");
  // The close goes ahead even when the save failed: the output is already
  // closed, and a window that cannot be closed would leave a silent keyboard.
  SettingsStore.reset();
}
