#include "frontends/linux/GmSynth.h"

#include <fluidsynth.h>

#include <sys/stat.h>

namespace {

bool IsFile(const char *path) {
  struct stat st {};
  return ::stat(path, &st) == 0 && S_ISREG(st.st_mode);
}

// FluidSynth reports every audio driver it fails to open; the failures are
// expected on machines without that sound server and are handled by the caller.
void QuietLogs() {
  static bool done = false;
  if (done)
    return;
  done = true;
  for (int level : {FLUID_ERR, FLUID_WARN, FLUID_INFO, FLUID_DBG})
    fluid_set_log_function(level, nullptr, nullptr);
}

} // namespace

GmSynth::GmSynth() {
  QuietLogs();
  settings_ = new_fluid_settings();
  fluid_settings_setnum(settings_, "synth.sample-rate", SampleRate);
  fluid_settings_setnum(settings_, "synth.gain", 0.6);
  fluid_settings_setint(settings_, "audio.jack.autoconnect", 1);
  fluid_settings_setstr(settings_, "audio.jack.id", "Vellora");
  synth_ = new_fluid_synth(settings_);
}

GmSynth::~GmSynth() {
  if (audio_ != nullptr)
    delete_fluid_audio_driver(audio_);
  if (synth_ != nullptr)
    delete_fluid_synth(synth_);
  if (settings_ != nullptr)
    delete_fluid_settings(settings_);
}

std::string GmSynth::FindSoundFont() {
  static const char *const candidates[] = {
      "/usr/share/sounds/sf2/default-GM.sf2", "/usr/share/sounds/sf2/FluidR3_GM.sf2",
      "/usr/share/sounds/sf2/TimGM6mb.sf2",   "/usr/share/soundfonts/default.sf2",
      "/usr/share/soundfonts/FluidR3_GM.sf2",
  };
  for (const char *path : candidates)
    if (IsFile(path))
      return path;
  return {};
}

bool GmSynth::LoadSoundFont(const std::string &path) {
  return synth_ != nullptr && !path.empty() &&
         fluid_synth_sfload(synth_, path.c_str(), 1) != FLUID_FAILED;
}

bool GmSynth::StartAudio() {
  if (audio_ != nullptr)
    return true;
  // The build's default first, then the common sound servers.
  char *preferred = nullptr;
  fluid_settings_dupstr(settings_, "audio.driver", &preferred);
  const std::string first = preferred != nullptr ? preferred : "";
  fluid_free(preferred);
  for (const std::string &driver : {first, std::string("pipewire"), std::string("pulseaudio"),
                                    std::string("alsa"), std::string("jack")}) {
    if (driver.empty())
      continue;
    if (fluid_settings_setstr(settings_, "audio.driver", driver.c_str()) != FLUID_OK)
      continue;
    audio_ = new_fluid_audio_driver(settings_, synth_);
    if (audio_ != nullptr)
      return true;
  }
  return false;
}

void GmSynth::Send(const std::uint8_t *bytes, std::size_t size) {
  if (synth_ == nullptr || size == 0)
    return;
  const std::uint8_t status = bytes[0];
  if (status == 0xF0) {
    std::size_t end = size;
    if (bytes[end - 1] == 0xF7)
      --end;
    if (end > 1)
      fluid_synth_sysex(synth_, reinterpret_cast<const char *>(bytes + 1),
                        static_cast<int>(end - 1), nullptr, nullptr, nullptr, 0);
    return;
  }
  const int channel = status & 0x0F;
  const int d1 = size > 1 ? bytes[1] : 0;
  const int d2 = size > 2 ? bytes[2] : 0;
  switch (status & 0xF0) {
  case 0x80:
    fluid_synth_noteoff(synth_, channel, d1);
    break;
  case 0x90:
    if (d2 == 0)
      fluid_synth_noteoff(synth_, channel, d1);
    else
      fluid_synth_noteon(synth_, channel, d1, d2);
    break;
  case 0xA0:
    fluid_synth_key_pressure(synth_, channel, d1, d2);
    break;
  case 0xB0:
    fluid_synth_cc(synth_, channel, d1, d2);
    break;
  case 0xC0:
    fluid_synth_program_change(synth_, channel, d1);
    break;
  case 0xD0:
    fluid_synth_channel_pressure(synth_, channel, d1);
    break;
  case 0xE0:
    fluid_synth_pitch_bend(synth_, channel, d1 | (d2 << 7));
    break;
  default:
    break;
  }
}

void GmSynth::AllNotesOff() {
  if (synth_ != nullptr)
    fluid_synth_all_notes_off(synth_, -1);
}

void GmSynth::Render(float *left, float *right, int frames) {
  if (synth_ != nullptr)
    fluid_synth_write_float(synth_, frames, left, 0, 1, right, 0, 1);
}
