#include "platform/Application.h"

namespace platform {

TApplication *Application = nullptr;

TApplication::TApplication(Backend &backend) : backend_(backend) {}

TApplication::~TApplication() {
  // Later forms go first, as they were created after the main form.
  while (!forms_.empty())
    forms_.pop_back();
  if (Application == this)
    Application = nullptr;
}

void TApplication::Initialize() {
  Application = this;
  exeName_ = backend_.ExecutablePath();
  title_ = TitleFromExeName(exeName_);
  backend_.SetApplicationTitle(title_);
}

void TApplication::Run() {
  if (!terminated_)
    backend_.Run(*this);
}

void TApplication::Terminate() {
  if (terminated_)
    return;
  terminated_ = true;
  backend_.Quit();
}

static std::size_t FileNameStart(const std::string &path) {
  std::size_t slash = path.find_last_of("/\\");
  return slash == std::string::npos ? 0 : slash + 1;
}

std::string TitleFromExeName(const std::string &path) {
  std::string name = path.substr(FileNameStart(path));
  name = name.substr(0, name.find('.'));
  for (std::size_t i = 1; i < name.size(); ++i)
    if (name[i] >= 'A' && name[i] <= 'Z')
      name[i] = static_cast<char>(name[i] - 'A' + 'a');
  return name;
}

std::string ChangeFileExt(const std::string &path, const std::string &ext) {
  std::size_t start = FileNameStart(path);
  std::size_t dot = path.find_last_of('.');
  if (dot == std::string::npos || dot < start)
    return path + ext;
  return path.substr(0, dot) + ext;
}

void ShowMessage(const std::string &text) {
  if (Application != nullptr)
    Application->GetBackend().ShowMessageBox(text, Application->Title(), MessageIcon::None);
}

void ShowFileError(const std::string &text) {
  if (Application != nullptr)
    Application->GetBackend().ShowMessageBox(text, Application->Title(), MessageIcon::Error);
}

} // namespace platform
