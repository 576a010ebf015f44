// What the program puts on the MIDI wire: the note and program state left by
// the keys and the program bar, the note routines and the GS Reset.
#pragma once

#include "platform/MidiOutService.h"

#include <array>
#include <cstdint>

extern platform::HMidiOut MidiOutHandle;
extern std::int32_t CurrentNote;
extern std::int32_t CurrentProgram; // the program bar's position, 1 to 127

extern const std::array<std::uint8_t, 11> GsResetMessage;
extern platform::MidiHeader GsResetHeader;

inline constexpr std::uint32_t AllSoundOffWord = 0x78B9; // B9 78 00, channel 10

// Start values for a new run.
void InitMidiMessages();

void NoteOn();  // Program Change (CurrentProgram - 1), then Note On velocity 100
void NoteOff(); // Note Off velocity 127
void SendGsReset(std::uint32_t waitMs);
