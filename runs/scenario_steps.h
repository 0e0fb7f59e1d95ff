#pragma once

#include "game/game.h"
#include "game/random.h"
#include "game/canvas.h"
#include "runs/scenario.h"
#include "runs/scenario_error.h"

namespace porteka::replay {

// A board dealt as the menus deal it: at random from the game's chance, or
// by hand. What the level's size really is can only be checked here, against
// the game; throws ScenarioError.
void Deal(Game& game, const DealSpec& deal);

// One event through the same calls the windows make. What only play can
// reveal (a press off the surface, bombs that do not fit the board) throws
// ScenarioError; a random list that runs out throws RandomRanOut.
void PlayEvent(Game& game, Canvas& canvas, const Event& event);

// The scenario's chance: its list, or the generator from its seed. With
// neither, the list is empty and the first random deal finds it so.
ScriptedRandom ChanceOf(const RandomSpec& spec);

// The scenario's first board, if it has one, on a game in its start-up
// state; and its event `i` (from 0). The errors say where they arose.
void DealFirst(Game& game, const Scenario& scenario);
void PlayEventOf(Game& game, Canvas& canvas, const Scenario& scenario, size_t i);

// A step of the scenario, with a random list that runs out made an error of the scenario's.
template <typename Step>
void Checked(const RandomSpec& spec, Step step) {
  try {
    step();
  } catch (const RandomRanOut& e) {
    if (!spec.seed && !spec.values) throw ScenarioError("a random deal needs \"seed\" or \"random\"");
    throw ScenarioError(e.what());
  }
}

}  // namespace porteka::replay
