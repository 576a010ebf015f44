// How long a key press takes from the mouse event to the bytes handed to the
// MIDI driver, in-process: the form layer's hit test, the key handler and the
// two short messages, with a driver that only counts what it is given.
#include "platform/HeadlessBackend.h"
#include "platform/MidiOutService.h"
#include "ui/vellUnit1.h"
#include "vellProject1.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <vector>

namespace {

class CountingMidiOut final : public platform::MidiOutService {
public:
  std::uint64_t messages = 0;
  std::chrono::steady_clock::time_point noteOnAt; // when the last Note On was handed over
  std::uint32_t GetNumDevs() override { return 1; }
  platform::MMResult GetDevCaps(std::uintptr_t, platform::MidiOutCaps *caps,
                                std::uint32_t) override {
    *caps = platform::MidiOutCaps{};
    caps->szPname[0] = 'S';
    return 0;
  }
  platform::MMResult Open(platform::HMidiOut *h, std::uint32_t, std::uintptr_t, std::uintptr_t,
                          std::uint32_t) override {
    *h = 1;
    return 0;
  }
  platform::MMResult Close(platform::HMidiOut) override { return 0; }
  platform::MMResult ShortMsg(platform::HMidiOut, std::uint32_t word) override {
    if ((word & 0xF0) == 0x90)
      noteOnAt = std::chrono::steady_clock::now();
    ++messages;
    return 0;
  }
  platform::MMResult PrepareHeader(platform::HMidiOut, platform::MidiHeader *,
                                   std::uint32_t) override {
    return 0;
  }
  platform::MMResult LongMsg(platform::HMidiOut, platform::MidiHeader *, std::uint32_t) override {
    return 0;
  }
  platform::MMResult Reset(platform::HMidiOut) override { return 0; }
  void Sleep(std::uint32_t) override {}
};

CountingMidiOut midi;
platform::HeadlessBackend *backend = nullptr;

// One press of C4 (the pointer on the white key, below the black ones) and its
// release. The sample is the time from the press to the Note On reaching the
// driver; the headless backend's repaint of the key comes after and is not
// counted, as a real window paints later, from its message loop.
void BM_PressToDriver(benchmark::State &state) {
  std::vector<double> samples;
  samples.reserve(1 << 20);
  for (auto _ : state) {
    const auto t0 = std::chrono::steady_clock::now();
    backend->Press(*Form1, platform::MouseButton::Left, 103, 100);
    samples.push_back(std::chrono::duration<double, std::nano>(midi.noteOnAt - t0).count());
    backend->Release(*Form1, platform::MouseButton::Left, 103, 100);
  }
  std::sort(samples.begin(), samples.end());
  state.counters["press_p50_ns"] = samples[samples.size() / 2];
  state.counters["press_p99_ns"] = samples[samples.size() * 99 / 100];
  state.counters["messages"] = static_cast<double>(midi.messages);
}
BENCHMARK(BM_PressToDriver)->Unit(benchmark::kNanosecond);

} // namespace

int main(int argc, char **argv) {
  benchmark::Initialize(&argc, argv);
  const auto dir = std::filesystem::temp_directory_path() / "vellora-bench";
  std::filesystem::create_directories(dir);
  platform::HeadlessBackend headless((dir / "Vellora").string());
  backend = &headless;
  platform::SetMidiOut(&midi);
  headless.SetScript([](platform::HeadlessBackend &) { benchmark::RunSpecifiedBenchmarks(); });
  RunVellora(headless);
  benchmark::Shutdown();
  return 0;
}
