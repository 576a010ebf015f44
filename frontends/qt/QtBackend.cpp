#include "frontends/qt/QtBackend.h"

#include "frontends/qt/QtFormPeer.h"

#include <QApplication>
#include <QFont>
#include <QMessageBox>
#include <QScreen>

QtBackend::QtBackend(int &argc, char **argv) : app_(std::make_unique<QApplication>(argc, argv)) {
  // The design's font is a Windows one; Japanese Gothic faces stand in for it.
  QFont::insertSubstitutions(QString::fromUtf8("ＭＳ Ｐゴシック"),
                             {"IPAPGothic", "IPAGothic", "Noto Sans CJK JP", "VL PGothic",
                              "TakaoPGothic", "Droid Sans Japanese"});
}

QtBackend::~QtBackend() = default;

std::unique_ptr<platform::FormPeer> QtBackend::CreatePeer(platform::TForm &form) {
  return std::make_unique<QtFormPeer>(form);
}

void QtBackend::ShowMessageBox(const std::string &text, const std::string &title,
                           platform::MessageIcon icon) {
  QMessageBox box(
      icon == platform::MessageIcon::Error ? QMessageBox::Critical : QMessageBox::NoIcon,
      QString::fromUtf8(title.c_str()), QString::fromUtf8(text.c_str()), QMessageBox::Ok);
  box.setEscapeButton(QMessageBox::Ok);
  box.setDefaultButton(QMessageBox::Ok);
  box.setWindowModality(Qt::ApplicationModal);
  box.adjustSize();
  if (QScreen *screen = QGuiApplication::primaryScreen()) {
    const QRect area = screen->availableGeometry();
    box.move(area.center() - QPoint(box.width() / 2, box.height() / 2));
  }
  box.exec();
}

void QtBackend::Run(platform::TApplication &) {
  QApplication::exec();
}

// exit() rather than quit(): quit() first asks every window to close, and the
// windows leave closing to their forms.
void QtBackend::Quit() {
  QCoreApplication::exit(0);
}

std::string QtBackend::ExecutablePath() const {
  return QCoreApplication::applicationFilePath().toStdString();
}

void QtBackend::SetApplicationTitle(const std::string &title) {
  QCoreApplication::setApplicationName(QString::fromUtf8(title.c_str()));
}
