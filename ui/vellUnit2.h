// The device window: the list of MIDI outputs; a pick switches the output.
#pragma once

#include "platform/Application.h"

const platform::FormDesign &Form2Design();

class TForm2 final : public platform::TForm {
public:
  explicit TForm2(platform::TApplication &app);

  platform::TComboBox *ComboBox1 = nullptr;

  void FormCreate(platform::TObject &sender);
  void ComboBox1Change(platform::TObject &sender);
};

extern TForm2 *Form2;
