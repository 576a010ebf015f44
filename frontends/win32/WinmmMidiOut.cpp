#include "frontends/win32/WinmmMidiOut.h"

#include <windows.h>

#include <mmsystem.h>

#include <cstring>

using namespace platform;

static_assert(sizeof(MIDIOUTCAPSA) == sizeof(MidiOutCaps));

struct WinmmMidiOut::Native {
  MIDIHDR header;
  HMIDIOUT preparedFor;
};

namespace {
HMIDIOUT ToHandle(HMidiOut h) {
  return reinterpret_cast<HMIDIOUT>(h);
}
constexpr DWORD DoneWaitMs = 2000;
} // namespace

WinmmMidiOut::WinmmMidiOut() = default;

std::unique_ptr<WinmmMidiOut::Native> &WinmmMidiOut::NativeFor(MidiHeader *header) {
  auto &slot = headers_[header];
  if (!slot)
    slot = std::make_unique<struct Native>();
  return slot;
}
WinmmMidiOut::~WinmmMidiOut() = default;

std::uint32_t WinmmMidiOut::GetNumDevs() {
  return midiOutGetNumDevs();
}

MMResult WinmmMidiOut::GetDevCaps(std::uintptr_t deviceId, MidiOutCaps *caps, std::uint32_t size) {
  MIDIOUTCAPSA native{};
  const MMResult r = midiOutGetDevCapsA(deviceId, &native, sizeof native);
  if (r == MMSYSERR_NOERROR && caps != nullptr)
    std::memcpy(caps, &native, size < sizeof native ? size : sizeof native);
  return r;
}

MMResult WinmmMidiOut::Open(HMidiOut *handle, std::uint32_t deviceId, std::uintptr_t callback,
                            std::uintptr_t instance, std::uint32_t flags) {
  HMIDIOUT h = nullptr;
  const MMResult r = midiOutOpen(&h, deviceId, callback, instance, flags);
  if (handle != nullptr)
    *handle = reinterpret_cast<HMidiOut>(h);
  return r;
}

MMResult WinmmMidiOut::Close(HMidiOut handle) {
  return midiOutClose(ToHandle(handle));
}

MMResult WinmmMidiOut::ShortMsg(HMidiOut handle, std::uint32_t word) {
  return midiOutShortMsg(ToHandle(handle), word);
}

MMResult WinmmMidiOut::PrepareHeader(HMidiOut handle, MidiHeader *header, std::uint32_t) {
  if (header == nullptr)
    return MMSYSERR_INVALPARAM;
  auto &slot = NativeFor(header);
  MIDIHDR &n = slot->header;
  if (slot->preparedFor != nullptr)
    midiOutUnprepareHeader(slot->preparedFor, &n, sizeof n);
  std::memset(&n, 0, sizeof n);
  n.lpData = header->lpData;
  n.dwBufferLength = header->dwBufferLength;
  const MMResult r = midiOutPrepareHeader(ToHandle(handle), &n, sizeof n);
  slot->preparedFor = r == MMSYSERR_NOERROR ? ToHandle(handle) : nullptr;
  header->dwFlags = n.dwFlags;
  return r;
}

// The header is reused for every output: once the driver is done with it,
// it is unprepared, so that the next output can prepare it afresh.
MMResult WinmmMidiOut::LongMsg(HMidiOut handle, MidiHeader *header, std::uint32_t) {
  if (header == nullptr)
    return MMSYSERR_INVALPARAM;
  auto &slot = NativeFor(header);
  MIDIHDR &n = slot->header;
  const MMResult r = midiOutLongMsg(ToHandle(handle), &n, sizeof n);
  if (r == MMSYSERR_NOERROR) {
    const DWORD start = GetTickCount();
    while ((n.dwFlags & MHDR_DONE) == 0 && GetTickCount() - start < DoneWaitMs)
      ::Sleep(1);
  }
  if (slot->preparedFor != nullptr) {
    midiOutUnprepareHeader(slot->preparedFor, &n, sizeof n);
    slot->preparedFor = nullptr;
  }
  header->dwFlags = n.dwFlags;
  return r;
}

MMResult WinmmMidiOut::Reset(HMidiOut handle) {
  return midiOutReset(ToHandle(handle));
}

void WinmmMidiOut::Sleep(std::uint32_t ms) {
  ::Sleep(ms);
}
