#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "game/random.h"
#include "tools/replay/scenario.h"

namespace porteka::replay {

// The scenario's chance: its list of values in order, or the portable generator
// from its seed. Never reseeded; counts what it has handed out.
class ScriptedRandom final : public RandomSource {
 public:
  explicit ScriptedRandom(const RandomSpec& spec);
  float Next() override;  // throws ScenarioError when the scenario has no value left
  uint64_t draws() const { return draws_; }

 private:
  std::optional<PortableRandom> generator_;
  std::vector<float> values_;
  bool listed_ = false;
  uint64_t draws_ = 0;
};

}  // namespace porteka::replay
