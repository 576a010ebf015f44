// Design of the device window.
#include "ui/vellUnit2.h"

using namespace platform;

static FormDesign MakeForm2Design() {
  FormDesign d;
  d.name = "Form2";
  d.caption = "音源選択";
  d.bounds = Rect{192, 160, 275, 58};
  d.color = clBtnFace;
  d.font = FontDesign{"ＭＳ Ｐゴシック", 12, 128, clWindowText};
  d.visible = false;
  d.onCreate = "FormCreate";
  ComponentDesign combo{ComponentKind::ComboBox, "ComboBox1", Rect{8, 8, 257, 20}};
  combo.itemHeight = 12;
  combo.tabOrder = 0;
  combo.onChange = "ComboBox1Change";
  d.components.push_back(combo);
  return d;
}

const FormDesign &Form2Design() {
  static const FormDesign design = MakeForm2Design();
  return design;
}
