#include "frontends/linux/LinuxMidiOut.h"

#include "frontends/linux/GmSynth.h"

#include <alsa/asoundlib.h>
#include <rtmidi/RtMidi.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <thread>

using namespace platform;

namespace {

constexpr const char *ClientName = "Vellora";

RtMidi::Api ApiOf(LinuxMidiOut::Kind kind) {
  return kind == LinuxMidiOut::Kind::Alsa ? RtMidi::LINUX_ALSA : RtMidi::UNIX_JACK;
}

// RtMidi reports problems through this instead of throwing once it is set.
void IgnoreRtMidiError(RtMidiError::Type, const std::string &, void *) {}

// A machine without a sequencer is normal; the library need not print about it.
void QuietAlsa(const char *, int, const char *, int, const char *, ...) {}

} // namespace

struct LinuxMidiOut::Output {
  HMidiOut handle;
  int device;
  std::unique_ptr<RtMidiOut> port;
  std::unique_ptr<GmSynth> synth;
};

LinuxMidiOut::LinuxMidiOut() {
  snd_lib_error_set_handler(QuietAlsa);
}
LinuxMidiOut::~LinuxMidiOut() = default;

std::string LinuxMidiOut::FitName(const std::string &name) {
  constexpr std::size_t field = sizeof(MidiOutCaps{}.szPname);
  if (name.size() <= field)
    return name;
  std::size_t cut = field;
  while (cut > 0 && (static_cast<unsigned char>(name[cut]) & 0xC0) == 0x80)
    --cut; // back to the start of the character that does not fit
  return name.substr(0, cut);
}

void LinuxMidiOut::ListPorts(Kind kind, std::unique_ptr<RtMidiOut> &probe) {
  bool &failed = kind == Kind::Alsa ? alsaFailed_ : jackFailed_;
  if (failed)
    return;
  try {
    if (!probe) {
      probe = std::make_unique<RtMidiOut>(ApiOf(kind), ClientName);
      probe->setErrorCallback(IgnoreRtMidiError, nullptr);
    }
    const unsigned n = probe->getPortCount();
    for (unsigned i = 0; i < n; ++i) {
      std::string name = probe->getPortName(i);
      if (!name.empty())
        devices_.push_back(Device{kind, name});
    }
  } catch (const RtMidiError &) {
    // No sequencer here: that API has no devices for this run.
    probe.reset();
    failed = true;
  }
}

std::uint32_t LinuxMidiOut::GetNumDevs() {
  devices_.clear();
  devices_.push_back(Device{Kind::Synth, SynthName});
  ListPorts(Kind::Alsa, alsaProbe_);
  ListPorts(Kind::Jack, jackProbe_);
  return static_cast<std::uint32_t>(devices_.size());
}

MMResult LinuxMidiOut::GetDevCaps(std::uintptr_t deviceId, MidiOutCaps *caps, std::uint32_t size) {
  if (deviceId >= devices_.size())
    return mmr::BadDeviceId;
  if (caps == nullptr || size < sizeof(MidiOutCaps))
    return mmr::InvalParam;
  std::memset(caps, 0, sizeof *caps);
  const Device &d = devices_[deviceId];
  const std::string name = FitName(d.port);
  std::memcpy(caps->szPname, name.data(), name.size());
  caps->wTechnology = d.kind == Kind::Synth ? 7 /* software synth */ : 1 /* port */;
  caps->wVoices = d.kind == Kind::Synth ? 256 : 0;
  caps->wNotes = d.kind == Kind::Synth ? 256 : 0;
  caps->wChannelMask = 0xFFFF;
  return mmr::NoError;
}

MMResult LinuxMidiOut::Open(HMidiOut *handle, std::uint32_t deviceId, std::uintptr_t,
                            std::uintptr_t, std::uint32_t) {
  if (handle != nullptr)
    *handle = 0;
  if (deviceId >= devices_.size())
    return mmr::BadDeviceId;
  if (handle == nullptr)
    return mmr::InvalParam;
  const int device = static_cast<int>(deviceId);
  if (std::any_of(open_.begin(), open_.end(), [&](const auto &o) { return o->device == device; }))
    return mmr::Allocated;

  auto out = std::make_unique<Output>();
  out->device = device;
  const Device &d = devices_[deviceId];
  if (d.kind == Kind::Synth) {
    const std::string soundFont = GmSynth::FindSoundFont();
    if (soundFont.empty())
      return mmr::Error;
    out->synth = std::make_unique<GmSynth>();
    if (!out->synth->StartAudio())
      return mmr::NotEnabled;
    if (!out->synth->LoadSoundFont(soundFont))
      return mmr::Error;
  } else {
    try {
      out->port = std::make_unique<RtMidiOut>(ApiOf(d.kind), ClientName);
      out->port->setErrorCallback(IgnoreRtMidiError, nullptr);
      const unsigned n = out->port->getPortCount();
      unsigned index = n;
      for (unsigned i = 0; i < n && index == n; ++i)
        if (out->port->getPortName(i) == d.port)
          index = i;
      if (index == n)
        return mmr::NoDriver;
      out->port->openPort(index, "out");
      if (!out->port->isPortOpen())
        return mmr::Allocated;
    } catch (const RtMidiError &) {
      return mmr::NoDriver;
    }
  }
  out->handle = nextHandle_++;
  *handle = out->handle;
  open_.push_back(std::move(out));
  return mmr::NoError;
}

LinuxMidiOut::Output *LinuxMidiOut::Find(HMidiOut handle) {
  for (auto &o : open_)
    if (o->handle == handle)
      return o.get();
  return nullptr;
}

MMResult LinuxMidiOut::Close(HMidiOut handle) {
  auto it =
      std::find_if(open_.begin(), open_.end(), [&](const auto &o) { return o->handle == handle; });
  if (it == open_.end())
    return mmr::InvalHandle;
  if ((*it)->port)
    (*it)->port->closePort();
  open_.erase(it);
  return mmr::NoError;
}

void LinuxMidiOut::Send(Output &out, const std::uint8_t *bytes, std::size_t size) {
  if (out.synth) {
    out.synth->Send(bytes, size);
  } else if (out.port) {
    try {
      out.port->sendMessage(bytes, size);
    } catch (const RtMidiError &) {
      // A peer that went away takes the message with it, as a cable would.
    }
  }
}

MMResult LinuxMidiOut::ShortMsg(HMidiOut handle, std::uint32_t word) {
  Output *out = Find(handle);
  if (out == nullptr)
    return mmr::InvalHandle;
  std::uint8_t bytes[3];
  const int n = ShortMessageLength(static_cast<std::uint8_t>(word & 0xFF));
  for (int i = 0; i < n; ++i)
    bytes[i] = static_cast<std::uint8_t>((word >> (8 * i)) & 0xFF);
  Send(*out, bytes, static_cast<std::size_t>(n));
  return mmr::NoError;
}

MMResult LinuxMidiOut::PrepareHeader(HMidiOut handle, MidiHeader *header, std::uint32_t size) {
  if (Find(handle) == nullptr)
    return mmr::InvalHandle;
  if (header == nullptr || size < sizeof(MidiHeader))
    return mmr::InvalParam;
  header->dwFlags |= MhdrPrepared;
  header->dwFlags &= ~MhdrDone;
  return mmr::NoError;
}

MMResult LinuxMidiOut::LongMsg(HMidiOut handle, MidiHeader *header, std::uint32_t size) {
  Output *out = Find(handle);
  if (out == nullptr)
    return mmr::InvalHandle;
  if (header == nullptr || size < sizeof(MidiHeader) || header->lpData == nullptr)
    return mmr::InvalParam;
  if ((header->dwFlags & MhdrPrepared) == 0)
    return mmr::MidiUnprepared;
  Send(*out, reinterpret_cast<const std::uint8_t *>(header->lpData), header->dwBufferLength);
  header->dwFlags = MhdrDone; // handed over and released for the next output
  return mmr::NoError;
}

MMResult LinuxMidiOut::Reset(HMidiOut handle) {
  Output *out = Find(handle);
  if (out == nullptr)
    return mmr::InvalHandle;
  if (out->synth) {
    out->synth->AllNotesOff();
    return mmr::NoError;
  }
  for (std::uint8_t channel = 0; channel < 16; ++channel) {
    const std::uint8_t sustainOff[3] = {static_cast<std::uint8_t>(0xB0 | channel), 0x40, 0};
    const std::uint8_t allNotesOff[3] = {static_cast<std::uint8_t>(0xB0 | channel), 0x7B, 0};
    Send(*out, sustainOff, 3);
    Send(*out, allNotesOff, 3);
  }
  return mmr::NoError;
}

void LinuxMidiOut::Sleep(std::uint32_t ms) {
  std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}
