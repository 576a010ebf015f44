// A backend without a screen: it delivers a person's raw input to the forms
// the way a windowing system would, and shows what that person would see
// (pixels of the keys, message boxes in order, windows and their lists).
#pragma once

#include "platform/Application.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace platform {

struct MessageRecord {
  std::string text;
  std::string title;
  MessageIcon icon;
  std::uint64_t timeMs; // on the clock given to SetClock
};

class HeadlessBackend final : public Backend {
public:
  using Script = std::function<void(HeadlessBackend &)>;
  static constexpr int ClientWidth = 320;
  static constexpr int ClientHeight = 140;
  static constexpr Color ButtonFace{240, 240, 240};

  explicit HeadlessBackend(std::string exePath);
  ~HeadlessBackend() override;

  // What the person does while the message loop runs.
  void SetScript(Script script) { script_ = std::move(script); }
  // Time stamps for message boxes (the MIDI service's virtual clock in tests).
  void SetClock(std::function<std::uint64_t()> clock) { clock_ = std::move(clock); }

  std::unique_ptr<FormPeer> CreatePeer(TForm &form) override;
  void ShowMessageBox(const std::string &text, const std::string &title, MessageIcon icon) override;
  void Run(TApplication &app) override;
  void Quit() override { quit_ = true; }
  std::string ExecutablePath() const override { return exePath_; }
  void SetApplicationTitle(const std::string &title) override { appTitle_ = title; }

  // Input; coordinates are in the form's client area.
  void Press(TForm &form, MouseButton button, int x, int y);
  void Release(TForm &form, MouseButton button, int x, int y);
  void Click(TForm &form, MouseButton button, int x, int y);
  void Key(TForm &form, KeyCode code, std::uint64_t timeMs = 0);
  void Type(TForm &form, const std::string &character, std::uint64_t timeMs);
  void PickMenu(TForm &form, const std::string &item);
  void PickEntry(TForm &form, const std::string &combo, int index);
  void ScrollBarAction(TForm &form, const std::string &bar, ScrollCode code, int track = 0);
  void MoveWindow(TForm &form, const Rect &outer);
  void RequestClose(TForm &form);

  // What a person sees.
  Color Pixel(const TForm &form, int x, int y) const;
  const std::vector<MessageRecord> &Messages() const { return messages_; }
  // "show Form1", "hide Form2", "message <text>" in the order they happened.
  const std::vector<std::string> &Journal() const { return journal_; }
  bool IsVisible(const TForm &form) const;
  Rect WindowBounds(const TForm &form) const;
  const std::string &ApplicationTitle() const { return appTitle_; }
  bool Quitting() const { return quit_; }

  class Peer;

private:
  Peer *PeerOf(const TForm &form) const;
  friend class Peer;
  std::string exePath_;
  std::string appTitle_;
  Script script_;
  std::function<std::uint64_t()> clock_;
  std::vector<MessageRecord> messages_;
  std::vector<std::string> journal_;
  std::vector<Peer *> peers_;
  bool quit_ = false;
};

} // namespace platform
