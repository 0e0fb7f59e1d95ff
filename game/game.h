#pragma once

#include <array>
#include <cstdint>

#include "game/outside.h"
#include "game/random.h"

namespace porteka {

// The board arrays are always 32 x 32, whatever the board's size.
inline constexpr int kArraySide = 32;
inline constexpr int kCellSize = 16;
inline constexpr int kOpenEffectSlots = 1025;
inline constexpr int kExplosionSlots = 257;

// A game's level: the fixed ones take their size and bombs from the level
// table, custom from the custom board dialog. Any other value is custom too.
enum class Level : int16_t { Beginner = 0, Intermediate = 1, Advanced = 2, Custom = 4 };

// Game-wide settings: every run starts at intermediate, nothing is stored.
struct Settings {
  int16_t BombCount = 0;
  int16_t BoardWidth = 0;
  int16_t BoardHeight = 0;
  int32_t ElapsedTime = 0;  // frames of the play clock, shown as 30 a second
  Level GameLevel = Level::Beginner;

  bool OnBoard(int x, int y) const { return x >= 0 && x < BoardWidth && y >= 0 && y < BoardHeight; }
};

// Where ApplyLevel puts things, in pixels of the window's interior.
struct Layout {
  int16_t boardLeft = 0;
  int16_t boardTop = 25;
  int16_t boardWidth = 256;
  int16_t boardHeight = 256;
  int16_t interiorWidth = 256;
  int16_t interiorHeight = 281;
  int16_t counterLeft = 0;  // the 257-pixel counter strip, centred
  int16_t faceLeft = 116;   // the 24-pixel face button, centred
};

// The cell contents beyond the neighbour counts 0 to 8.
inline constexpr uint8_t kBomb = 9;
inline constexpr uint8_t kInnerRubble = 10;
inline constexpr uint8_t kOuterRubble = 11;

// What lies over a cell. The right button cycles covered, flag, second mark;
// the keys set and clear the keyboard mark. The cell sheet holds the covers
// from Covered on, in this order.
enum class Cover : uint8_t { Open = 0, Covered = 1, Flag = 2, SecondMark = 3, KeyboardMark = 4 };

// Where a game stands. The clock runs only while Running; a move still works
// when it is Over, and the first call of any move ends Waiting.
enum class GamePhase : int16_t { Waiting = -1, Running = 0, Over = 1 };

// The board in play: what each cell holds and what lies over it, the covered
// cells the win test counts, the bombs counter and where the game stands.
struct Board {
  std::array<uint8_t, kArraySide * kArraySide> CellValue{};
  std::array<Cover, kArraySide * kArraySide> CellState{};
  int16_t CoveredCount = 0;
  GamePhase GameState = GamePhase::Over;  // Over too before the first board
  int16_t BombsLeft = 0;

  // Cells are stored column-fastest. Positions can lie past the arrays (a press
  // at 511.5 rounds to column 32): such a cell reads as open and is never written.
  static bool InArrays(int x, int y) { return x >= 0 && x < kArraySide && y >= 0 && y < kArraySide; }
  uint8_t& Value(int x, int y) { return CellValue[x + kArraySide * y]; }
  uint8_t ValueAt(int x, int y) const { return CellValue[x + kArraySide * y]; }
  Cover& State(int x, int y) { return CellState[x + kArraySide * y]; }
  Cover StateAt(int x, int y) const { return InArrays(x, y) ? CellState[x + kArraySide * y] : Cover::Open; }
};

// The selected cell, as the pixel of the last press (moved by the arrows), and
// the buttons held at the last pointer move.
struct Pointer {
  int16_t PointerX = 0;
  int16_t PointerY = 0;
  int16_t LastButton = 0;

  int CellX() const { return PointerX >> 4; }
  int CellY() const { return PointerY >> 4; }
};

// An opening flash or an explosion. Phase 0 marks a free slot; X and Y are the
// sprite's top left on the board surface and may be negative at the edges.
struct EffectRecord {
  uint8_t Phase = 0;
  int16_t X = 0;
  int16_t Y = 0;
};

// The effects in flight, each pool walked in slot order every frame.
struct EffectPools {
  std::array<EffectRecord, kOpenEffectSlots> OpenEffects{};
  std::array<EffectRecord, kExplosionSlots> Explosions{};

  void Clear() {
    OpenEffects.fill({});
    Explosions.fill({});
  }
};

// The frame loop's own fields: when the last frame started, whether the loop
// runs, and the marker's blink.
struct FrameLoop {
  uint32_t LastFrameTime = 0;
  uint8_t LoopRunning = 0;
  uint8_t CursorBlink = 0;

  // The next frame shows the marker, wherever the selection went.
  void RestartBlink() { CursorBlink = 0; }
};

// All the state of a run, each part with its own job, and the two things the
// rules need from outside: chance and the world. The main window owns it.
struct Game {
  Game(RandomSource& random, Outside& outside) : random(&random), outside(&outside) {}

  Settings gro;
  Board board;
  Pointer pointer;
  EffectPools effects;
  FrameLoop loop;
  Layout layout;

  RandomSource* random;
  Outside* outside;
};

}  // namespace porteka
