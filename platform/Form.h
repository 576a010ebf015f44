// The form base class: a window built from its design description, painting
// its windowless shapes and routing mouse, key, menu and close input.
#pragma once

#include "platform/Controls.h"
#include "platform/Design.h"

#include <map>
#include <memory>
#include <string>
#include <vector>

namespace platform {

class TApplication;

// The native window behind a form, provided by a backend.
class FormPeer {
public:
  virtual ~FormPeer() = default;
  virtual void SetVisible(bool visible) = 0;
  virtual void SetBounds(const Rect &outer) = 0;
  virtual Rect Bounds() const = 0; // the outer rectangle as it is now
  virtual void Invalidate(const Rect &client) = 0;
  virtual void ControlChanged(TControl &control) = 0;
};

enum class CloseAction { None, Hide, Free };
using CloseEvent = std::function<void(TObject &sender, CloseAction &action)>;

class TForm : public TObject {
public:
  explicit TForm(TApplication &app, std::string name);
  ~TForm() override;

  TApplication &Application() const { return app_; }
  const FormDesign &Design() const { return design_; }
  const std::string &Caption() const { return design_.caption; }

  int Left() const;
  int Top() const;
  int Width() const;
  int Height() const;
  void SetLeft(int v);
  void SetTop(int v);
  void SetWidth(int v);
  void SetHeight(int v);

  bool Visible() const { return visible_; }
  void Show();
  void Hide();
  void Close();

  const std::vector<TShape *> &Shapes() const { return shapes_; }
  const std::vector<std::unique_ptr<TMenuItem>> &MenuItems() const { return menu_; }
  const std::vector<std::unique_ptr<TControl>> &Controls() const { return controls_; }
  TControl *FindControl(const std::string &name) const;
  TMenuItem *FindMenuItem(const std::string &name) const;
  TControl *ActiveControl() const { return active_; }
  FormPeer *Peer() const { return peer_.get(); }

  // Input, in client coordinates (below the menu bar).
  void MouseDown(MouseButton button, int x, int y);
  void MouseUp(MouseButton button, int x, int y);
  void CaptureLost();
  void KeyDown(const KeyEvent &key);
  void MenuPick(const std::string &itemName);
  void CloseRequest() { Close(); }

  void Paint(TCanvas &canvas) const;
  TShape *ShapeAt(int x, int y) const; // topmost first

  void ControlChanged(TControl &control);

  NotifyEvent OnCreate;
  CloseEvent OnClose;

protected:
  void Bind(const std::string &handler, NotifyEvent event);
  void Bind(const std::string &handler, MouseEvent event);
  void Bind(const std::string &handler, CloseEvent event);
  // Builds the components from the design, creates the native window, runs
  // the creation handler and shows the form if the design says so.
  void Construct(const FormDesign &design);

private:
  void SetBoundsField(int Rect::*field, int v);
  template <class E>
  E Resolve(const std::map<std::string, E> &table, const std::string &name) const;

  TApplication &app_;
  FormDesign design_;
  std::unique_ptr<FormPeer> peer_;
  std::vector<std::unique_ptr<TControl>> controls_;
  std::vector<TShape *> shapes_;
  std::vector<std::unique_ptr<TMenuItem>> menu_;
  TControl *active_ = nullptr;
  bool visible_ = false;
  bool captured_ = false;
  TShape *captureShape_ = nullptr;
  std::map<std::string, NotifyEvent> notifyHandlers_;
  std::map<std::string, MouseEvent> mouseHandlers_;
  std::map<std::string, CloseEvent> closeHandlers_;
};

} // namespace platform
