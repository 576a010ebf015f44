#include "ui/vellUnit2.h"

#include "midi/OutputDevice.h"
#include "settings/SettingsStore.h"

using namespace platform;

TForm2 *Form2 = nullptr;

TForm2::TForm2(TApplication &app) : TForm(app, "Form2") {
  Bind("FormCreate", NotifyEvent([this](TObject &s) { FormCreate(s); }));
  Bind("ComboBox1Change", NotifyEvent([this](TObject &s) { ComboBox1Change(s); }));
  Construct(Form2Design());
}

void TForm2::FormCreate(TObject &) {
  ComboBox1 = dynamic_cast<TComboBox *>(FindControl("ComboBox1"));
  const std::int32_t storedNumber =
      SettingsStore ? SettingsStore->ReadInteger("Dev", "Dev_num", 0) : 0;
  const std::string storedName =
      SettingsStore ? SettingsStore->ReadString("dev", "gakki", "none") : std::string("none");
  StartOutput(storedNumber, storedName);
  ComboBox1->Clear();
  for (const auto &name : DeviceList.names)
    ComboBox1->AddItem(name);
  ComboBox1->SetItemIndex(DeviceList.selected);
}

void TForm2::ComboBox1Change(TObject &) {
  SwitchOutput(ComboBox1->ItemIndex());
}
