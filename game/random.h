#pragma once

#include <cstdint>
#include <optional>
#include <stdexcept>
#include <utility>
#include <vector>

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

// A list of values that has no value left to give.
class RandomRanOut : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Chance as a test or a replay scenario sets it: a list of values handed out in
// order, or the portable generator from a seed, counting every draw. A list
// that runs out throws RandomRanOut rather than make a value up.
class ScriptedRandom final : public RandomSource {
 public:
  explicit ScriptedRandom(std::vector<float> values) : values_(std::move(values)) {}
  static ScriptedRandom Seeded(uint32_t seed) {
    ScriptedRandom random(std::vector<float>{});
    random.generator_.emplace(seed);
    return random;
  }
  float Next() override;
  uint64_t draws() const { return draws_; }

 private:
  std::optional<PortableRandom> generator_;
  std::vector<float> values_;
  uint64_t draws_ = 0;
};

}  // namespace porteka
