// One form's native window: frame, menu bar, a client area in the button-face
// colour on which the form paints its shapes, and native scroll bar and list.
#pragma once

#include "platform/Form.h"

#include <windows.h>

#include <map>

class Win32Backend;

class Win32FormPeer final : public platform::FormPeer {
public:
  static constexpr const wchar_t *ClassName = L"VelloraForm";
  static void RegisterWindowClass(HINSTANCE instance);

  Win32FormPeer(Win32Backend &backend, platform::TForm &form);
  ~Win32FormPeer() override;

  void SetVisible(bool visible) override;
  void SetBounds(const platform::Rect &outer) override;
  platform::Rect Bounds() const override;
  void Invalidate(const platform::Rect &client) override;
  void ControlChanged(platform::TControl &control) override;

private:
  static LRESULT CALLBACK WindowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
  static LRESULT CALLBACK ListProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
  LRESULT Handle(UINT msg, WPARAM wp, LPARAM lp);
  LRESULT HandleList(HWND list, UINT msg, WPARAM wp, LPARAM lp);
  void Paint();
  void Mouse(bool down, platform::MouseButton button, LPARAM lp);
  void Scroll(HWND bar, int code);
  platform::TControl *ControlOf(HWND child) const;
  void FocusActiveControl();

  Win32Backend &backend_;
  platform::TForm &form_;
  HWND hwnd_ = nullptr;
  HMENU menu_ = nullptr;
  std::map<HWND, platform::TControl *> children_;
  std::map<const platform::TControl *, HWND> handles_;
  WNDPROC listProc_ = nullptr;
};
