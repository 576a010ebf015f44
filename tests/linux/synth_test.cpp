// The built-in synthesizer, rendered offline: a GS Reset, program 0 and C4
// must sound at C4's pitch and fall silent after the Note Off.
#include "frontends/linux/GmSynth.h"
#include "frontends/linux/LinuxMidiOut.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace {

std::vector<float> Render(GmSynth &synth, double seconds) {
  const int frames = static_cast<int>(seconds * GmSynth::SampleRate);
  std::vector<float> left(static_cast<std::size_t>(frames)), right(left.size());
  synth.Render(left.data(), right.data(), frames);
  for (std::size_t i = 0; i < left.size(); ++i)
    left[i] = 0.5f * (left[i] + right[i]);
  return left;
}

double Rms(const std::vector<float> &s, std::size_t from, std::size_t to) {
  double sum = 0;
  for (std::size_t i = from; i < to; ++i)
    sum += double(s[i]) * s[i];
  return std::sqrt(sum / double(to - from));
}

// Fundamental by autocorrelation: the shortest lag whose correlation comes
// close to the best one, so the octave below does not win.
double Pitch(const std::vector<float> &s, std::size_t from, std::size_t length) {
  const int minLag = GmSynth::SampleRate / 1000, maxLag = GmSynth::SampleRate / 60;
  std::vector<double> r(static_cast<std::size_t>(maxLag + 1), 0.0);
  double best = 0;
  for (int lag = minLag; lag <= maxLag; ++lag) {
    double a = 0, e1 = 0, e2 = 0;
    for (std::size_t i = from; i < from + length; ++i) {
      a += double(s[i]) * s[i + std::size_t(lag)];
      e1 += double(s[i]) * s[i];
      e2 += double(s[i + std::size_t(lag)]) * s[i + std::size_t(lag)];
    }
    r[std::size_t(lag)] = a / std::sqrt(e1 * e2 + 1e-30);
    best = std::max(best, r[std::size_t(lag)]);
  }
  for (int lag = minLag + 1; lag < maxLag; ++lag) {
    const double v = r[std::size_t(lag)];
    if (v >= 0.9 * best && v >= r[std::size_t(lag - 1)] && v >= r[std::size_t(lag + 1)]) {
      // Parabolic interpolation around the peak.
      const double a = r[std::size_t(lag - 1)], c = r[std::size_t(lag + 1)];
      const double shift = 0.5 * (a - c) / (a - 2 * v + c);
      return GmSynth::SampleRate / (lag + shift);
    }
  }
  return 0;
}

TEST(GmSynth, PlaysC4AtItsPitchAfterAGsResetAndFallsSilent) {
  const std::string soundFont = GmSynth::FindSoundFont();
  ASSERT_FALSE(soundFont.empty()) << "no GM SoundFont installed";
  GmSynth synth;
  ASSERT_TRUE(synth.LoadSoundFont(soundFont));
  const std::uint8_t gsReset[] = {0xF0, 0x41, 0x10, 0x42, 0x12, 0x40, 0x00, 0x7F, 0x00, 0x41, 0xF7};
  const std::uint8_t program[] = {0xC0, 0x00};
  const std::uint8_t noteOn[] = {0x90, 60, 100};
  const std::uint8_t noteOff[] = {0x80, 60, 127};
  synth.Send(gsReset, sizeof gsReset);
  EXPECT_LT(Rms(Render(synth, 0.1), 0, 4410), 1e-6); // nothing sounds yet

  synth.Send(program, sizeof program);
  synth.Send(noteOn, sizeof noteOn);
  const std::vector<float> held = Render(synth, 1.0);
  EXPECT_GT(Rms(held, 4410, 30000), 0.01);
  const double f = Pitch(held, 8820, 8820); // 0.2 s to 0.4 s
  EXPECT_NEAR(f, 261.63, 261.63 * 0.01) << "heard " << f << " Hz";

  synth.Send(noteOff, sizeof noteOff);
  const std::vector<float> after = Render(synth, 3.0);
  EXPECT_LT(Rms(after, after.size() - 22050, after.size()), 1e-4);
}

TEST(GmSynth, AllNotesOffSilencesEveryChannel) {
  GmSynth synth;
  ASSERT_TRUE(synth.LoadSoundFont(GmSynth::FindSoundFont()));
  for (std::uint8_t ch = 0; ch < 16; ++ch) {
    const std::uint8_t on[] = {static_cast<std::uint8_t>(0x90 | ch), 64, 100};
    synth.Send(on, sizeof on);
  }
  EXPECT_GT(Rms(Render(synth, 0.3), 0, 13230), 0.01);
  synth.AllNotesOff();
  const std::vector<float> after = Render(synth, 3.0);
  EXPECT_LT(Rms(after, after.size() - 22050, after.size()), 1e-4);
}

TEST(LinuxMidiOut, TheBuiltInSynthIsAlwaysDeviceZero) {
  LinuxMidiOut midi;
  ASSERT_GE(midi.GetNumDevs(), 1u);
  platform::MidiOutCaps caps{};
  ASSERT_EQ(midi.GetDevCaps(0, &caps, sizeof caps), 0u);
  EXPECT_STREQ(caps.szPname, LinuxMidiOut::SynthName);
  EXPECT_EQ(midi.GetDevCaps(midi.GetNumDevs(), &caps, sizeof caps), platform::mmr::BadDeviceId);
  platform::HMidiOut h = 77;
  EXPECT_EQ(midi.Open(&h, midi.GetNumDevs(), 0, 0, 0), platform::mmr::BadDeviceId);
  EXPECT_EQ(h, 0u);
  EXPECT_EQ(midi.ShortMsg(0, 0x90), platform::mmr::InvalHandle);
  EXPECT_EQ(midi.Close(0), platform::mmr::InvalHandle);
}

TEST(LinuxMidiOut, NamesAreCutToTheFieldWithoutSplittingACharacter) {
  EXPECT_EQ(LinuxMidiOut::FitName("short"), "short");
  EXPECT_EQ(LinuxMidiOut::FitName(std::string(40, 'a')), std::string(32, 'a'));
  // 31 ASCII bytes then a 3-byte character: the character goes whole.
  EXPECT_EQ(LinuxMidiOut::FitName(std::string(31, 'a') + "音源"), std::string(31, 'a'));
  EXPECT_EQ(LinuxMidiOut::FitName(std::string(29, 'a') + "音源"), std::string(29, 'a') + "音");
}

} // namespace
