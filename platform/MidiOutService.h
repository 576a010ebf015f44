// The system's MIDI output service, as the program uses it: device count and
// capabilities, open/close, short and long messages, reset, and the wait.
// Every call returns the multimedia result code of the platform (0 = success).
// Each build links one implementation (winmm on Windows, RtMidi/FluidSynth on
// Linux, a scripted recorder in tests) and installs it with SetMidiOut().
#pragma once

#include <cstdint>

namespace platform {

using MMResult = std::uint32_t;
using HMidiOut = std::uintptr_t;

// Multimedia system error codes.
namespace mmr {
inline constexpr MMResult NoError = 0;
inline constexpr MMResult Error = 1;
inline constexpr MMResult BadDeviceId = 2;
inline constexpr MMResult NotEnabled = 3;
inline constexpr MMResult Allocated = 4;
inline constexpr MMResult InvalHandle = 5;
inline constexpr MMResult NoDriver = 6;
inline constexpr MMResult NoMem = 7;
inline constexpr MMResult NotSupported = 8;
inline constexpr MMResult BadErrNum = 9;
inline constexpr MMResult InvalFlag = 10;
inline constexpr MMResult InvalParam = 11;
inline constexpr MMResult HandleBusy = 12;
inline constexpr MMResult InvalidAlias = 13;
inline constexpr MMResult NoDriverCb = 20;
inline constexpr MMResult MidiUnprepared = 64;
inline constexpr MMResult MidiStillPlaying = 65;
inline constexpr MMResult MidiNoDevice = 68;
} // namespace mmr

// Output capabilities record: 52 bytes, the product name is 32 bytes and is
// NUL-terminated only when shorter than the field.
struct MidiOutCaps {
  std::uint16_t wMid;
  std::uint16_t wPid;
  std::uint32_t vDriverVersion;
  char szPname[32];
  std::uint16_t wTechnology;
  std::uint16_t wVoices;
  std::uint16_t wNotes;
  std::uint16_t wChannelMask;
  std::uint32_t dwSupport;
};
static_assert(sizeof(MidiOutCaps) == 52);

inline constexpr std::uint32_t MhdrDone = 0x1;
inline constexpr std::uint32_t MhdrPrepared = 0x2;

// Long-message header; 64 bytes in the 32-bit layout.
struct MidiHeader {
  char *lpData;
  std::uint32_t dwBufferLength;
  std::uint32_t dwBytesRecorded;
  std::uintptr_t dwUser;
  std::uint32_t dwFlags;
  MidiHeader *lpNext;
  std::uintptr_t reserved;
  std::uint32_t dwOffset;
  std::uintptr_t dwReserved[8];
};

class MidiOutService {
public:
  virtual ~MidiOutService() = default;

  virtual std::uint32_t GetNumDevs() = 0;
  virtual MMResult GetDevCaps(std::uintptr_t deviceId, MidiOutCaps *caps, std::uint32_t size) = 0;
  // Stores the new handle in *handle; flags 0 = no callback.
  virtual MMResult Open(HMidiOut *handle, std::uint32_t deviceId, std::uintptr_t callback,
                        std::uintptr_t instance, std::uint32_t flags) = 0;
  virtual MMResult Close(HMidiOut handle) = 0;
  virtual MMResult ShortMsg(HMidiOut handle, std::uint32_t word) = 0;
  virtual MMResult PrepareHeader(HMidiOut handle, MidiHeader *header, std::uint32_t size) = 0;
  // Returns once the bytes are handed over; the header is then done and no
  // longer prepared, so it can be prepared again for another output.
  virtual MMResult LongMsg(HMidiOut handle, MidiHeader *header, std::uint32_t size) = 0;
  virtual MMResult Reset(HMidiOut handle) = 0;
  // Blocks the calling thread for ms milliseconds.
  virtual void Sleep(std::uint32_t ms) = 0;
};

MidiOutService &MidiOut();
void SetMidiOut(MidiOutService *service);

// Number of bytes a channel message with this status byte occupies.
int ShortMessageLength(std::uint8_t status);

} // namespace platform
