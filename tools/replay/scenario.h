#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace porteka::replay {

using BombCell = std::pair<int16_t, int16_t>;

// A board to deal: a level (or the current one), its size for a custom level,
// and the bombs when it is laid by hand. What the level's size really is can
// only be checked against the game at the moment of the deal.
struct DealSpec {
  std::optional<int16_t> level;
  std::optional<int16_t> width;
  std::optional<int16_t> height;
  std::optional<int16_t> bombCount;
  std::optional<std::vector<BombCell>> bombs;
};

enum class EventKind { MouseDown, MouseMove, DblClick, Key, Frame, Frames, Poll, StartGame, SetLevel, Layout };

struct Event {
  EventKind kind = EventKind::Frame;
  std::string name;  // the scenario's "do", echoed in the dump
  int16_t button = 0;
  int16_t shift = 0;
  int16_t keyCode = 0;
  float x = 0;  // already rounded to single precision, as the platform hands positions over
  float y = 0;
  uint32_t count = 0;  // frames
  uint32_t now = 0;    // poll
  DealSpec deal;       // setlevel, layout
};

// Where the random deals draw from: a list handed out in order, the portable
// generator from a seed, or nothing at all (then a random deal is an error).
struct RandomSpec {
  std::optional<uint32_t> seed;
  std::optional<std::vector<float>> values;
};

struct Scenario {
  DealSpec first;  // no level: the start-up state, no board
  RandomSpec random;
  std::vector<Event> events;
};

// The most frames one "frames" event may ask for: every frame's drawing is held
// until the event's line is written.
inline constexpr uint32_t kMaxFramesPerEvent = 1000000;

// Reads and checks a scenario. Everything that can be checked without playing
// is checked here; throws ScenarioError.
Scenario ParseScenario(std::string_view text, uint32_t maxFramesPerEvent = kMaxFramesPerEvent);

}  // namespace porteka::replay
