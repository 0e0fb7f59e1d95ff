#include "game/effects.h"

#include <algorithm>

#include "game/neighbours.h"
#include "game/reveal.h"

namespace porteka {
namespace {

// Claims the lowest free slot for an effect over cell (x, y), its sprite
// centred there; false when the pool is full.
template <size_t N>
bool Spawn(std::array<EffectRecord, N>& pool, int16_t x, int16_t y, int offset) {
  const auto slot = std::find_if(pool.begin(), pool.end(), [](const EffectRecord& r) { return r.Phase == 0; });
  if (slot == pool.end()) return false;
  *slot = {1, static_cast<int16_t>(kCellSize * x - offset), static_cast<int16_t>(kCellSize * y - offset)};
  return true;
}

// The test is on the neighbour's value, not its cover: an empty neighbour that
// is already open still has its own block opened.
void FireOpenTrigger(Game& game, const EffectRecord& record) {
  const int cx = (record.X + kOpenOffset) / kCellSize;
  const int cy = (record.Y + kOpenOffset) / kCellSize;
  for (const auto [dx, dy] : kNeighbours) {
    if (game.gro.OnBoard(cx + dx, cy + dy) && game.board.Value(cx + dx, cy + dy) == 0) {
      RevealAtCell(game, RevealMode::UncoverBlock, cx + dx, cy + dy);
    }
  }
}

// The eight cells around the bomb, then the twelve at distance two; the corners
// of the 5 x 5 square are left alone.
void FireExplosionTrigger(Game& game, const EffectRecord& record) {
  const int cx = (record.X + kExplosionOffset) / kCellSize;
  const int cy = (record.Y + kExplosionOffset) / kCellSize;
  for (const auto [dx, dy] : kNeighbours) {
    if (game.gro.OnBoard(cx + dx, cy + dy)) RevealAtCell(game, RevealMode::InnerBlast, cx + dx, cy + dy);
  }
  for (int k = -1; k <= 1; ++k) {
    const int ring[4][2] = {{cx + k, cy - 2}, {cx + k, cy + 2}, {cx - 2, cy + k}, {cx + 2, cy + k}};
    for (const auto& [x, y] : ring) {
      if (game.gro.OnBoard(x, y)) RevealAtCell(game, RevealMode::OuterBlast, x, y);
    }
  }
}

// Records spawned by a trigger land in the lowest free slot; one after the
// current index is drawn and advanced in this same pass. The walk reads the
// pool afresh at every index, so that falls out of the loop.
template <size_t N>
void Walk(Game& game, Canvas& canvas, std::array<EffectRecord, N>& pool, EffectKind kind, uint8_t frames,
          void (*fire)(Game&, const EffectRecord&)) {
  for (size_t i = 0; i < N; ++i) {
    EffectRecord& record = pool[i];
    if (record.Phase == 0) continue;
    canvas.DrawEffect(kind, record.Phase, record.X, record.Y);
    ++record.Phase;
    if (record.Phase == kTriggerPhase) {
      fire(game, record);
    } else if (record.Phase == frames + 1) {
      record.Phase = 0;
    }
  }
}

}  // namespace

void SpawnOpenEffect(EffectPools& effects, Outside& outside, int16_t x, int16_t y) {
  if (!Spawn(effects.OpenEffects, x, y, kOpenOffset)) return;
  outside.PlaySound(SoundCue::Open);
}

void SpawnExplosion(EffectPools& effects, Board& board, Outside& outside, int16_t x, int16_t y) {
  if (!Spawn(effects.Explosions, x, y, kExplosionOffset)) return;
  outside.DrawFace(Face::Lost);
  const bool ends = board.GameState == GamePhase::Running;
  board.GameState = GamePhase::Over;
  if (ends) outside.NoteGame(GameMoment::Lost);
  outside.PlaySound(SoundCue::Explosion);
}

void AnimateEffects(Game& game, Canvas& canvas) {
  Walk(game, canvas, game.effects.OpenEffects, EffectKind::Open, kOpenFrames, FireOpenTrigger);
  Walk(game, canvas, game.effects.Explosions, EffectKind::Explosion, kExplosionFrames, FireExplosionTrigger);
}

}  // namespace porteka
