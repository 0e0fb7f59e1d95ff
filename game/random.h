#pragma once

#include <cstdint>

namespace porteka {

// The game's one source of chance: bomb placement and the records dialog's
// caption both draw from it, so a records dialog shifts the boards that follow.
class RandomSource {
 public:
  virtual ~RandomSource() = default;
  // A uniform value with 0 <= r < 1. Never 1: a 1 would put a bomb off the board.
  virtual float Next() = 0;
};

// A small linear congruential generator whose every value single precision holds
// exactly, so a seed reproduces a game on any machine and in the replay tool.
class PortableRandom final : public RandomSource {
 public:
  explicit PortableRandom(uint32_t seed) : state_(seed) {}
  float Next() override;
  uint32_t state() const { return state_; }

 private:
  uint32_t state_;
};

// The seed a run starts from: the wall clock, taken once at start-up.
uint32_t ClockSeed();

}  // namespace porteka
