// Runs the whole program on the headless backend with a scripted MIDI
// service, in a fresh folder that holds the executable's settings file.
#pragma once

#include "midi/MidiMessages.h"
#include "midi/OutputDevice.h"
#include "platform/FileIO.h"
#include "platform/HeadlessBackend.h"
#include "platform/RecordingMidiOut.h"
#include "settings/SettingsStore.h"
#include "ui/vellUnit1.h"
#include "ui/vellUnit2.h"
#include "vellProject1.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace fs = std::filesystem;

inline std::string Hex(const std::vector<std::uint8_t> &bytes) {
  std::string out;
  char b[4];
  for (auto v : bytes) {
    std::snprintf(b, sizeof b, "%02X", v);
    if (!out.empty())
      out += ' ';
    out += b;
  }
  return out;
}

inline std::string ReadFileBytes(const fs::path &p) {
  std::ifstream in(p, std::ios::binary);
  return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

inline void WriteFileBytes(const fs::path &p, const std::string &bytes) {
  std::ofstream out(p, std::ios::binary | std::ios::trunc);
  out << bytes;
}

inline const std::string GsResetHex = "F0 41 10 42 12 40 00 7F 00 41 F7";

// A point inside each key that no later key covers.
inline void KeyPoint(int key, int &x, int &y) {
  const KeyDesign &k = KeyTable[static_cast<std::size_t>(key)];
  x = k.left + (k.kind == KeyKind::White ? 5 : 4);
  y = k.kind == KeyKind::White ? 100 : 40;
}

class ProgramTest : public ::testing::Test {
protected:
  void SetUp() override {
    char tmpl[] = "/tmp/vellora-test-XXXXXX";
    ASSERT_NE(mkdtemp(tmpl), nullptr);
    dir = tmpl;
    exe = (dir / "Vellora").string();
    ini = dir / "Vellora.ini";
  }
  void TearDown() override {
    std::error_code ec;
    fs::remove_all(dir, ec);
  }

  void Devices(std::vector<platform::ScriptedDevice> devices) {
    midi.Devices() = std::move(devices);
  }

  // Runs the program; the script plays the person, between start and exit.
  void Run(platform::HeadlessBackend::Script script = {}) {
    backend = std::make_unique<platform::HeadlessBackend>(exe);
    backend->SetClock([this] { return midi.Now(); });
    backend->SetScript(std::move(script));
    platform::SetMidiOut(&midi);
    RunVellora(*backend);
    platform::SetMidiOut(nullptr);
  }

  // The calls from log position `from` on, one readable line each.
  std::vector<std::string> Trace(std::size_t from = 0, bool withQueries = false) const {
    std::vector<std::string> out;
    const auto &log = midi.Log();
    for (std::size_t i = from; i < log.size(); ++i) {
      const auto &c = log[i];
      std::string line = c.op;
      if (c.op == "GetNumDevs" || c.op == "GetDevCaps") {
        if (!withQueries)
          continue;
        line += " " + std::to_string(c.arg);
      } else if (c.op == "Open") {
        line += " " + std::to_string(c.arg);
      } else if (c.op == "ShortMsg") {
        std::vector<std::uint8_t> word;
        int n = platform::ShortMessageLength(static_cast<std::uint8_t>(c.arg & 0xFF));
        for (int b = 0; b < n; ++b)
          word.push_back(static_cast<std::uint8_t>((c.arg >> (8 * b)) & 0xFF));
        line += " " + Hex(word);
      } else if (c.op == "LongMsg") {
        if (!c.bytes.empty())
          line += " " + Hex(c.bytes);
      } else if (c.op == "Sleep") {
        line += " " + std::to_string(c.arg);
      }
      if (c.result != 0)
        line += " -> " + std::to_string(static_cast<std::int32_t>(c.result));
      out.push_back(line);
    }
    return out;
  }

  std::vector<std::string> MessageTexts() const {
    std::vector<std::string> out;
    for (const auto &m : backend->Messages())
      out.push_back(m.text);
    return out;
  }

  fs::path dir;
  std::string exe;
  fs::path ini;
  platform::RecordingMidiOut midi;
  std::unique_ptr<platform::HeadlessBackend> backend;
};
