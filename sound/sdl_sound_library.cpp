// The sound library on SDL2_mixer. Each slot owns a fixed run of mixer
// channels, one per voice, so plays of one cue never steal another cue's
// voices and a burst of plays of one cue overlaps up to its voice count.
// Copies of a cue started in the same mixing pass are turned down together
// (LockstepVolume), or a big cascade would clip into a buzz.

#include <SDL2/SDL.h>
#include <SDL2/SDL_mixer.h>
#include <dlfcn.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstring>
#include <mutex>
#include <new>
#include <thread>
#include <vector>

#include "sound/sound_device_status.h"
#include "sound/stools.h"
#include "sound/voice_picker.h"
#include "sound/wave_image.h"

namespace porteka {
namespace {

constexpr int kOutputRate = 44100;
constexpr Uint16 kOutputFormat = AUDIO_S16SYS;
constexpr int kOutputChannels = 2;
constexpr int kOutputBufferFrames = 1024;  // about 23 ms: well inside one 33 ms frame

// Opening a device normally takes a few milliseconds, but a sound server that
// accepts the connection and never answers would hold SDL for half a minute.
// The device is therefore opened on a thread of its own, and STInit waits for
// it only this long.
constexpr auto kStartWait = std::chrono::milliseconds(250);

struct Slot {
  WaveFormat format;
  std::vector<uint8_t> source;  // the image's samples, until the device can take them
  std::vector<uint8_t> mixed;   // the samples in the device's format, owned here for the chunk
  Mix_Chunk* chunk = nullptr;
  int voices = 0;
  int firstChannel = 0;
  int channelCapacity = 0;
  std::array<uint64_t, kMaxVoicesPerSlot> startedAt{};
  std::array<uint64_t, kMaxVoicesPerSlot> startedInPass{};
};

struct Library {
  std::mutex mutex;  // the slots and the mixer, shared with the start-up thread
  std::condition_variable stateChanged;
  std::atomic<SoundDeviceState> state{SoundDeviceState::kOff};
  std::array<Slot, kSoundSlotCount> slots;
  int channelsInUse = 0;
  uint64_t playCount = 0;
  std::atomic<uint64_t> mixPasses{0};  // counted by SDL's mixing thread
};

// Never destroyed: SDL's mixing thread, and a start-up thread still stuck in a
// silent sound server, may use it while the program exits.
Library& TheLibrary() {
  static Library* const library = new Library;
  return *library;
}

bool SlotInRange(int32_t slot) { return slot >= 0 && slot < kSoundSlotCount; }

void IgnoreSdlLog(void*, int, SDL_LogPriority, const char*) {}

void IgnoreAlsaMessage(const char*, int, const char*, int, const char*, ...) {}

// alsa-lib prints its complaints (no sound card, say) straight to stderr.
// SDL loads it by this very name, so a handler set here holds for SDL too.
void SilenceAlsaMessages() {
  void* alsa = dlopen("libasound.so.2", RTLD_NOW | RTLD_LOCAL);
  if (alsa == nullptr) return;
  using Handler = void (*)(const char*, int, const char*, int, const char*, ...);
  using SetHandler = int (*)(Handler);
  void* symbol = dlsym(alsa, "snd_lib_error_set_handler");
  if (symbol == nullptr) return;
  SetHandler setHandler;
  std::memcpy(&setHandler, &symbol, sizeof setHandler);
  setHandler(&IgnoreAlsaMessage);
  // Left loaded on purpose: unloading would drop the handler before SDL opens it.
}

void ClearSlot(Slot& slot) {
  if (slot.chunk != nullptr) Mix_FreeChunk(slot.chunk);  // also stops its voices
  slot.chunk = nullptr;
  slot.mixed = {};
  slot.source = {};
}

std::vector<uint8_t> ConvertForDevice(const WaveFormat& from, const std::vector<uint8_t>& samples) {
  int rate = 0;
  int channels = 0;
  Uint16 format = 0;
  if (Mix_QuerySpec(&rate, &format, &channels) == 0) return {};
  const SDL_AudioFormat sourceFormat = from.bitsPerSample == 8 ? AUDIO_U8 : AUDIO_S16LSB;
  SDL_AudioStream* stream = SDL_NewAudioStream(sourceFormat, static_cast<Uint8>(from.channels),
                                               static_cast<int>(from.sampleRate), format,
                                               static_cast<Uint8>(channels), rate);
  if (stream == nullptr) return {};
  std::vector<uint8_t> out;
  if (SDL_AudioStreamPut(stream, samples.data(), static_cast<int>(samples.size())) == 0 &&
      SDL_AudioStreamFlush(stream) == 0) {
    const int frameBytes = channels * static_cast<int>(SDL_AUDIO_BITSIZE(format)) / 8;
    int bytes = SDL_AudioStreamAvailable(stream);
    bytes -= bytes % std::max(frameBytes, 1);
    out.resize(static_cast<std::size_t>(std::max(bytes, 0)));
    const int got = SDL_AudioStreamGet(stream, out.data(), bytes);
    out.resize(static_cast<std::size_t>(std::max(got, 0)));
  }
  SDL_FreeAudioStream(stream);
  return out;
}

// Turns a loaded slot into something the mixer can play. Device open, lock held.
bool RealiseSlot(Library& library, Slot& slot) {
  slot.mixed = ConvertForDevice(slot.format, slot.source);
  slot.source = {};
  if (slot.mixed.empty()) return false;
  if (slot.channelCapacity < slot.voices) {
    const int first = library.channelsInUse;
    if (Mix_AllocateChannels(first + slot.voices) < first + slot.voices) return false;
    library.channelsInUse = first + slot.voices;
    slot.firstChannel = first;
    slot.channelCapacity = slot.voices;
  }
  slot.chunk = Mix_QuickLoad_RAW(slot.mixed.data(), static_cast<Uint32>(slot.mixed.size()));
  slot.startedAt = {};
  slot.startedInPass = {};
  return slot.chunk != nullptr;
}

void CountMixPass(void* library, Uint8*, int) {
  static_cast<Library*>(library)->mixPasses.fetch_add(1, std::memory_order_relaxed);
}

void StartDevice(Library& library) {
  // Without this SDL takes over Ctrl+C and termination signals and turns them
  // into events nobody reads, and the game could no longer be stopped.
  SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
  SDL_SetHint(SDL_HINT_APP_NAME, "ポルテカ");
  SDL_LogSetOutputFunction(&IgnoreSdlLog, nullptr);
  SilenceAlsaMessages();
  const bool open = SDL_InitSubSystem(SDL_INIT_AUDIO) == 0 &&
                    Mix_OpenAudioDevice(kOutputRate, kOutputFormat, kOutputChannels, kOutputBufferFrames,
                                        nullptr,
                                        SDL_AUDIO_ALLOW_FREQUENCY_CHANGE | SDL_AUDIO_ALLOW_CHANNELS_CHANGE) == 0;
  std::lock_guard lock(library.mutex);
  if (open) {
    Mix_AllocateChannels(0);
    Mix_SetPostMix(&CountMixPass, &library);
    // Sounds loaded while we were starting wait in their source form.
    for (Slot& slot : library.slots) {
      if (!slot.source.empty() && !RealiseSlot(library, slot)) ClearSlot(slot);
    }
    library.state = SoundDeviceState::kReady;
  } else {
    for (Slot& slot : library.slots) slot.source = {};
    library.state = SoundDeviceState::kMute;
  }
  library.stateChanged.notify_all();
}

}  // namespace

int32_t STInit(int32_t /*windowHandle*/, int32_t /*reserved*/) {
  Library& library = TheLibrary();
  std::unique_lock lock(library.mutex);
  if (library.state != SoundDeviceState::kOff) return library.state == SoundDeviceState::kReady ? 1 : 0;
  library.state = SoundDeviceState::kStarting;
  try {
    std::thread(StartDevice, std::ref(library)).detach();
  } catch (...) {
    library.state = SoundDeviceState::kMute;
    return 0;
  }
  library.stateChanged.wait_for(lock, kStartWait, [&] { return library.state != SoundDeviceState::kStarting; });
  return library.state == SoundDeviceState::kReady ? 1 : 0;
}

// STReadBytes is handed no length: it takes the image's length from its RIFF
// header and trusts it. The game's own loader knows the resource's size and
// calls the checked entry instead, which never reads past it.
int32_t STReadBytes(int32_t slot, const uint8_t* image, int32_t count) {
  if (image == nullptr) return 0;
  const std::optional<std::size_t> length = RiffImageLength(std::span<const uint8_t>(image, 8));
  if (!length) return 0;
  return STReadBytesChecked(slot, image, *length, count);
}

int32_t STReadBytesChecked(int32_t slot, const uint8_t* image, std::size_t available, int32_t count) {
  Library& library = TheLibrary();
  if (!SlotInRange(slot) || image == nullptr) return 0;
  std::lock_guard lock(library.mutex);
  const SoundDeviceState state = library.state;
  if (state != SoundDeviceState::kStarting && state != SoundDeviceState::kReady) return 0;
  Slot& target = library.slots[static_cast<std::size_t>(slot)];
  ClearSlot(target);
  const std::optional<WaveSound> wave = ParseWaveImage(std::span<const uint8_t>(image, available));
  if (!wave) return 0;
  target.format = wave->format;
  target.voices = std::clamp(count, int32_t{1}, kMaxVoicesPerSlot);
  try {
    target.source.assign(wave->samples.begin(), wave->samples.end());
  } catch (const std::bad_alloc&) {
    ClearSlot(target);
    return 0;
  }
  if (state == SoundDeviceState::kStarting) return 1;
  if (RealiseSlot(library, target)) return 1;
  ClearSlot(target);
  return 0;
}

int32_t STPlay(int32_t slot) {
  Library& library = TheLibrary();
  if (!SlotInRange(slot) || library.state.load() != SoundDeviceState::kReady) return 0;
  std::lock_guard lock(library.mutex);
  Slot& source = library.slots[static_cast<std::size_t>(slot)];
  if (source.chunk == nullptr) return 0;
  const auto voiceCount = static_cast<std::size_t>(source.voices);
  std::array<VoiceState, kMaxVoicesPerSlot> voices;
  for (std::size_t i = 0; i < voiceCount; ++i) {
    voices[i] = {Mix_Playing(source.firstChannel + static_cast<int>(i)) != 0, source.startedAt[i]};
  }
  const std::size_t voice = PickVoice(std::span(voices.data(), voiceCount));

  // Plays that no mixing pass has separated will sound in step with this one.
  const uint64_t pass = library.mixPasses.load(std::memory_order_relaxed);
  std::array<int, kMaxVoicesPerSlot> inStep;
  std::size_t inStepCount = 0;
  for (std::size_t i = 0; i < voiceCount; ++i) {
    if (i != voice && voices[i].playing && source.startedInPass[i] == pass) {
      inStep[inStepCount++] = source.firstChannel + static_cast<int>(i);
    }
  }
  const int channel = source.firstChannel + static_cast<int>(voice);
  const int volume = LockstepVolume(static_cast<int>(inStepCount) + 1, MIX_MAX_VOLUME);
  for (std::size_t i = 0; i < inStepCount; ++i) Mix_Volume(inStep[i], volume);
  Mix_Volume(channel, volume);
  if (Mix_PlayChannel(channel, source.chunk, 0) < 0) return 0;
  source.startedAt[voice] = ++library.playCount;
  source.startedInPass[voice] = pass;
  return 1;
}

SoundDeviceState CurrentSoundDeviceState() { return TheLibrary().state; }

SoundDeviceState WaitForSoundDevice(int32_t timeoutMs) {
  Library& library = TheLibrary();
  std::unique_lock lock(library.mutex);
  library.stateChanged.wait_for(lock, std::chrono::milliseconds(std::max(timeoutMs, int32_t{0})),
                                [&] { return library.state != SoundDeviceState::kStarting; });
  return library.state;
}

int32_t SoundVoicesPlaying(int32_t slot) {
  Library& library = TheLibrary();
  if (!SlotInRange(slot) || library.state.load() != SoundDeviceState::kReady) return 0;
  std::lock_guard lock(library.mutex);
  const Slot& source = library.slots[static_cast<std::size_t>(slot)];
  if (source.chunk == nullptr) return 0;
  int32_t playing = 0;
  for (int i = 0; i < source.voices; ++i) playing += Mix_Playing(source.firstChannel + i) != 0 ? 1 : 0;
  return playing;
}

}  // namespace porteka
