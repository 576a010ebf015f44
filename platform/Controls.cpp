#include "platform/Controls.h"

#include "platform/Form.h"

#include <algorithm>

namespace platform {

namespace {
char Fold(char c) {
  return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}
} // namespace

bool StartsWithNoCase(const std::string &text, const std::string &prefix) {
  if (prefix.size() > text.size())
    return false;
  for (std::size_t i = 0; i < prefix.size(); ++i)
    if (Fold(text[i]) != Fold(prefix[i]))
      return false;
  return true;
}

bool EqualsNoCase(const std::string &a, const std::string &b) {
  return a.size() == b.size() && StartsWithNoCase(a, b);
}

void TControl::Changed() {
  owner_.ControlChanged(*this);
}

void TShape::SetBrushColor(Color c) {
  if (brush_ == c)
    return;
  brush_ = c;
  Changed();
}

void TShape::Paint(TCanvas &canvas) const {
  canvas.FillRect(Bounds(), brush_);
  canvas.FrameRect(Bounds(), PenColor());
}

void TScrollBar::SetParams(int min, int max, int position, int smallChange, int largeChange,
                           int pageSize) {
  min_ = min;
  max_ = std::max(min, max);
  position_ = std::clamp(position, min_, max_);
  smallChange_ = smallChange;
  largeChange_ = largeChange;
  pageSize_ = pageSize;
  Changed();
}

void TScrollBar::MoveTo(int position) {
  // With a page size the thumb cannot go past max - page + 1.
  int top = pageSize_ > 0 ? std::max(min_, max_ - pageSize_ + 1) : max_;
  position = std::clamp(position, min_, top);
  if (position == position_)
    return;
  position_ = position;
  Changed();
  if (OnChange)
    OnChange(*this);
}

void TScrollBar::Scroll(ScrollCode code, int trackPosition) {
  switch (code) {
  case ScrollCode::LineUp:
    MoveTo(position_ - smallChange_);
    break;
  case ScrollCode::LineDown:
    MoveTo(position_ + smallChange_);
    break;
  case ScrollCode::PageUp:
    MoveTo(position_ - largeChange_);
    break;
  case ScrollCode::PageDown:
    MoveTo(position_ + largeChange_);
    break;
  case ScrollCode::Top:
    MoveTo(min_);
    break;
  case ScrollCode::Bottom:
    MoveTo(max_);
    break;
  case ScrollCode::Track:
    MoveTo(trackPosition);
    break;
  }
}

bool TScrollBar::KeyDown(const KeyEvent &key) {
  switch (key.code) {
  case KeyCode::Left:
  case KeyCode::Up:
    Scroll(ScrollCode::LineUp);
    return true;
  case KeyCode::Right:
  case KeyCode::Down:
    Scroll(ScrollCode::LineDown);
    return true;
  case KeyCode::PageUp:
    Scroll(ScrollCode::PageUp);
    return true;
  case KeyCode::PageDown:
    Scroll(ScrollCode::PageDown);
    return true;
  case KeyCode::Home:
    Scroll(ScrollCode::Top);
    return true;
  case KeyCode::End:
    Scroll(ScrollCode::Bottom);
    return true;
  default:
    return false;
  }
}

std::string TComboBox::Text() const {
  return itemIndex_ >= 0 ? items_[static_cast<std::size_t>(itemIndex_)] : std::string();
}

void TComboBox::AddItem(std::string text) {
  items_.push_back(std::move(text));
  Changed();
}

void TComboBox::Clear() {
  items_.clear();
  itemIndex_ = -1;
  Changed();
}

void TComboBox::SetItemIndex(int index) {
  itemIndex_ = (index >= 0 && index < static_cast<int>(items_.size())) ? index : -1;
  Changed();
}

void TComboBox::UserSelect(int index) {
  if (index < 0 || index >= static_cast<int>(items_.size()) || index == itemIndex_)
    return;
  itemIndex_ = index;
  Changed();
  if (OnChange)
    OnChange(*this);
}

void TComboBox::UserPick(int index) {
  if (index < 0 || index >= static_cast<int>(items_.size()))
    return;
  itemIndex_ = index;
  Changed();
  if (OnChange)
    OnChange(*this);
}

bool TComboBox::KeyDown(const KeyEvent &key) {
  const int count = static_cast<int>(items_.size());
  const int last = count - 1;
  switch (key.code) {
  case KeyCode::Up:
  case KeyCode::Left:
    UserSelect(itemIndex_ < 0 ? 0 : itemIndex_ - 1);
    return true;
  case KeyCode::Down:
  case KeyCode::Right:
    UserSelect(itemIndex_ < 0 ? 0 : itemIndex_ + 1);
    return true;
  case KeyCode::PageUp:
    UserSelect(std::max(0, itemIndex_ - kPageItems));
    return true;
  case KeyCode::PageDown:
    UserSelect(std::min(last, std::max(0, itemIndex_ + kPageItems)));
    return true;
  case KeyCode::Home:
    UserSelect(0);
    return true;
  case KeyCode::End:
    UserSelect(last);
    return true;
  case KeyCode::Backspace:
    // Re-announces the current choice without changing it.
    typed_.clear();
    if (OnChange)
      OnChange(*this);
    return true;
  case KeyCode::Char: {
    if (key.text.empty())
      return false;
    if (typedAny_ && key.timeMs - lastTypedMs_ < kTypeAheadMs)
      typed_ += key.text;
    else
      typed_ = key.text;
    typedAny_ = true;
    lastTypedMs_ = key.timeMs;
    auto it = std::find_if(items_.begin(), items_.end(),
                           [&](const std::string &s) { return StartsWithNoCase(s, typed_); });
    if (it != items_.end())
      UserSelect(static_cast<int>(it - items_.begin()));
    return true;
  }
  default:
    return false;
  }
}

} // namespace platform
