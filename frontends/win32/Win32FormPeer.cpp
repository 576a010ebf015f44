#include "frontends/win32/Win32FormPeer.h"

#include "frontends/win32/Text.h"
#include "frontends/win32/Win32Backend.h"

#include <windowsx.h>

using namespace platform;

namespace {

constexpr int MenuIdBase = 100;
constexpr int ControlIdBase = 1000;
constexpr int DroppedListHeight = 200;
const wchar_t *const PeerProperty = L"VelloraPeer";

COLORREF ToColorRef(Color c) {
  switch (c.system) {
  case SystemColor::ButtonFace:
    return GetSysColor(COLOR_BTNFACE);
  case SystemColor::WindowText:
    return GetSysColor(COLOR_WINDOWTEXT);
  case SystemColor::None:
    break;
  }
  return RGB(c.r, c.g, c.b);
}

class GdiCanvas final : public TCanvas {
public:
  explicit GdiCanvas(HDC dc) : dc_(dc) {}
  void FillRect(const Rect &r, Color c) override {
    RECT rc{r.left, r.top, r.left + r.width, r.top + r.height};
    HBRUSH brush = CreateSolidBrush(ToColorRef(c));
    ::FillRect(dc_, &rc, brush);
    DeleteObject(brush);
  }
  void FrameRect(const Rect &r, Color c) override {
    RECT rc{r.left, r.top, r.left + r.width, r.top + r.height};
    HBRUSH brush = CreateSolidBrush(ToColorRef(c));
    ::FrameRect(dc_, &rc, brush);
    DeleteObject(brush);
  }

private:
  HDC dc_;
};

ScrollCode ScrollCodeOf(int code) {
  switch (code) {
  case SB_LINELEFT:
    return ScrollCode::LineUp;
  case SB_LINERIGHT:
    return ScrollCode::LineDown;
  case SB_PAGELEFT:
    return ScrollCode::PageUp;
  case SB_PAGERIGHT:
    return ScrollCode::PageDown;
  case SB_LEFT:
    return ScrollCode::Top;
  case SB_RIGHT:
    return ScrollCode::Bottom;
  default:
    return ScrollCode::Track;
  }
}

KeyCode KeyCodeOf(WPARAM vk) {
  switch (vk) {
  case VK_LEFT:
    return KeyCode::Left;
  case VK_RIGHT:
    return KeyCode::Right;
  case VK_UP:
    return KeyCode::Up;
  case VK_DOWN:
    return KeyCode::Down;
  case VK_PRIOR:
    return KeyCode::PageUp;
  case VK_NEXT:
    return KeyCode::PageDown;
  case VK_HOME:
    return KeyCode::Home;
  case VK_END:
    return KeyCode::End;
  case VK_BACK:
    return KeyCode::Backspace;
  default:
    return KeyCode::Other;
  }
}

} // namespace

void Win32FormPeer::RegisterWindowClass(HINSTANCE instance) {
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof wc;
  wc.lpfnWndProc = WindowProc;
  wc.hInstance = instance;
  wc.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
  wc.hIcon = LoadIconW(nullptr, reinterpret_cast<LPCWSTR>(IDI_APPLICATION));
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  wc.lpszClassName = ClassName;
  RegisterClassExW(&wc);
}

Win32FormPeer::Win32FormPeer(Win32Backend &backend, TForm &form) : backend_(backend), form_(form) {
  if (!form.MenuItems().empty()) {
    menu_ = CreateMenu();
    int id = MenuIdBase;
    for (const auto &item : form.MenuItems())
      AppendMenuW(menu_, MF_STRING, static_cast<UINT_PTR>(id++),
                  WideFromUtf8(item->Caption()).c_str());
  }
  const Rect &b = form.Design().bounds;
  hwnd_ = CreateWindowExW(0, ClassName, WideFromUtf8(form.Caption()).c_str(), WS_OVERLAPPEDWINDOW,
                          b.left, b.top, b.width, b.height, backend.ApplicationWindow(), menu_,
                          backend.Instance(), this);
  SendMessageW(hwnd_, WM_SETFONT, reinterpret_cast<WPARAM>(backend.Font()), FALSE);

  int id = ControlIdBase;
  for (const auto &control : form.Controls()) {
    const Rect &r = control->Bounds();
    HWND child = nullptr;
    if (dynamic_cast<TScrollBar *>(control.get()) != nullptr) {
      child = CreateWindowExW(0, L"SCROLLBAR", nullptr,
                              WS_CHILD | WS_VISIBLE | WS_TABSTOP | SBS_HORZ, r.left, r.top, r.width,
                              r.height, hwnd_, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id++)),
                              backend.Instance(), nullptr);
    } else if (auto *combo = dynamic_cast<TComboBox *>(control.get())) {
      child = CreateWindowExW(0, L"COMBOBOX", nullptr,
                              WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST,
                              r.left, r.top, r.width, DroppedListHeight, hwnd_,
                              reinterpret_cast<HMENU>(static_cast<INT_PTR>(id++)),
                              backend.Instance(), nullptr);
      SendMessageW(child, WM_SETFONT, reinterpret_cast<WPARAM>(backend.Font()), FALSE);
      SendMessageW(child, CB_SETITEMHEIGHT, 0, combo->ItemHeight());
      // The list's own keyboard and wheel handling is replaced by the program's rules.
      SetPropW(child, PeerProperty, this);
      listProc_ = reinterpret_cast<WNDPROC>(
          SetWindowLongPtrW(child, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(ListProc)));
    }
    if (child == nullptr)
      continue;
    children_[child] = control.get();
    handles_[control.get()] = child;
    ControlChanged(*control);
  }
}

Win32FormPeer::~Win32FormPeer() {
  if (hwnd_ != nullptr) {
    SetWindowLongPtrW(hwnd_, GWLP_USERDATA, 0);
    DestroyWindow(hwnd_);
  }
}

void Win32FormPeer::SetVisible(bool visible) {
  ShowWindow(hwnd_, visible ? SW_SHOW : SW_HIDE);
}

void Win32FormPeer::SetBounds(const Rect &outer) {
  SetWindowPos(hwnd_, nullptr, outer.left, outer.top, outer.width, outer.height,
               SWP_NOZORDER | SWP_NOACTIVATE);
}

Rect Win32FormPeer::Bounds() const {
  RECT r{};
  GetWindowRect(hwnd_, &r);
  return Rect{r.left, r.top, r.right - r.left, r.bottom - r.top};
}

void Win32FormPeer::Invalidate(const Rect &client) {
  RECT r{client.left, client.top, client.left + client.width, client.top + client.height};
  InvalidateRect(hwnd_, &r, FALSE);
}

void Win32FormPeer::ControlChanged(TControl &control) {
  auto it = handles_.find(&control);
  if (it == handles_.end())
    return;
  HWND h = it->second;
  if (auto *bar = dynamic_cast<TScrollBar *>(&control)) {
    SCROLLINFO si{};
    si.cbSize = sizeof si;
    si.fMask = SIF_RANGE | SIF_POS | SIF_PAGE;
    si.nMin = bar->Min();
    si.nMax = bar->Max();
    si.nPage = static_cast<UINT>(bar->PageSize());
    si.nPos = bar->Position();
    SetScrollInfo(h, SB_CTL, &si, TRUE);
  } else if (auto *combo = dynamic_cast<TComboBox *>(&control)) {
    const auto count = static_cast<std::size_t>(SendMessageW(h, CB_GETCOUNT, 0, 0));
    if (count != combo->Items().size()) {
      SendMessageW(h, CB_RESETCONTENT, 0, 0);
      for (const auto &item : combo->Items()) // bytes in the system code page
        SendMessageA(h, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item.c_str()));
    }
    SendMessageW(h, CB_SETCURSEL, static_cast<WPARAM>(combo->ItemIndex()), 0);
  }
}

TControl *Win32FormPeer::ControlOf(HWND child) const {
  auto it = children_.find(child);
  return it == children_.end() ? nullptr : it->second;
}

void Win32FormPeer::FocusActiveControl() {
  if (TControl *c = form_.ActiveControl()) {
    auto it = handles_.find(c);
    if (it != handles_.end())
      SetFocus(it->second);
  }
}

void Win32FormPeer::Paint() {
  PAINTSTRUCT ps;
  HDC dc = BeginPaint(hwnd_, &ps);
  GdiCanvas canvas(dc);
  form_.Paint(canvas);
  EndPaint(hwnd_, &ps);
}

void Win32FormPeer::Mouse(bool down, MouseButton button, LPARAM lp) {
  const int x = GET_X_LPARAM(lp), y = GET_Y_LPARAM(lp);
  if (down)
    form_.MouseDown(button, x, y);
  else
    form_.MouseUp(button, x, y);
}

void Win32FormPeer::Scroll(HWND bar, int code) {
  auto *control = dynamic_cast<TScrollBar *>(ControlOf(bar));
  if (control == nullptr || code == SB_ENDSCROLL)
    return;
  int track = 0;
  if (code == SB_THUMBTRACK || code == SB_THUMBPOSITION) {
    SCROLLINFO si{};
    si.cbSize = sizeof si;
    si.fMask = SIF_TRACKPOS;
    GetScrollInfo(bar, SB_CTL, &si);
    track = si.nTrackPos;
  }
  control->Scroll(ScrollCodeOf(code), track);
  ControlChanged(*control); // the native bar shows where the program put it
}

LRESULT CALLBACK Win32FormPeer::WindowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_NCCREATE) {
    auto *cs = reinterpret_cast<CREATESTRUCTW *>(lp);
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(cs->lpCreateParams));
    reinterpret_cast<Win32FormPeer *>(cs->lpCreateParams)->hwnd_ = hwnd;
  }
  auto *peer = reinterpret_cast<Win32FormPeer *>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  if (peer == nullptr)
    return DefWindowProcW(hwnd, msg, wp, lp);
  return peer->Handle(msg, wp, lp);
}

LRESULT Win32FormPeer::Handle(UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
  case WM_PAINT:
    Paint();
    return 0;
  case WM_LBUTTONDOWN:
    SetCapture(hwnd_);
    Mouse(true, MouseButton::Left, lp);
    return 0;
  case WM_LBUTTONUP:
    Mouse(false, MouseButton::Left, lp);
    if (GetCapture() == hwnd_)
      ReleaseCapture();
    return 0;
  case WM_RBUTTONDOWN:
  case WM_RBUTTONUP:
    Mouse(msg == WM_RBUTTONDOWN, MouseButton::Right, lp);
    return 0;
  case WM_MBUTTONDOWN:
  case WM_MBUTTONUP:
    Mouse(msg == WM_MBUTTONDOWN, MouseButton::Middle, lp);
    return 0;
  case WM_CAPTURECHANGED:
    if (reinterpret_cast<HWND>(lp) != hwnd_)
      form_.CaptureLost();
    return 0;
  case WM_HSCROLL:
    Scroll(reinterpret_cast<HWND>(lp), LOWORD(wp));
    return 0;
  case WM_COMMAND: {
    if (lp == 0) {
      const int index = LOWORD(wp) - MenuIdBase;
      if (index >= 0 && index < static_cast<int>(form_.MenuItems().size()))
        form_.MenuPick(form_.MenuItems()[static_cast<std::size_t>(index)]->Name());
      return 0;
    }
    HWND child = reinterpret_cast<HWND>(lp);
    if (auto *combo = dynamic_cast<TComboBox *>(ControlOf(child))) {
      if (HIWORD(wp) == CBN_SELENDOK)
        combo->UserPick(static_cast<int>(SendMessageW(child, CB_GETCURSEL, 0, 0)));
      else if (HIWORD(wp) == CBN_SELENDCANCEL)
        ControlChanged(*combo);
    }
    return 0;
  }
  case WM_ACTIVATE:
    if (LOWORD(wp) != WA_INACTIVE) {
      FocusActiveControl();
      return 0;
    }
    break;
  case WM_SETFOCUS:
    FocusActiveControl();
    return 0;
  case WM_CLOSE:
    form_.CloseRequest(); // the form decides whether it ends the program or hides
    return 0;
  default:
    break;
  }
  return DefWindowProcW(hwnd_, msg, wp, lp);
}

LRESULT CALLBACK Win32FormPeer::ListProc(HWND list, UINT msg, WPARAM wp, LPARAM lp) {
  auto *peer = static_cast<Win32FormPeer *>(GetPropW(list, PeerProperty));
  return peer->HandleList(list, msg, wp, lp);
}

LRESULT Win32FormPeer::HandleList(HWND list, UINT msg, WPARAM wp, LPARAM lp) {
  const bool dropped = SendMessageW(list, CB_GETDROPPEDSTATE, 0, 0) != 0;
  if (!dropped) {
    const auto time = static_cast<std::uint64_t>(GetMessageTime());
    switch (msg) {
    case WM_KEYDOWN: {
      const KeyCode code = KeyCodeOf(wp);
      if (code == KeyCode::Other)
        break;
      form_.KeyDown(KeyEvent{code, {}, time});
      return 0;
    }
    case WM_CHAR:
      if (wp >= 0x20) {
        const std::wstring typed(1, static_cast<wchar_t>(wp));
        form_.KeyDown(KeyEvent{KeyCode::Char, AnsiFromWide(typed), time});
      }
      return 0;
    case WM_MOUSEWHEEL:
      form_.KeyDown(
          KeyEvent{GET_WHEEL_DELTA_WPARAM(wp) > 0 ? KeyCode::Up : KeyCode::Down, {}, time});
      return 0;
    default:
      break;
    }
  }
  return CallWindowProcW(listProc_, list, msg, wp, lp);
}
