#include "platform/MidiOutService.h"

#include <chrono>
#include <thread>

namespace platform {
namespace {

// Used until a build installs its own service: a system without MIDI outputs.
class NoMidiOut final : public MidiOutService {
public:
  std::uint32_t GetNumDevs() override { return 0; }
  MMResult GetDevCaps(std::uintptr_t, MidiOutCaps *, std::uint32_t) override {
    return mmr::BadDeviceId;
  }
  MMResult Open(HMidiOut *handle, std::uint32_t, std::uintptr_t, std::uintptr_t,
                std::uint32_t) override {
    if (handle != nullptr)
      *handle = 0;
    return mmr::BadDeviceId;
  }
  MMResult Close(HMidiOut) override { return mmr::InvalHandle; }
  MMResult ShortMsg(HMidiOut, std::uint32_t) override { return mmr::InvalHandle; }
  MMResult PrepareHeader(HMidiOut, MidiHeader *, std::uint32_t) override {
    return mmr::InvalHandle;
  }
  MMResult LongMsg(HMidiOut, MidiHeader *, std::uint32_t) override { return mmr::InvalHandle; }
  MMResult Reset(HMidiOut) override { return mmr::InvalHandle; }
  void Sleep(std::uint32_t ms) override {
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
  }
};

NoMidiOut noMidiOut;
MidiOutService *current = &noMidiOut;

} // namespace

MidiOutService &MidiOut() {
  return *current;
}

void SetMidiOut(MidiOutService *service) {
  current = service != nullptr ? service : &noMidiOut;
}

int ShortMessageLength(std::uint8_t status) {
  if (status < 0x80)
    return 1;
  switch (status & 0xF0) {
  case 0xC0:
  case 0xD0:
    return 2;
  case 0xF0:
    if (status == 0xF1 || status == 0xF3)
      return 2;
    if (status == 0xF2)
      return 3;
    return 1;
  default:
    return 3;
  }
}

} // namespace platform
