// A window's design description: the data a form is built from when it is
// created. Handlers are named; the form binds each name to its own code.
#pragma once

#include "platform/Graphics.h"

#include <string>
#include <vector>

namespace platform {

enum class ComponentKind { Shape, ScrollBar, ComboBox };

struct ComponentDesign {
  ComponentDesign(ComponentKind k, std::string n, Rect r)
      : kind(k), name(std::move(n)), bounds(r) {}
  ComponentKind kind;
  std::string name;
  Rect bounds;
  Color brush{}; // shape fill
  int min = 0;   // scroll bar
  int max = 0;
  int position = 0;
  int smallChange = 1;
  int largeChange = 1;
  int pageSize = 0;
  int itemHeight = 0; // drop-down list
  int tabOrder = -1;  // -1: takes no keyboard focus
  std::string onMouseDown;
  std::string onMouseUp;
  std::string onChange;
};

struct MenuItemDesign {
  std::string name;
  std::string caption; // "&" marks the accelerator letter
  std::string onClick; // empty: no handler
};

struct FontDesign {
  std::string name;
  int height = 12; // character height in pixels
  int charset = 0; // 128: Shift-JIS
  Color color = clWindowText;
};

struct FormDesign {
  std::string name;
  std::string caption;
  Rect bounds; // outer rectangle, frame and caption included
  Color color = clBtnFace;
  FontDesign font;
  bool visible = false;
  std::string onCreate;
  std::string onClose;
  std::vector<MenuItemDesign> menu; // top-level items of the main menu
  std::vector<ComponentDesign> components;
};

} // namespace platform
