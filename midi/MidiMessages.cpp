#include "midi/MidiMessages.h"

using platform::MidiOut;

platform::HMidiOut MidiOutHandle = 0;
std::int32_t CurrentNote = 0;
std::int32_t CurrentProgram = 1;

const std::array<std::uint8_t, 11> GsResetMessage = {0xF0, 0x41, 0x10, 0x42, 0x12, 0x40,
                                                     0x00, 0x7F, 0x00, 0x41, 0xF7};
platform::MidiHeader GsResetHeader{};

void InitMidiMessages() {
  MidiOutHandle = 0;
  CurrentNote = 0;
  CurrentProgram = 1;
  GsResetHeader = platform::MidiHeader{};
}

void NoteOn() {
  const auto program = static_cast<std::uint32_t>(CurrentProgram - 1);
  MidiOut().ShortMsg(MidiOutHandle, program * 256 + 0xC0);
  const auto note = static_cast<std::uint32_t>(CurrentNote);
  MidiOut().ShortMsg(MidiOutHandle, 0x640000 + note * 256 + 0x90);
}

void NoteOff() {
  const auto note = static_cast<std::uint32_t>(CurrentNote);
  MidiOut().ShortMsg(MidiOutHandle, 0x7F0080 + note * 256);
}

void SendGsReset(std::uint32_t waitMs) {
  // The driver only reads the buffer.
  GsResetHeader.lpData =
      reinterpret_cast<char *>(const_cast<std::uint8_t *>(GsResetMessage.data()));
  GsResetHeader.dwBufferLength = static_cast<std::uint32_t>(GsResetMessage.size());
  MidiOut().PrepareHeader(MidiOutHandle, &GsResetHeader, sizeof GsResetHeader);
  MidiOut().LongMsg(MidiOutHandle, &GsResetHeader, sizeof GsResetHeader);
  MidiOut().Sleep(waitMs);
}
