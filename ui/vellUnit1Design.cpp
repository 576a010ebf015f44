// Design of the keyboard window.
#include "ui/vellUnit1.h"

#include <string>

using namespace platform;

// clang-format off
const std::array<KeyDesign, KeyCount> KeyTable = {{
    {0, KeyKind::White, 48},   {14, KeyKind::White, 50},  {28, KeyKind::White, 52},
    {42, KeyKind::White, 53},  {56, KeyKind::White, 55},  {70, KeyKind::White, 57},
    {84, KeyKind::White, 59},  {9, KeyKind::Black, 49},   {25, KeyKind::Black, 51},
    {51, KeyKind::Black, 54},  {66, KeyKind::Black, 56},  {81, KeyKind::Black, 58},
    {98, KeyKind::White, 60},  {182, KeyKind::White, 71}, {168, KeyKind::White, 69},
    {154, KeyKind::White, 67}, {140, KeyKind::White, 65}, {126, KeyKind::White, 64},
    {112, KeyKind::White, 62}, {179, KeyKind::Black, 70}, {164, KeyKind::Black, 68},
    {149, KeyKind::Black, 66}, {122, KeyKind::Black, 63}, {107, KeyKind::Black, 61},
    {196, KeyKind::White, 72}, {280, KeyKind::White, 83}, {266, KeyKind::White, 81},
    {252, KeyKind::White, 79}, {238, KeyKind::White, 77}, {224, KeyKind::White, 76},
    {210, KeyKind::White, 74}, {277, KeyKind::Black, 82}, {262, KeyKind::Black, 80},
    {247, KeyKind::Black, 78}, {220, KeyKind::Black, 75}, {205, KeyKind::Black, 73},
}};
// clang-format on

Color KeyRestColor(const KeyDesign &key) {
  return key.kind == KeyKind::White ? clWhite : clGray;
}

static FormDesign MakeForm1Design() {
  FormDesign d;
  d.name = "Form1";
  d.caption = "Vellora";
  d.bounds = Rect{699, 153, 304, 164};
  d.color = clBtnFace;
  d.font = FontDesign{"ＭＳ Ｐゴシック", 12, 128, clWindowText};
  d.visible = true;
  d.onCreate = "FormCreate";
  d.onClose = "FormClose";
  d.menu = {
      {"F1", "ファイル(&F)", "F1Click"},
      {"Commands1", "機能(&G)", ""},
      {"N1", "音源(&V)", "N1Click"},
  };

  ComponentDesign bar{ComponentKind::ScrollBar, "ScrollBar1", Rect{0, 0, 295, 9}};
  bar.min = 1;
  bar.max = 127;
  bar.position = 1;
  bar.smallChange = 1;
  bar.largeChange = 1;
  bar.pageSize = 0;
  bar.tabOrder = 0;
  bar.onChange = "ScrollBar1Change";
  d.components.push_back(bar);

  for (int i = 0; i < KeyCount; ++i) {
    const KeyDesign &k = KeyTable[static_cast<std::size_t>(i)];
    const std::string name = "Shape" + std::to_string(i + 1);
    ComponentDesign shape{ComponentKind::Shape, name,
                          k.kind == KeyKind::White ? Rect{k.left, KeyTop, 15, 85}
                                                   : Rect{k.left, KeyTop, 9, 50}};
    shape.brush = KeyRestColor(k);
    shape.onMouseDown = name + "MouseDown";
    shape.onMouseUp = name + "MouseUp";
    d.components.push_back(shape);
  }
  return d;
}

const FormDesign &Form1Design() {
  static const FormDesign design = MakeForm1Design();
  return design;
}
