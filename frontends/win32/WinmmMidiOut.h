// The MIDI output service on Windows: winmm, called as it is, results passed
// through, Sleep for the waits.
#pragma once

#include "platform/MidiOutService.h"

#include <map>
#include <memory>

class WinmmMidiOut final : public platform::MidiOutService {
public:
  WinmmMidiOut();
  ~WinmmMidiOut() override;

  std::uint32_t GetNumDevs() override;
  platform::MMResult GetDevCaps(std::uintptr_t deviceId, platform::MidiOutCaps *caps,
                                std::uint32_t size) override;
  platform::MMResult Open(platform::HMidiOut *handle, std::uint32_t deviceId,
                          std::uintptr_t callback, std::uintptr_t instance,
                          std::uint32_t flags) override;
  platform::MMResult Close(platform::HMidiOut handle) override;
  platform::MMResult ShortMsg(platform::HMidiOut handle, std::uint32_t word) override;
  platform::MMResult PrepareHeader(platform::HMidiOut handle, platform::MidiHeader *header,
                                   std::uint32_t size) override;
  platform::MMResult LongMsg(platform::HMidiOut handle, platform::MidiHeader *header,
                             std::uint32_t size) override;
  platform::MMResult Reset(platform::HMidiOut handle) override;
  void Sleep(std::uint32_t ms) override;

private:
  struct Native;
  std::unique_ptr<Native> &NativeFor(platform::MidiHeader *header);
  // The system's header record behind each of the program's headers.
  std::map<platform::MidiHeader *, std::unique_ptr<Native>> headers_;
};
