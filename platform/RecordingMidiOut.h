// A scripted MIDI output service for tests and the headless demo: a set of
// devices with scripted capability and open results, a log of every call in
// order, and a virtual clock that the waits advance instead of sleeping.
#pragma once

#include "platform/MidiOutService.h"

#include <cstdint>
#include <string>
#include <vector>

namespace platform {

struct ScriptedDevice {
  explicit ScriptedDevice(std::string deviceName = {}) : name(std::move(deviceName)) {}
  std::string name; // up to 32 bytes are reported, more are cut
  MMResult capsResult = mmr::NoError;
  // Result of the n-th open attempt on this device; attempts past the end
  // use openDefault. A device already open answers Allocated.
  std::vector<MMResult> openResults;
  MMResult openDefault = mmr::NoError;
};

struct MidiCall {
  std::uint64_t timeMs; // virtual clock when the call was made
  std::string op;       // GetNumDevs, GetDevCaps, Open, Close, ShortMsg, PrepareHeader,
                        // LongMsg, Reset, Sleep
  HMidiOut handle;      // handle given (Open: the handle returned)
  std::int64_t arg;     // device ID, word, header size or milliseconds
  MMResult result;
  int device;                      // device the handle belonged to, or -1
  std::vector<std::uint8_t> bytes; // bytes delivered to the device
};

class RecordingMidiOut final : public MidiOutService {
public:
  explicit RecordingMidiOut(std::vector<ScriptedDevice> devices = {});

  std::uint32_t GetNumDevs() override;
  MMResult GetDevCaps(std::uintptr_t deviceId, MidiOutCaps *caps, std::uint32_t size) override;
  MMResult Open(HMidiOut *handle, std::uint32_t deviceId, std::uintptr_t callback,
                std::uintptr_t instance, std::uint32_t flags) override;
  MMResult Close(HMidiOut handle) override;
  MMResult ShortMsg(HMidiOut handle, std::uint32_t word) override;
  MMResult PrepareHeader(HMidiOut handle, MidiHeader *header, std::uint32_t size) override;
  MMResult LongMsg(HMidiOut handle, MidiHeader *header, std::uint32_t size) override;
  MMResult Reset(HMidiOut handle) override;
  void Sleep(std::uint32_t ms) override;

  std::vector<ScriptedDevice> &Devices() { return devices_; }
  // A device that vanished still counts but fails every open with NoDriver.
  void Unplug(int deviceId);

  const std::vector<MidiCall> &Log() const { return log_; }
  void ClearLog() { log_.clear(); }
  std::uint64_t Now() const { return now_; }
  // Every byte delivered to one device, in order.
  std::vector<std::uint8_t> BytesTo(int deviceId) const;
  // The log as one line per call, for readable test failures and the demo.
  std::string Describe() const;
  int OpenDevice(HMidiOut handle) const;
  int OpenHandles() const;

private:
  struct OpenOutput {
    HMidiOut handle;
    int device;
  };
  MidiCall &Record(const char *op, HMidiOut handle, std::int64_t arg, MMResult result,
                   int device = -1);

  std::vector<ScriptedDevice> devices_;
  std::vector<std::size_t> attempts_;
  std::vector<bool> unplugged_;
  std::vector<OpenOutput> open_;
  std::vector<MidiCall> log_;
  std::uint64_t now_ = 0;
  HMidiOut nextHandle_ = 0x100;
};

} // namespace platform
