#include "platform/Form.h"

#include "platform/Application.h"

#include <cstdio>
#include <cstdlib>

namespace platform {

TForm::TForm(TApplication &app, std::string name) : TObject(std::move(name)), app_(app) {}

TForm::~TForm() = default;

void TForm::Bind(const std::string &handler, NotifyEvent event) {
  notifyHandlers_[handler] = std::move(event);
}
void TForm::Bind(const std::string &handler, MouseEvent event) {
  mouseHandlers_[handler] = std::move(event);
}
void TForm::Bind(const std::string &handler, CloseEvent event) {
  closeHandlers_[handler] = std::move(event);
}

template <class E>
E TForm::Resolve(const std::map<std::string, E> &table, const std::string &name) const {
  if (name.empty())
    return E{};
  auto it = table.find(name);
  if (it == table.end()) {
    // A design naming a handler its form lacks is a build mistake, not input.
    std::fprintf(stderr, "%s: design names unknown handler %s\n", Name().c_str(), name.c_str());
    std::abort();
  }
  return it->second;
}

void TForm::Construct(const FormDesign &design) {
  design_ = design;
  for (const auto &m : design.menu) {
    auto item = std::make_unique<TMenuItem>(m.name, m.caption);
    item->OnClick = Resolve(notifyHandlers_, m.onClick);
    menu_.push_back(std::move(item));
  }
  int focusOrder = -1;
  for (const auto &c : design.components) {
    std::unique_ptr<TControl> control;
    switch (c.kind) {
    case ComponentKind::Shape: {
      auto shape = std::make_unique<TShape>(*this, c.name, c.bounds, c.brush);
      shape->OnMouseDown = Resolve(mouseHandlers_, c.onMouseDown);
      shape->OnMouseUp = Resolve(mouseHandlers_, c.onMouseUp);
      shapes_.push_back(shape.get());
      control = std::move(shape);
      break;
    }
    case ComponentKind::ScrollBar: {
      auto bar = std::make_unique<TScrollBar>(*this, c.name, c.bounds);
      bar->SetParams(c.min, c.max, c.position, c.smallChange, c.largeChange, c.pageSize);
      bar->OnChange = Resolve(notifyHandlers_, c.onChange);
      control = std::move(bar);
      break;
    }
    case ComponentKind::ComboBox: {
      auto combo = std::make_unique<TComboBox>(*this, c.name, c.bounds, c.itemHeight);
      combo->OnChange = Resolve(notifyHandlers_, c.onChange);
      control = std::move(combo);
      break;
    }
    }
    if (c.tabOrder >= 0 && (focusOrder < 0 || c.tabOrder < focusOrder)) {
      focusOrder = c.tabOrder;
      active_ = control.get();
    }
    controls_.push_back(std::move(control));
  }
  OnCreate = Resolve(notifyHandlers_, design.onCreate);
  OnClose = Resolve(closeHandlers_, design.onClose);

  peer_ = app_.GetBackend().CreatePeer(*this);
  peer_->SetBounds(design.bounds);
  if (OnCreate)
    OnCreate(*this);
  if (design.visible)
    Show();
}

int TForm::Left() const {
  return peer_->Bounds().left;
}
int TForm::Top() const {
  return peer_->Bounds().top;
}
int TForm::Width() const {
  return peer_->Bounds().width;
}
int TForm::Height() const {
  return peer_->Bounds().height;
}

void TForm::SetBoundsField(int Rect::*field, int v) {
  Rect r = peer_->Bounds();
  r.*field = v;
  peer_->SetBounds(r);
}
void TForm::SetLeft(int v) {
  SetBoundsField(&Rect::left, v);
}
void TForm::SetTop(int v) {
  SetBoundsField(&Rect::top, v);
}
void TForm::SetWidth(int v) {
  SetBoundsField(&Rect::width, v);
}
void TForm::SetHeight(int v) {
  SetBoundsField(&Rect::height, v);
}

void TForm::Show() {
  if (visible_)
    return;
  visible_ = true;
  peer_->SetVisible(true);
}

void TForm::Hide() {
  if (!visible_)
    return;
  if (captured_)
    CaptureLost();
  visible_ = false;
  peer_->SetVisible(false);
}

void TForm::Close() {
  const bool isMain = app_.MainForm() == this;
  CloseAction action = isMain ? CloseAction::Free : CloseAction::Hide;
  if (OnClose)
    OnClose(*this, action);
  if (action == CloseAction::None)
    return;
  if (isMain)
    app_.Terminate();
  else
    Hide();
}

TControl *TForm::FindControl(const std::string &name) const {
  for (const auto &c : controls_)
    if (c->Name() == name)
      return c.get();
  return nullptr;
}

TMenuItem *TForm::FindMenuItem(const std::string &name) const {
  for (const auto &m : menu_)
    if (m->Name() == name)
      return m.get();
  return nullptr;
}

TShape *TForm::ShapeAt(int x, int y) const {
  for (auto it = shapes_.rbegin(); it != shapes_.rend(); ++it)
    if ((*it)->Bounds().Contains(x, y))
      return *it;
  return nullptr;
}

static void Deliver(const MouseEvent &event, TShape &shape, MouseButton button, int x, int y) {
  if (event)
    event(shape, button, x - shape.Bounds().left, y - shape.Bounds().top);
}

// While the primary button holds the pointer, every mouse event goes to the
// shape it was pressed on (or to none, if it was pressed on the background).
void TForm::MouseDown(MouseButton button, int x, int y) {
  if (button == MouseButton::Other)
    return;
  TShape *target = captured_ ? captureShape_ : ShapeAt(x, y);
  if (button == MouseButton::Left && !captured_) {
    captured_ = true;
    captureShape_ = target;
  }
  if (target != nullptr)
    Deliver(target->OnMouseDown, *target, button, x, y);
}

void TForm::MouseUp(MouseButton button, int x, int y) {
  if (button == MouseButton::Other)
    return;
  TShape *target = captured_ ? captureShape_ : ShapeAt(x, y);
  if (button == MouseButton::Left && captured_) {
    captured_ = false;
    captureShape_ = nullptr;
  }
  if (target != nullptr)
    Deliver(target->OnMouseUp, *target, button, x, y);
}

// The platform took the pointer away mid-press (another window grabbed it):
// finish the press as a release so no key is left sounding.
void TForm::CaptureLost() {
  if (!captured_)
    return;
  TShape *target = captureShape_;
  captured_ = false;
  captureShape_ = nullptr;
  if (target != nullptr)
    Deliver(target->OnMouseUp, *target, MouseButton::Left, target->Bounds().left,
            target->Bounds().top);
}

void TForm::KeyDown(const KeyEvent &key) {
  if (auto *bar = dynamic_cast<TScrollBar *>(active_))
    bar->KeyDown(key);
  else if (auto *combo = dynamic_cast<TComboBox *>(active_))
    combo->KeyDown(key);
}

void TForm::MenuPick(const std::string &itemName) {
  if (TMenuItem *item = FindMenuItem(itemName))
    item->Click();
}

void TForm::Paint(TCanvas &canvas) const {
  for (const TShape *s : shapes_)
    s->Paint(canvas);
}

void TForm::ControlChanged(TControl &control) {
  if (!peer_)
    return;
  if (dynamic_cast<TShape *>(&control) != nullptr)
    peer_->Invalidate(control.Bounds());
  else
    peer_->ControlChanged(control);
}

} // namespace platform
