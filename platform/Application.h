// The application object, the backend interface every front end implements,
// and the program's message boxes.
#pragma once

#include "platform/Form.h"

#include <memory>
#include <string>
#include <vector>

namespace platform {

enum class MessageIcon { None, Error };

class Backend {
public:
  virtual ~Backend() = default;
  virtual std::unique_ptr<FormPeer> CreatePeer(TForm &form) = 0;
  // Modal: returns once the user has dismissed the box.
  virtual void ShowMessageBox(const std::string &text, const std::string &title,
                              MessageIcon icon) = 0;
  // Runs the message loop until Quit().
  virtual void Run(TApplication &app) = 0;
  virtual void Quit() = 0;
  virtual std::string ExecutablePath() const = 0;
  // The text of the program's taskbar button.
  virtual void SetApplicationTitle(const std::string &) {}
};

class TApplication {
public:
  explicit TApplication(Backend &backend);
  ~TApplication();
  TApplication(const TApplication &) = delete;
  TApplication &operator=(const TApplication &) = delete;

  void Initialize();
  template <class T> void CreateForm(T *&ref) {
    auto form = std::make_unique<T>(*this);
    ref = form.get();
    if (mainForm_ == nullptr)
      mainForm_ = ref;
    forms_.push_back(std::move(form));
  }
  void Run();
  void Terminate();
  bool Terminated() const { return terminated_; }

  TForm *MainForm() const { return mainForm_; }
  Backend &GetBackend() const { return backend_; }
  const std::string &Title() const { return title_; }
  const std::string &ExeName() const { return exeName_; }

private:
  Backend &backend_;
  std::vector<std::unique_ptr<TForm>> forms_;
  TForm *mainForm_ = nullptr;
  std::string title_;
  std::string exeName_;
  bool terminated_ = false;
};

extern TApplication *Application;

// The file name without its folder, cut at its first ".", with every letter
// after the first in lower case.
std::string TitleFromExeName(const std::string &path);
// Replaces the extension of the path's file name, or appends one.
std::string ChangeFileExt(const std::string &path, const std::string &ext);

// The program's own message box: no icon, one OK button, application title.
void ShowMessage(const std::string &text);
// The platform's file errors: the same box with an error icon.
void ShowFileError(const std::string &text);

} // namespace platform
