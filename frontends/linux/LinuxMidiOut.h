// The MIDI output service on Linux: device 0 is the built-in GM synthesizer,
// then every MIDI output port of the ALSA sequencer and of a running JACK
// server, through RtMidi. Failures come back as multimedia result codes:
//   a port that vanished since it was listed -> NoDriver
//   a device already open, or a port that refuses us -> Allocated
//   no GM SoundFont installed -> Error
//   no audio output for the synthesizer -> NotEnabled
#pragma once

#include "platform/MidiOutService.h"

#include <memory>
#include <string>
#include <vector>

class RtMidiOut;
class GmSynth;

class LinuxMidiOut final : public platform::MidiOutService {
public:
  static constexpr const char *SynthName = "Vellora GM Synth";

  LinuxMidiOut();
  ~LinuxMidiOut() override;

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

  enum class Kind { Synth, Alsa, Jack };
  struct Device {
    Kind kind;
    std::string port; // the port's full name as the MIDI API reports it
  };
  const std::vector<Device> &Devices() const { return devices_; }

  // Cuts a name to the 32-byte capabilities field without splitting a UTF-8 character.
  static std::string FitName(const std::string &name);

private:
  struct Output;
  Output *Find(platform::HMidiOut handle);
  void Send(Output &out, const std::uint8_t *bytes, std::size_t size);
  void ListPorts(Kind kind, std::unique_ptr<RtMidiOut> &probe);

  std::vector<Device> devices_;
  std::unique_ptr<RtMidiOut> alsaProbe_;
  std::unique_ptr<RtMidiOut> jackProbe_;
  bool alsaFailed_ = false;
  bool jackFailed_ = false;
  std::vector<std::unique_ptr<Output>> open_;
  platform::HMidiOut nextHandle_ = 1;
};
