#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "game/game.h"

namespace porteka::replay {

using BombCell = std::pair<int16_t, int16_t>;

// A board to deal: a level (or the current one), its size for a custom level,
// and the bombs when it is laid by hand. What the level's size really is can
// only be checked against the game at the moment of the deal.
struct DealSpec {
  std::optional<Level> level;
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

// The most frames a whole scenario may run, "frame", "frames" and "poll" events
// together: every frame's drawing goes into the dump, so this bounds the time
// and the bytes a scenario can cost.
inline constexpr uint32_t kMaxFrames = 1000000;

// A scenario nests five deep at most (the bombs' pairs), and a long one holds a
// few tens of thousands of values. Anything deeper or larger is refused before
// it is parsed, so no memory goes into it.
inline constexpr int kMaxNesting = 8;
inline constexpr size_t kMaxValues = 250000;
// Every event writes a line of about five kilobytes.
inline constexpr size_t kMaxEvents = 20000;

// Reads and checks a scenario. Everything that can be checked without playing
// is checked here; throws ScenarioError.
Scenario ParseScenario(std::string_view text, uint32_t maxFrames = kMaxFrames);

}  // namespace porteka::replay
