#include "vellProject1.h"

#include "midi/MidiMessages.h"
#include "midi/OutputDevice.h"
#include "settings/SettingsStore.h"
#include "ui/vellUnit1.h"
#include "ui/vellUnit2.h"

int RunVellora(platform::Backend &backend) {
  InitMidiMessages();
  InitOutputDevices();
  MapSetting = 0;
  {
    platform::TApplication app(backend);
    app.Initialize();
    app.CreateForm(Form1);
    app.CreateForm(Form2);
    app.Run();
  }
  Form1 = nullptr;
  Form2 = nullptr;
  // A run that ended without the keyboard window's close leaves the file as it was.
  SettingsStore.reset();
  return 0;
}
