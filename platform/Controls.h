// The components a form is built from: windowless shapes, a horizontal scroll
// bar, a drop-down list and menu items. They hold the event rules; backends
// only mirror their state in native widgets and feed them input.
#pragma once

#include "platform/Graphics.h"
#include "platform/Input.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace platform {

class TForm;

class TObject {
public:
  explicit TObject(std::string name) : name_(std::move(name)) {}
  virtual ~TObject() = default;
  TObject(const TObject &) = delete;
  TObject &operator=(const TObject &) = delete;
  const std::string &Name() const { return name_; }

private:
  std::string name_;
};

using NotifyEvent = std::function<void(TObject &sender)>;
// x and y are relative to the sender.
using MouseEvent = std::function<void(TObject &sender, MouseButton button, int x, int y)>;

class TControl : public TObject {
public:
  TControl(TForm &owner, std::string name, Rect bounds)
      : TObject(std::move(name)), owner_(owner), bounds_(bounds) {}
  TForm &Owner() const { return owner_; }
  const Rect &Bounds() const { return bounds_; }

protected:
  void Changed(); // tells the owner's native peer to mirror this control

private:
  TForm &owner_;
  Rect bounds_;
};

class TShape final : public TControl {
public:
  TShape(TForm &owner, std::string name, Rect bounds, Color brush)
      : TControl(owner, std::move(name), bounds), brush_(brush) {}
  Color BrushColor() const { return brush_; }
  void SetBrushColor(Color c); // shows at the next repaint
  Color PenColor() const { return clBlack; }
  void Paint(TCanvas &canvas) const;

  MouseEvent OnMouseDown;
  MouseEvent OnMouseUp;

private:
  Color brush_;
};

class TScrollBar final : public TControl {
public:
  TScrollBar(TForm &owner, std::string name, Rect bounds)
      : TControl(owner, std::move(name), bounds) {}
  // Design values; no change event.
  void SetParams(int min, int max, int position, int smallChange, int largeChange, int pageSize);
  int Min() const { return min_; }
  int Max() const { return max_; }
  int Position() const { return position_; }
  int PageSize() const { return pageSize_; }
  int SmallChange() const { return smallChange_; }
  int LargeChange() const { return largeChange_; }

  // The user's actions: arrow and trough clicks, thumb tracking, keys.
  void Scroll(ScrollCode code, int trackPosition = 0);
  bool KeyDown(const KeyEvent &key);

  NotifyEvent OnChange; // on every change of position made by the user

private:
  void MoveTo(int position);
  int min_ = 0, max_ = 100, position_ = 0, smallChange_ = 1, largeChange_ = 1, pageSize_ = 0;
};

class TComboBox final : public TControl {
public:
  static constexpr std::uint64_t kTypeAheadMs = 500;
  static constexpr int kPageItems = 7;

  TComboBox(TForm &owner, std::string name, Rect bounds, int itemHeight)
      : TControl(owner, std::move(name), bounds), itemHeight_(itemHeight) {}
  // Items are device names in the system code page, shown as they are.
  const std::vector<std::string> &Items() const { return items_; }
  int ItemIndex() const { return itemIndex_; }
  int ItemHeight() const { return itemHeight_; }
  std::string Text() const;

  // The program's changes; no change event.
  void AddItem(std::string text);
  void Clear();
  void SetItemIndex(int index);

  // The user's actions.
  void UserPick(int index); // a click on an entry of the dropped list
  bool KeyDown(const KeyEvent &key);

  NotifyEvent OnChange; // the user's picks, steps, typed prefixes and Backspace

private:
  void UserSelect(int index);
  std::vector<std::string> items_;
  int itemIndex_ = -1;
  int itemHeight_;
  std::string typed_;
  std::uint64_t lastTypedMs_ = 0;
  bool typedAny_ = false;
};

class TMenuItem final : public TObject {
public:
  TMenuItem(std::string name, std::string caption)
      : TObject(std::move(name)), caption_(std::move(caption)) {}
  const std::string &Caption() const { return caption_; }
  void Click() {
    if (OnClick)
      OnClick(*this);
  }
  NotifyEvent OnClick;

private:
  std::string caption_;
};

// Case-insensitive (ASCII letters) prefix and equality tests.
bool StartsWithNoCase(const std::string &text, const std::string &prefix);
bool EqualsNoCase(const std::string &a, const std::string &b);

} // namespace platform
