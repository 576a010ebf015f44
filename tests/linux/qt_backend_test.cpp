// The Qt backend in-process (offscreen): what the black-box run cannot see
// from outside, such as the message box's make-up, the font that stands in
// for the design's, and the list's own key and wheel handling kept out.
#include "frontends/qt/QtBackend.h"
#include "midi/MidiMessages.h"
#include "platform/RecordingMidiOut.h"
#include "ui/vellUnit1.h"
#include "ui/vellUnit2.h"
#include "vellProject1.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QFontInfo>
#include <QFontMetrics>
#include <QMessageBox>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>
#include <QTimer>
#include <QWheelEvent>

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace {

QtBackend *backend = nullptr;

QtBackend &Backend() {
  return *backend;
}

// Runs the program with the script on the event loop, then closes it.
void RunProgram(platform::RecordingMidiOut &midi, std::function<void()> script) {
  platform::SetMidiOut(&midi);
  QTimer::singleShot(0, [&] {
    script();
    if (Form1 != nullptr)
      Form1->Close();
  });
  RunVellora(Backend());
  platform::SetMidiOut(nullptr);
}

std::vector<std::string> Ops(const platform::RecordingMidiOut &midi, std::size_t from) {
  std::vector<std::string> out;
  for (std::size_t i = from; i < midi.Log().size(); ++i)
    out.push_back(midi.Log()[i].op);
  return out;
}

TEST(QtBackend, MessageBoxesAreOwnerlessWithOneOkButtonAndNoIcon) {
  Backend();
  QString title, text;
  int buttons = -1;
  QMessageBox::Icon icon = QMessageBox::Warning;
  QTimer::singleShot(0, [&] {
    auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
    ASSERT_NE(box, nullptr);
    title = box->windowTitle();
    text = box->text();
    icon = box->icon();
    buttons = static_cast<int>(box->buttons().size());
    EXPECT_EQ(box->parentWidget(), nullptr);
    QTest::keyClick(box, Qt::Key_Escape);
  });
  Backend().ShowMessageBox("ＭＩＤＩデバイスが開けません", "Vellora", platform::MessageIcon::None);
  EXPECT_EQ(title.toStdString(), "Vellora");
  EXPECT_EQ(text.toStdString(), "ＭＩＤＩデバイスが開けません");
  EXPECT_EQ(icon, QMessageBox::NoIcon);
  EXPECT_EQ(buttons, 1);

  QTimer::singleShot(0, [&] {
    auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
    ASSERT_NE(box, nullptr);
    icon = box->icon();
    QTest::keyClick(box, Qt::Key_Return);
  });
  Backend().ShowMessageBox("ファイル x を作成できません.", "Vellora", platform::MessageIcon::Error);
  EXPECT_EQ(icon, QMessageBox::Critical);
}

TEST(QtBackend, JapaneseTextHasAFontWithItsGlyphs) {
  platform::RecordingMidiOut midi({platform::ScriptedDevice("Synth")});
  RunProgram(midi, [&] {
    for (QWidget *w : QApplication::topLevelWidgets()) {
      if (w->windowTitle() != QString::fromUtf8("Vellora"))
        continue;
      const QFontMetrics metrics(w->font());
      for (const char *text : {"ファ", "機能", "音源"})
        for (QChar c : QString::fromUtf8(text))
          EXPECT_TRUE(metrics.inFont(c)) << QFontInfo(w->font()).family().toStdString();
      EXPECT_EQ(QFontInfo(w->font()).pixelSize(), 12);
    }
  });
}

TEST(QtBackend, TheListsOwnKeysAndWheelFollowTheProgramsRules) {
  platform::RecordingMidiOut midi({platform::ScriptedDevice("Alpha"),
                                   platform::ScriptedDevice("Bass"),
                                   platform::ScriptedDevice("Brass")});
  RunProgram(midi, [&] {
    Form1->MenuPick("N1");
    QComboBox *combo = nullptr;
    for (QWidget *w : QApplication::allWidgets())
      if (auto *c = qobject_cast<QComboBox *>(w))
        combo = c;
    ASSERT_NE(combo, nullptr);
    ASSERT_EQ(combo->count(), 3);
    EXPECT_EQ(combo->itemText(0).toStdString(), "Alpha");

    const std::vector<std::string> switchOps = {"ShortMsg",      "Close",   "Open", "Reset",
                                                "PrepareHeader", "LongMsg", "Sleep"};
    std::size_t mark = midi.Log().size();
    QTest::keyClick(combo, Qt::Key_Backspace);
    EXPECT_EQ(Ops(midi, mark), switchOps);
    EXPECT_EQ(combo->currentIndex(), 0);

    // One wheel notch is one step, as an arrow key.
    mark = midi.Log().size();
    QWheelEvent wheel(QPointF(5, 5), combo->mapToGlobal(QPointF(5, 5)), QPoint(), QPoint(0, -120),
                      Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(combo, &wheel);
    EXPECT_EQ(combo->currentIndex(), 1);
    EXPECT_EQ(Form2->ComboBox1->ItemIndex(), 1);
    EXPECT_EQ(Ops(midi, mark), switchOps);

    // Typing goes by the program's prefix rule, not the list's own search.
    mark = midi.Log().size();
    QTest::keyClicks(combo, "br");
    EXPECT_EQ(combo->currentIndex(), 2);
    EXPECT_EQ(Ops(midi, mark), switchOps);
  });
}

TEST(QtBackend, TheBarMovesOneStepPerKeyAndPerClick) {
  platform::RecordingMidiOut midi({platform::ScriptedDevice("Synth")});
  RunProgram(midi, [&] {
    QScrollBar *bar = nullptr;
    for (QWidget *w : QApplication::allWidgets())
      if (auto *b = qobject_cast<QScrollBar *>(w); b && b->maximum() == 127)
        bar = b;
    ASSERT_NE(bar, nullptr);
    EXPECT_EQ(bar->value(), 1);
    QTest::keyClick(bar, Qt::Key_Right);
    QTest::keyClick(bar, Qt::Key_PageDown);
    EXPECT_EQ(Form1->ScrollBar1->Position(), 3);
    EXPECT_EQ(bar->value(), 3);
    bar->triggerAction(QAbstractSlider::SliderPageStepAdd); // a click in the trough
    EXPECT_EQ(Form1->ScrollBar1->Position(), 4);
    QTest::keyClick(bar, Qt::Key_End);
    EXPECT_EQ(bar->value(), 127);
    EXPECT_EQ(CurrentProgram, 127);
  });
}

} // namespace

int main(int argc, char **argv) {
  ::testing::InitGoogleTest(&argc, argv);
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
    qputenv("QT_QPA_PLATFORM", "offscreen"); // no screen needed
  // The program's settings file goes beside this path.
  std::filesystem::create_directories("/tmp/vellora-qt-test");
  char exe[] = "/tmp/vellora-qt-test/Vellora";
  char *qtArgv[] = {exe, nullptr};
  int qtArgc = 1;
  QtBackend qt(qtArgc, qtArgv);
  backend = &qt;
  return RUN_ALL_TESTS();
}
