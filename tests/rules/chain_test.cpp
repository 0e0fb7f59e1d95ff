#include "rules_fixture.h"

namespace porteka::test {
namespace {

using S = std::vector<std::string>;

class ChainTest : public RulesTest {};

TEST_F(ChainTest, AnExplosionBlastsTwoRingsAndLeavesTheCornersOfItsSquare) {
  DealCustom({".......",
              ".......",
              ".......",
              "...*...",
              ".......",
              ".......",
              "......."});
  Move(kUncover, 3, 3);
  EXPECT_EQ(outside.Take(), (S{"face 2", "sound 1"}));
  EXPECT_EQ(game.Explosions[0].X, -4);

  Frames(1);
  EXPECT_EQ(outside.Take(), (S{"board", "explosion 1 -4 -4", "marker 0 0", "present"}));

  // The pass that draws frame 2 fires: eight inner cells row by row, then the
  // outer ring in its own order. Their flashes belong to the pool walked
  // before the explosions, so they are first drawn in the next pass.
  Frames(1);
  S want = {"board", "explosion 2 -4 -4"};
  for (int i = 0; i < 20; ++i) want.push_back("sound 0");
  want.push_back("present");
  EXPECT_EQ(outside.Take(), want);
  EXPECT_EQ(Picture(), (Rows{"#######",
                             "##+++##",
                             "#+xxx+#",
                             "#+x*x+#",
                             "#+xxx+#",
                             "##+++##",
                             "#######"}));
  EXPECT_EQ(Value(1, 1), 0);
  EXPECT_EQ(Value(5, 5), 0);
  const std::pair<int, int> order[] = {{2, 2}, {3, 2}, {4, 2}, {2, 3}, {4, 3}, {2, 4}, {3, 4},
                                       {4, 4}, {2, 1}, {2, 5}, {1, 2}, {5, 2}, {3, 1}, {3, 5},
                                       {1, 3}, {5, 3}, {4, 1}, {4, 5}, {1, 4}, {5, 4}};
  S flashes = {"board"};
  for (const auto& [x, y] : order) flashes.push_back(OpenAt(1, x, y));
  flashes.push_back("explosion 3 -4 -4");
  flashes.push_back("marker 0 0");
  flashes.push_back("present");

  Frames(1);
  EXPECT_EQ(outside.Take(), flashes);

  // The rubble's flashes fire and open around the empty cells beyond: the
  // corners open as plain empty cells, not rubble.
  Frames(1);
  EXPECT_EQ(Picture(), (Rows{".......",
                             "..+++..",
                             ".+xxx+.",
                             ".+x*x+.",
                             ".+xxx+.",
                             "..+++..",
                             "......."}));
  // Every safe cell is open, but an exploded game is not won afterwards.
  EXPECT_EQ(game.CoveredCount, game.gro.BombCount);
  EXPECT_EQ(outside.Count("face 1"), 0);
  EXPECT_EQ(game.GameState, 1);
}

// Bombs: B1 (2,2) set off by the player; B2 (4,2) two cells from it; B3 (5,3)
// next to B2; a second-marked bomb (7,2) two cells from B3; a flagged bomb
// (3,1) next to B1 and B2; a keyboard-marked bomb (6,4) next to B3; and (11,4)
// out of everyone's reach.
const Rows kChain = {"............",
                     "...*........",
                     "..*.*..*....",
                     ".....*......",
                     "......*....*"};

class ChainReactionTest : public ChainTest {
 protected:
  void SetUp() override {
    DealCustom(kChain);
    State(3, 1) = kFlag;
    State(6, 4) = kKeyboardMark;
    State(7, 2) = kSecondMark;
  }
  void ExpectSpared() {
    EXPECT_EQ(State(3, 1), kFlag);
    EXPECT_EQ(State(6, 4), kKeyboardMark);
    EXPECT_EQ(State(11, 4), kCovered);
    EXPECT_EQ(Value(3, 1), kBomb);
    EXPECT_EQ(Value(6, 4), kBomb);
  }
};

TEST_F(ChainReactionTest, EachBombInLaterSlotsGoesOffTheFrameAfterTheLast) {
  Move(kUncover, 2, 2);
  const std::pair<int, int> bombs[] = {{4, 2}, {5, 3}, {7, 2}};
  Frames(1);
  for (const auto& [x, y] : bombs) EXPECT_EQ(State(x, y), y == 2 && x == 7 ? kSecondMark : kCovered);

  for (size_t step = 0; step < std::size(bombs); ++step) {
    Frames(1);
    for (size_t i = 0; i < std::size(bombs); ++i) {
      const auto& [x, y] = bombs[i];
      EXPECT_EQ(State(x, y) == kOpen, i <= step) << "frame " << step + 2 << " bomb " << i;
    }
    EXPECT_EQ(outside.Count("face 2"), static_cast<int>(step) + 2);
  }
  // Phases after frame 4: each explosion one pass younger than the one before.
  EXPECT_EQ(game.Explosions[0].Phase, 5);
  EXPECT_EQ(game.Explosions[1].Phase, 4);
  EXPECT_EQ(game.Explosions[2].Phase, 3);
  EXPECT_EQ(game.Explosions[3].Phase, 2);
  EXPECT_EQ(game.Explosions[3].X, 16 * 7 - 52);

  Frames(30);
  ExpectSpared();
  EXPECT_EQ(outside.Count("face 2"), 4);
  EXPECT_EQ(outside.Count("sound 1"), 4);
  for (const auto& [x, y] : bombs) EXPECT_EQ(Value(x, y), kBomb);
  EXPECT_EQ(Value(2, 2), kBomb);
  EXPECT_EQ(game.GameState, 1);
  for (const EffectRecord& r : game.Explosions) EXPECT_EQ(r.Phase, 0);
}

TEST_F(ChainReactionTest, AnExplosionInAnEarlierSlotWaitsAPassBeforeItsFirstFrame) {
  // An old explosion in its last two frames holds slot 0, far from the chain.
  game.Explosions[0] = {19, 16 * 11 - 52, -52};
  Move(kUncover, 2, 2);
  EXPECT_EQ(game.Explosions[1].Phase, 1);

  Frames(2);
  EXPECT_EQ(State(4, 2), kOpen);  // B2 went off in frame 2, into the freed slot 0
  EXPECT_EQ(game.Explosions[0].Phase, 1);
  outside.Clear();

  Frames(1);
  EXPECT_EQ(State(5, 3), kCovered);
  S explosions;
  for (const std::string& c : outside.Take())
    if (c.starts_with("explosion")) explosions.push_back(c);
  EXPECT_EQ(explosions, (S{ExplosionAt(1, 4, 2), ExplosionAt(3, 2, 2)}));

  Frames(1);
  EXPECT_EQ(State(5, 3), kOpen);
  EXPECT_EQ(State(7, 2), kSecondMark);
  Frames(1);
  EXPECT_EQ(State(7, 2), kOpen);
  Frames(30);
  ExpectSpared();
}

}  // namespace
}  // namespace porteka::test
