#include "game/random.h"

#include <chrono>
#include <string>

namespace porteka {

float PortableRandom::Next() {
  state_ = 1664525u * state_ + 1013904223u;
  // The top 24 bits over 2^24: at most (2^24 - 1) / 2^24, which is below 1 and exact in a float.
  return static_cast<float>(state_ >> 8) * (1.0f / 16777216.0f);
}

float ScriptedRandom::Next() {
  if (generator_) {
    ++draws_;
    return generator_->Next();
  }
  if (draws_ >= values_.size()) throw RandomRanOut("ran out of random values after " + std::to_string(values_.size()));
  return values_[draws_++];
}

uint32_t ClockSeed() {
  const auto now = std::chrono::system_clock::now().time_since_epoch();
  const auto micros = std::chrono::duration_cast<std::chrono::microseconds>(now).count();
  return static_cast<uint32_t>(micros) ^ static_cast<uint32_t>(micros >> 32);
}

}  // namespace porteka
