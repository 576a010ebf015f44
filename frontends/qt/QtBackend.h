// The Qt 6 Widgets backend: native windows for the forms, translating Qt's
// events into the form layer's input and drawing what the forms describe.
#pragma once

#include "platform/Application.h"

#include <memory>

class QApplication;

class QtBackend final : public platform::Backend {
public:
  QtBackend(int &argc, char **argv);
  ~QtBackend() override;

  std::unique_ptr<platform::FormPeer> CreatePeer(platform::TForm &form) override;
  void ShowMessageBox(const std::string &text, const std::string &title,
                  platform::MessageIcon icon) override;
  void Run(platform::TApplication &app) override;
  void Quit() override;
  std::string ExecutablePath() const override;
  void SetApplicationTitle(const std::string &title) override;

private:
  std::unique_ptr<QApplication> app_;
};
