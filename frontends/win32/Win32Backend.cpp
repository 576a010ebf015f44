#include "frontends/win32/Win32Backend.h"

#include "frontends/win32/Text.h"
#include "frontends/win32/Win32FormPeer.h"

namespace {

const wchar_t *const ApplicationClass = L"VelloraApplication";

// The application window is never seen; its taskbar button carries the
// application title and hands activation on to the keyboard window.
LRESULT CALLBACK ApplicationProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
  case WM_ACTIVATE:
    if (LOWORD(wp) != WA_INACTIVE && platform::Application != nullptr &&
        platform::Application->MainForm() != nullptr) {
      HWND main = FindWindowExW(nullptr, nullptr, Win32FormPeer::ClassName, nullptr);
      for (; main != nullptr;
           main = FindWindowExW(nullptr, main, Win32FormPeer::ClassName, nullptr))
        if (GetWindow(main, GW_OWNER) == hwnd && IsWindowVisible(main)) {
          SetActiveWindow(main);
          break;
        }
      return 0;
    }
    break;
  case WM_CLOSE:
    if (platform::Application != nullptr && platform::Application->MainForm() != nullptr)
      platform::Application->MainForm()->CloseRequest();
    return 0;
  default:
    break;
  }
  return DefWindowProcW(hwnd, msg, wp, lp);
}

} // namespace

Win32Backend::Win32Backend(HINSTANCE instance) : instance_(instance) {
  Win32FormPeer::RegisterWindowClass(instance);
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof wc;
  wc.lpfnWndProc = ApplicationProc;
  wc.hInstance = instance;
  wc.hIcon = LoadIconW(nullptr, reinterpret_cast<LPCWSTR>(IDI_APPLICATION));
  wc.lpszClassName = ApplicationClass;
  RegisterClassExW(&wc);
  const int x = GetSystemMetrics(SM_CXSCREEN) / 2, y = GetSystemMetrics(SM_CYSCREEN) / 2;
  appWindow_ =
      CreateWindowExW(0, ApplicationClass, L"", WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX,
                      x, y, 0, 0, nullptr, nullptr, instance, nullptr);
  ShowWindow(appWindow_, SW_SHOWNOACTIVATE);
  // The design's font; where it is not installed, GDI picks a face of the
  // same character set.
  font_ = CreateFontW(-12, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, SHIFTJIS_CHARSET,
                      OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                      DEFAULT_PITCH | FF_DONTCARE, L"ＭＳ Ｐゴシック");
}

Win32Backend::~Win32Backend() {
  if (appWindow_ != nullptr)
    DestroyWindow(appWindow_);
  if (font_ != nullptr)
    DeleteObject(font_);
}

std::unique_ptr<platform::FormPeer> Win32Backend::CreatePeer(platform::TForm &form) {
  return std::make_unique<Win32FormPeer>(*this, form);
}

void Win32Backend::ShowMessageBox(const std::string &text, const std::string &title,
                                  platform::MessageIcon icon) {
  UINT type = MB_OK | MB_TASKMODAL | MB_SETFOREGROUND;
  if (icon == platform::MessageIcon::Error)
    type |= MB_ICONERROR;
  MessageBoxW(nullptr, WideFromUtf8(text).c_str(), WideFromUtf8(title).c_str(), type);
}

void Win32Backend::Run(platform::TApplication &) {
  MSG msg;
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
}

void Win32Backend::Quit() {
  PostQuitMessage(0);
}

std::string Win32Backend::ExecutablePath() const {
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    const DWORD n = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (n < path.size()) {
      path.resize(n);
      break;
    }
    path.resize(path.size() * 2);
  }
  return Utf8FromWide(path);
}

void Win32Backend::SetApplicationTitle(const std::string &title) {
  SetWindowTextW(appWindow_, WideFromUtf8(title).c_str());
}
