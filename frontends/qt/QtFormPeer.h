// One form's native window: a main window with the form's menu bar, a client
// area that paints the windowless shapes, and native scroll bar and list.
#pragma once

#include "platform/Form.h"

#include <QMainWindow>
#include <QWidget>

#include <map>

class QScrollBar;
class QComboBox;

class QtClientArea final : public QWidget {
public:
  explicit QtClientArea(platform::TForm &form, QWidget *parent);

protected:
  void paintEvent(QPaintEvent *event) override;
  void mousePressEvent(QMouseEvent *event) override;
  void mouseReleaseEvent(QMouseEvent *event) override;
  void mouseDoubleClickEvent(QMouseEvent *event) override;

private:
  platform::TForm &form_;
};

class QtFormWindow final : public QMainWindow {
public:
  explicit QtFormWindow(platform::TForm &form);
  QtClientArea *Client() const { return client_; }
  QWidget *WidgetFor(const platform::TControl &control) const;
  void Mirror(platform::TControl &control);

protected:
  void closeEvent(QCloseEvent *event) override;
  bool event(QEvent *event) override;
  bool eventFilter(QObject *watched, QEvent *event) override;

private:
  platform::TForm &form_;
  QtClientArea *client_;
  std::map<const platform::TControl *, QWidget *> widgets_;
};

class QtFormPeer final : public platform::FormPeer {
public:
  explicit QtFormPeer(platform::TForm &form);
  ~QtFormPeer() override;

  void SetVisible(bool visible) override;
  void SetBounds(const platform::Rect &outer) override;
  platform::Rect Bounds() const override;
  void Invalidate(const platform::Rect &client) override;
  void ControlChanged(platform::TControl &control) override;

private:
  QtFormWindow *window_;
};
