// The Win32 backend: native windows for the forms (W APIs, no framework),
// the system's message boxes and the message loop.
#pragma once

#include "platform/Application.h"

#include <windows.h>

class Win32Backend final : public platform::Backend {
public:
  explicit Win32Backend(HINSTANCE instance);
  ~Win32Backend() override;

  std::unique_ptr<platform::FormPeer> CreatePeer(platform::TForm &form) override;
  void ShowMessageBox(const std::string &text, const std::string &title,
                      platform::MessageIcon icon) override;
  void Run(platform::TApplication &app) override;
  void Quit() override;
  std::string ExecutablePath() const override;
  void SetApplicationTitle(const std::string &title) override;

  HINSTANCE Instance() const { return instance_; }
  // The hidden-sized window whose taskbar button carries the application title.
  HWND ApplicationWindow() const { return appWindow_; }
  HFONT Font() const { return font_; }

private:
  HINSTANCE instance_;
  HWND appWindow_ = nullptr;
  HFONT font_ = nullptr;
};
