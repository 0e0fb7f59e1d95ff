#include "tools/replay/scripted_random.h"

#include <string>

#include "tools/replay/scenario_error.h"

namespace porteka::replay {

ScriptedRandom::ScriptedRandom(const RandomSpec& spec) {
  if (spec.seed) generator_.emplace(*spec.seed);
  if (spec.values) {
    values_ = *spec.values;
    listed_ = true;
  }
}

float ScriptedRandom::Next() {
  if (generator_) {
    ++draws_;
    return generator_->Next();
  }
  if (!listed_) throw ScenarioError("a random deal needs \"seed\" or \"random\"");
  if (draws_ >= values_.size()) {
    throw ScenarioError("ran out of random values after " + std::to_string(values_.size()));
  }
  return values_[draws_++];
}

}  // namespace porteka::replay
