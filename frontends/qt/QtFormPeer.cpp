#include "frontends/qt/QtFormPeer.h"

#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QKeyEvent>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QWheelEvent>

using namespace platform;

namespace {

QColor ToQt(Color c, const QPalette &palette) {
  switch (c.system) {
  case SystemColor::ButtonFace:
    return palette.color(QPalette::Button);
  case SystemColor::WindowText:
    return palette.color(QPalette::WindowText);
  case SystemColor::None:
    break;
  }
  return QColor(c.r, c.g, c.b);
}

QString FromUtf8(const std::string &s) {
  return QString::fromUtf8(s.data(), qsizetype(s.size()));
}

MouseButton ButtonOf(Qt::MouseButton b) {
  switch (b) {
  case Qt::LeftButton:
    return MouseButton::Left;
  case Qt::RightButton:
    return MouseButton::Right;
  case Qt::MiddleButton:
    return MouseButton::Middle;
  default:
    return MouseButton::Other;
  }
}

KeyEvent KeyOf(const QKeyEvent &e) {
  KeyEvent k;
  k.timeMs = e.timestamp();
  switch (e.key()) {
  case Qt::Key_Left:
    k.code = KeyCode::Left;
    break;
  case Qt::Key_Right:
    k.code = KeyCode::Right;
    break;
  case Qt::Key_Up:
    k.code = KeyCode::Up;
    break;
  case Qt::Key_Down:
    k.code = KeyCode::Down;
    break;
  case Qt::Key_PageUp:
    k.code = KeyCode::PageUp;
    break;
  case Qt::Key_PageDown:
    k.code = KeyCode::PageDown;
    break;
  case Qt::Key_Home:
    k.code = KeyCode::Home;
    break;
  case Qt::Key_End:
    k.code = KeyCode::End;
    break;
  case Qt::Key_Backspace:
    k.code = KeyCode::Backspace;
    break;
  default:
    if (!e.text().isEmpty() && e.text().at(0).isPrint() &&
        !(e.modifiers() & (Qt::ControlModifier | Qt::AltModifier))) {
      k.code = KeyCode::Char;
      k.text = e.text().toLocal8Bit().toStdString();
    }
    break;
  }
  return k;
}

ScrollCode ScrollCodeOf(int action) {
  switch (action) {
  case QAbstractSlider::SliderSingleStepSub:
    return ScrollCode::LineUp;
  case QAbstractSlider::SliderSingleStepAdd:
    return ScrollCode::LineDown;
  case QAbstractSlider::SliderPageStepSub:
    return ScrollCode::PageUp;
  case QAbstractSlider::SliderPageStepAdd:
    return ScrollCode::PageDown;
  case QAbstractSlider::SliderToMinimum:
    return ScrollCode::Top;
  case QAbstractSlider::SliderToMaximum:
    return ScrollCode::Bottom;
  default:
    return ScrollCode::Track;
  }
}

class QtCanvas final : public TCanvas {
public:
  QtCanvas(QPainter &p, const QPalette &palette) : p_(p), palette_(palette) {}
  void FillRect(const Rect &r, Color c) override {
    p_.fillRect(QRect(r.left, r.top, r.width, r.height), ToQt(c, palette_));
  }
  void FrameRect(const Rect &r, Color c) override {
    const QColor q = ToQt(c, palette_);
    p_.fillRect(QRect(r.left, r.top, r.width, 1), q);
    p_.fillRect(QRect(r.left, r.top + r.height - 1, r.width, 1), q);
    p_.fillRect(QRect(r.left, r.top, 1, r.height), q);
    p_.fillRect(QRect(r.left + r.width - 1, r.top, 1, r.height), q);
  }

private:
  QPainter &p_;
  const QPalette &palette_;
};

} // namespace

QtClientArea::QtClientArea(TForm &form, QWidget *parent) : QWidget(parent), form_(form) {
  setAutoFillBackground(true);
  QPalette pal = palette();
  pal.setColor(QPalette::Window, ToQt(form.Design().color, pal));
  setPalette(pal);
  setFocusPolicy(Qt::NoFocus);
}

void QtClientArea::paintEvent(QPaintEvent *) {
  QPainter painter(this);
  QtCanvas canvas(painter, palette());
  form_.Paint(canvas);
}

void QtClientArea::mousePressEvent(QMouseEvent *e) {
  const QPoint p = e->position().toPoint();
  form_.MouseDown(ButtonOf(e->button()), p.x(), p.y());
}

void QtClientArea::mouseReleaseEvent(QMouseEvent *e) {
  const QPoint p = e->position().toPoint();
  form_.MouseUp(ButtonOf(e->button()), p.x(), p.y());
}

// The second press of a double click is a press like any other.
void QtClientArea::mouseDoubleClickEvent(QMouseEvent *e) {
  mousePressEvent(e);
}

QtFormWindow::QtFormWindow(TForm &form) : form_(form), client_(new QtClientArea(form, this)) {
  setWindowTitle(FromUtf8(form.Caption()));
  QFont font(FromUtf8(form.Design().font.name));
  font.setPixelSize(form.Design().font.height);
  setFont(font);
  setCentralWidget(client_);

  for (const auto &item : form.MenuItems()) {
    QAction *action = menuBar()->addAction(FromUtf8(item->Caption()));
    const std::string name = item->Name();
    connect(action, &QAction::triggered, this, [this, name] { form_.MenuPick(name); });
  }

  for (const auto &control : form.Controls()) {
    const Rect &r = control->Bounds();
    if (auto *bar = dynamic_cast<TScrollBar *>(control.get())) {
      auto *w = new QScrollBar(Qt::Horizontal, client_);
      w->setGeometry(r.left, r.top, r.width, r.height);
      w->setFocusPolicy(Qt::StrongFocus);
      w->installEventFilter(this);
      connect(w, &QAbstractSlider::actionTriggered, this,
              [bar, w](int action) { bar->Scroll(ScrollCodeOf(action), w->sliderPosition()); });
      widgets_[bar] = w;
    } else if (auto *combo = dynamic_cast<TComboBox *>(control.get())) {
      auto *w = new QComboBox(client_);
      w->setEditable(false);
      w->setGeometry(r.left, r.top, r.width, std::max(r.height, w->sizeHint().height()));
      w->setFocusPolicy(Qt::StrongFocus);
      w->installEventFilter(this);
      connect(w, &QComboBox::activated, this, [combo](int index) { combo->UserPick(index); });
      widgets_[combo] = w;
    }
    Mirror(*control);
  }
}

QWidget *QtFormWindow::WidgetFor(const TControl &control) const {
  auto it = widgets_.find(&control);
  return it == widgets_.end() ? nullptr : it->second;
}

void QtFormWindow::Mirror(TControl &control) {
  QWidget *w = WidgetFor(control);
  if (auto *bar = dynamic_cast<TScrollBar *>(&control); bar && w) {
    auto *q = static_cast<QScrollBar *>(w);
    QSignalBlocker block(q);
    q->setRange(bar->Min(), bar->Max());
    q->setSingleStep(bar->SmallChange());
    q->setPageStep(std::max(bar->PageSize(), bar->LargeChange()));
    q->setValue(bar->Position());
  } else if (auto *combo = dynamic_cast<TComboBox *>(&control); combo && w) {
    auto *q = static_cast<QComboBox *>(w);
    QSignalBlocker block(q);
    if (q->count() != static_cast<int>(combo->Items().size())) {
      q->clear();
      for (const auto &item : combo->Items()) // system code page bytes
        q->addItem(QString::fromLocal8Bit(item.data(), qsizetype(item.size())));
    }
    q->setCurrentIndex(combo->ItemIndex());
  }
}

void QtFormWindow::closeEvent(QCloseEvent *e) {
  // The form decides: the keyboard window ends the program, others hide.
  e->ignore();
  form_.CloseRequest();
}

bool QtFormWindow::event(QEvent *e) {
  if (e->type() == QEvent::WindowActivate) {
    if (QWidget *w = form_.ActiveControl() ? WidgetFor(*form_.ActiveControl()) : nullptr)
      w->setFocus(Qt::ActiveWindowFocusReason);
  }
  return QMainWindow::event(e);
}

bool QtFormWindow::eventFilter(QObject *watched, QEvent *e) {
  if (e->type() == QEvent::KeyPress) {
    const auto *key = static_cast<QKeyEvent *>(e);
    const KeyEvent k = KeyOf(*key);
    if (k.code == KeyCode::Other)
      return false; // Tab, F4, Alt+Down and the like stay Qt's
    form_.KeyDown(k);
    return true;
  }
  if (e->type() == QEvent::Wheel && qobject_cast<QComboBox *>(watched) != nullptr) {
    // A wheel over the closed list steps it, as the arrow keys do.
    const auto *wheel = static_cast<QWheelEvent *>(e);
    const int dy = wheel->angleDelta().y();
    if (dy != 0)
      form_.KeyDown(KeyEvent{dy > 0 ? KeyCode::Up : KeyCode::Down, {}, wheel->timestamp()});
    return true;
  }
  return false;
}

QtFormPeer::QtFormPeer(TForm &form) : window_(new QtFormWindow(form)) {}

QtFormPeer::~QtFormPeer() {
  delete window_;
}

void QtFormPeer::SetVisible(bool visible) {
  if (visible) {
    window_->show();
    window_->raise();
    window_->activateWindow();
  } else {
    window_->hide();
  }
}

// Outer sizes: the frame the window manager adds is taken off the size.
void QtFormPeer::SetBounds(const Rect &outer) {
  const QRect frame = window_->frameGeometry();
  const QRect inner = window_->geometry();
  const int extraW = frame.width() - inner.width();
  const int extraH = frame.height() - inner.height();
  window_->move(outer.left, outer.top);
  window_->resize(std::max(0, outer.width - extraW), std::max(0, outer.height - extraH));
}

Rect QtFormPeer::Bounds() const {
  const QRect f = window_->frameGeometry();
  return Rect{f.x(), f.y(), f.width(), f.height()};
}

void QtFormPeer::Invalidate(const Rect &r) {
  window_->Client()->update(QRect(r.left, r.top, r.width, r.height));
}

void QtFormPeer::ControlChanged(TControl &control) {
  window_->Mirror(control);
}
