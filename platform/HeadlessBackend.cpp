#include "platform/HeadlessBackend.h"

#include <algorithm>

namespace platform {

class HeadlessBackend::Peer final : public FormPeer, private TCanvas {
public:
  Peer(HeadlessBackend &backend, TForm &form)
      : backend_(backend), form_(form),
        pixels_(static_cast<std::size_t>(ClientWidth * ClientHeight), ButtonFace) {}
  ~Peer() override {
    auto &v = backend_.peers_;
    v.erase(std::remove(v.begin(), v.end(), this), v.end());
  }

  void SetVisible(bool visible) override {
    visible_ = visible;
    backend_.journal_.push_back((visible ? "show " : "hide ") + form_.Name());
    dirty_ = true;
  }
  void SetBounds(const Rect &outer) override { bounds_ = outer; }
  Rect Bounds() const override { return bounds_; }
  // Painted when somebody looks, as a real window paints from its loop.
  void Invalidate(const Rect &) override { dirty_ = true; }
  void ControlChanged(TControl &) override {}

  Color Pixel(int x, int y) {
    if (x < 0 || y < 0 || x >= ClientWidth || y >= ClientHeight)
      return ButtonFace;
    if (dirty_) {
      std::fill(pixels_.begin(), pixels_.end(), ButtonFace);
      form_.Paint(*this);
      dirty_ = false;
    }
    return pixels_[static_cast<std::size_t>(y * ClientWidth + x)];
  }

  TForm &Form() const { return form_; }
  bool Visible() const { return visible_; }

private:
  void Put(int x, int y, Color c) {
    if (x >= 0 && y >= 0 && x < ClientWidth && y < ClientHeight)
      pixels_[static_cast<std::size_t>(y * ClientWidth + x)] = Resolve(c);
  }
  static Color Resolve(Color c) {
    if (c.system == SystemColor::ButtonFace)
      return ButtonFace;
    if (c.system == SystemColor::WindowText)
      return clBlack;
    return c;
  }
  void FillRect(const Rect &r, Color c) override {
    for (int y = r.top; y < r.top + r.height; ++y)
      for (int x = r.left; x < r.left + r.width; ++x)
        Put(x, y, c);
  }
  void FrameRect(const Rect &r, Color c) override {
    for (int x = r.left; x < r.left + r.width; ++x) {
      Put(x, r.top, c);
      Put(x, r.top + r.height - 1, c);
    }
    for (int y = r.top; y < r.top + r.height; ++y) {
      Put(r.left, y, c);
      Put(r.left + r.width - 1, y, c);
    }
  }

  HeadlessBackend &backend_;
  TForm &form_;
  Rect bounds_;
  bool visible_ = false;
  bool dirty_ = true;
  std::vector<Color> pixels_;
};

HeadlessBackend::HeadlessBackend(std::string exePath) : exePath_(std::move(exePath)) {}

HeadlessBackend::~HeadlessBackend() = default;

std::unique_ptr<FormPeer> HeadlessBackend::CreatePeer(TForm &form) {
  auto peer = std::make_unique<Peer>(*this, form);
  peers_.push_back(peer.get());
  return peer;
}

void HeadlessBackend::ShowMessageBox(const std::string &text, const std::string &title,
                                     MessageIcon icon) {
  messages_.push_back(MessageRecord{text, title, icon, clock_ ? clock_() : 0});
  journal_.push_back("message " + text);
}

void HeadlessBackend::Run(TApplication &) {
  quit_ = false;
  if (script_)
    script_(*this);
}

HeadlessBackend::Peer *HeadlessBackend::PeerOf(const TForm &form) const {
  for (Peer *p : peers_)
    if (&p->Form() == &form)
      return p;
  return nullptr;
}

// A window that is not on screen takes no input.
static bool Live(const HeadlessBackend &b, const TForm &form) {
  return !b.Quitting() && b.IsVisible(form);
}

void HeadlessBackend::Press(TForm &form, MouseButton button, int x, int y) {
  if (Live(*this, form))
    form.MouseDown(button, x, y);
}

void HeadlessBackend::Release(TForm &form, MouseButton button, int x, int y) {
  if (Live(*this, form))
    form.MouseUp(button, x, y);
}

void HeadlessBackend::Click(TForm &form, MouseButton button, int x, int y) {
  Press(form, button, x, y);
  Release(form, button, x, y);
}

void HeadlessBackend::Key(TForm &form, KeyCode code, std::uint64_t timeMs) {
  if (Live(*this, form))
    form.KeyDown(KeyEvent{code, {}, timeMs});
}

void HeadlessBackend::Type(TForm &form, const std::string &character, std::uint64_t timeMs) {
  if (Live(*this, form))
    form.KeyDown(KeyEvent{KeyCode::Char, character, timeMs});
}

void HeadlessBackend::PickMenu(TForm &form, const std::string &item) {
  if (Live(*this, form))
    form.MenuPick(item);
}

void HeadlessBackend::PickEntry(TForm &form, const std::string &combo, int index) {
  if (!Live(*this, form))
    return;
  if (auto *c = dynamic_cast<TComboBox *>(form.FindControl(combo)))
    c->UserPick(index);
}

void HeadlessBackend::ScrollBarAction(TForm &form, const std::string &bar, ScrollCode code,
                                      int track) {
  if (!Live(*this, form))
    return;
  if (auto *b = dynamic_cast<TScrollBar *>(form.FindControl(bar)))
    b->Scroll(code, track);
}

void HeadlessBackend::MoveWindow(TForm &form, const Rect &outer) {
  if (Peer *p = PeerOf(form))
    p->SetBounds(outer);
}

void HeadlessBackend::RequestClose(TForm &form) {
  if (Live(*this, form))
    form.CloseRequest();
}

Color HeadlessBackend::Pixel(const TForm &form, int x, int y) const {
  Peer *p = PeerOf(form);
  return p != nullptr ? p->Pixel(x, y) : ButtonFace;
}

bool HeadlessBackend::IsVisible(const TForm &form) const {
  Peer *p = PeerOf(form);
  return p != nullptr && p->Visible();
}

Rect HeadlessBackend::WindowBounds(const TForm &form) const {
  Peer *p = PeerOf(form);
  return p != nullptr ? p->Bounds() : Rect{};
}

} // namespace platform
