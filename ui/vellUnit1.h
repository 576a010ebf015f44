// The keyboard window: 36 keys, the program bar and the menu bar. Its
// creation and its close are the program's first and last work.
#pragma once

#include "platform/Application.h"

#include <array>

enum class KeyKind { White, Black };

struct KeyDesign {
  int left;
  KeyKind kind;
  int note;
};

inline constexpr int KeyCount = 36;
inline constexpr int KeyTop = 32;
// Shape1 to Shape36 in creation (and stacking) order.
extern const std::array<KeyDesign, KeyCount> KeyTable;

platform::Color KeyRestColor(const KeyDesign &key);
const platform::FormDesign &Form1Design();

extern const char *const NoDeviceMessage;

class TForm1 final : public platform::TForm {
public:
  explicit TForm1(platform::TApplication &app);

  platform::TScrollBar *ScrollBar1 = nullptr;

  void FormCreate(platform::TObject &sender);
  void FormClose(platform::TObject &sender, platform::CloseAction &action);
  void ScrollBar1Change(platform::TObject &sender);
  void F1Click(platform::TObject &sender);
  void N1Click(platform::TObject &sender);
  // Every ShapeNMouseDown / ShapeNMouseUp: one rule applied to KeyTable.
  void KeyMouseDown(int key);
  void KeyMouseUp(int key);
};

extern TForm1 *Form1;
