#include "tools/replay/scenario_player.h"

#include <memory>
#include <new>
#include <string>

#include "game/game.h"
#include "game/game_flow.h"
#include "game/random.h"
#include "render/frame.h"
#include "runs/scenario_steps.h"
#include "tools/replay/recorder.h"
#include "tools/replay/state_line.h"

namespace porteka::replay {

void PlayScenario(const Scenario& scenario, const LineSink& sink) {
  Recorder recorder;
  ScriptedRandom random = ChanceOf(scenario.random);
  auto game = std::make_unique<Game>(random, recorder);
  recorder.Attach(*game);

  LoadGame(*game);
  EnterLoop(game->loop, 0);
  DealFirst(*game, scenario);
  sink(StateLine(0, "init", *game, recorder, random.draws()));

  for (size_t i = 0; i < scenario.events.size(); ++i) {
    recorder.BeginEvent();
    PlayEventOf(*game, recorder, scenario, i);
    sink(StateLine(i + 1, scenario.events[i].name, *game, recorder, random.draws()));
  }
}

int Replay(std::string_view text, const LineSink& sink, std::string& error, uint32_t maxFrames) {
  try {
    PlayScenario(ParseScenario(text, maxFrames), sink);
    return 0;
  } catch (const ScenarioError& e) {
    error = e.what();
  } catch (const std::bad_alloc&) {
    error = "out of memory: the scenario is too large to play";
  }
  return 2;
}

}  // namespace porteka::replay
