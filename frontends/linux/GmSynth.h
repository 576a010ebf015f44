// The built-in General MIDI synthesizer: FluidSynth with the system's GM
// SoundFont, playing to the default audio output (or rendering offline).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

struct _fluid_hashtable_t;
struct _fluid_synth_t;
struct _fluid_audio_driver_t;

class GmSynth {
public:
  static constexpr int SampleRate = 44100;

  GmSynth();
  ~GmSynth();
  GmSynth(const GmSynth &) = delete;
  GmSynth &operator=(const GmSynth &) = delete;

  // The first GM SoundFont the distribution installed, or "".
  static std::string FindSoundFont();

  bool LoadSoundFont(const std::string &path);
  // Starts playing to the system's audio output; false when none works.
  bool StartAudio();

  // One channel message, or a whole system-exclusive message F0 ... F7.
  void Send(const std::uint8_t *bytes, std::size_t size);
  void AllNotesOff();
  // Offline rendering, for checks without an audio device.
  void Render(float *left, float *right, int frames);

private:
  _fluid_hashtable_t *settings_ = nullptr;
  _fluid_synth_t *synth_ = nullptr;
  _fluid_audio_driver_t *audio_ = nullptr;
};
