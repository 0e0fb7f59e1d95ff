// What the sound library costs the frame loop: Ctrl+A plays the mark eight
// times in a row inside one key handler, and a cascade plays the opening
// sound for every cell it uncovers.

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

#include "sound/sound_device_status.h"
#include "sound/stools.h"
#include "sound/wave_image.h"

namespace porteka {
namespace {

std::vector<uint8_t> ReadAsset(const char* name) {
  std::ifstream in(std::filesystem::path(PORTEKA_ASSETS_DIR) / name, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void EightPlaysInARow(benchmark::State& state) {
  const auto slot = static_cast<int32_t>(state.range(0));
  for (auto _ : state) {
    for (int i = 0; i < 8; ++i) benchmark::DoNotOptimize(STPlay(slot));
  }
}
BENCHMARK(EightPlaysInARow)->Arg(0)->Arg(1)->Arg(2)->ArgName("cue");

// At start-up: parse, copy and resample the longest sound.
void LoadExplosion(benchmark::State& state) {
  const std::vector<uint8_t> image = ReadAsset("explosion.wav");
  for (auto _ : state) {
    benchmark::DoNotOptimize(STReadBytesChecked(20, image.data(), image.size(), 8));
  }
}
BENCHMARK(LoadExplosion)->Unit(benchmark::kMicrosecond);

void ParseExplosionImage(benchmark::State& state) {
  const std::vector<uint8_t> image = ReadAsset("explosion.wav");
  for (auto _ : state) benchmark::DoNotOptimize(ParseWaveImage(image));
}
BENCHMARK(ParseExplosionImage);

}  // namespace
}  // namespace porteka

int main(int argc, char** argv) {
  // The dummy driver mixes in real time like a sound card, without one.
  setenv("SDL_AUDIODRIVER", "dummy", 1);
  using namespace porteka;
  STInit(0, 0);
  if (WaitForSoundDevice(30000) != SoundDeviceState::kReady) {
    std::fprintf(stderr, "the dummy audio driver did not start\n");
    return 1;
  }
  const char* files[] = {"open.wav", "explosion.wav", "mark.wav"};
  for (int32_t cue = 0; cue < 3; ++cue) {
    const std::vector<uint8_t> image = ReadAsset(files[cue]);
    if (STReadBytesChecked(cue, image.data(), image.size(), 8) != 1) {
      std::fprintf(stderr, "cannot load %s\n", files[cue]);
      return 1;
    }
  }
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
