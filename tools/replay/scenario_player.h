#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "runs/scenario.h"

namespace porteka::replay {

using LineSink = std::function<void(std::string_view line)>;

// Plays a checked scenario through the same calls the windows make and hands
// one state line (without newline) to `sink` after the first deal and after
// every event. What only play can reveal (a press off the surface, bombs that
// do not fit the board, the random values running out) throws ScenarioError;
// the lines written until then stay written.
void PlayScenario(const Scenario& scenario, const LineSink& sink);

// The whole tool on a scenario's text: 0 when every line was written, 2 with
// the message in `error` when the scenario asks for what the game cannot do
// or for more memory than there is.
int Replay(std::string_view text, const LineSink& sink, std::string& error, uint32_t maxFrames = kMaxFrames);

}  // namespace porteka::replay
