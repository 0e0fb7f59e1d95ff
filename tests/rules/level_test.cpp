#include "rules_fixture.h"

namespace porteka::test {
namespace {

struct LevelCase {
  int16_t level, bombs, width, height;
  Layout layout;
};

void ExpectLayout(const Layout& got, const Layout& want) {
  EXPECT_EQ(got.boardLeft, want.boardLeft);
  EXPECT_EQ(got.boardTop, want.boardTop);
  EXPECT_EQ(got.boardWidth, want.boardWidth);
  EXPECT_EQ(got.boardHeight, want.boardHeight);
  EXPECT_EQ(got.interiorWidth, want.interiorWidth);
  EXPECT_EQ(got.interiorHeight, want.interiorHeight);
  EXPECT_EQ(got.counterLeft, want.counterLeft);
  EXPECT_EQ(got.faceLeft, want.faceLeft);
}

using LevelTest = RulesTest;

TEST_F(LevelTest, EveryFixedLevelSetsItsSizeAndLaysOutTheWindow) {
  // Layout fields: board left, top, width, height; interior width, height;
  // counter strip left, face button left.
  const LevelCase cases[] = {
      // A narrow, short board sits in the middle of a 256 x 256 span, and the
      // 257-pixel strip lands at -0.5, which goes to the even 0.
      {kBeginner, 10, 8, 8, {64, 89, 128, 128, 256, 287, 0, 116}},
      {kIntermediate, 40, 16, 16, {0, 25, 256, 256, 256, 281, 0, 116}},
      // 240 - 128.5 = 111.5 goes to the even 112.
      {kAdvanced, 99, 30, 16, {0, 25, 480, 256, 480, 281, 112, 228}},
  };
  for (const LevelCase& c : cases) {
    SCOPED_TRACE(c.level);
    ApplyLevel(game, c.level);
    EXPECT_EQ(game.gro.BombCount, c.bombs);
    EXPECT_EQ(game.gro.BoardWidth, c.width);
    EXPECT_EQ(game.gro.BoardHeight, c.height);
    ExpectLayout(game.layout, c.layout);
    EXPECT_EQ(outside.Take(), (std::vector<std::string>{"layout"}));
  }
}

TEST_F(LevelTest, CustomSizesAtTheLimitsAndAroundSixteen) {
  struct SizeCase {
    int16_t width, height;
    Layout layout;
  };
  const SizeCase cases[] = {
      {2, 2, {112, 137, 32, 32, 256, 287, 0, 116}},
      {32, 32, {0, 25, 512, 512, 512, 537, 128, 244}},  // 127.5 goes to 128
      {15, 15, {8, 33, 240, 240, 256, 287, 0, 116}},
      {16, 15, {0, 33, 256, 240, 256, 287, 0, 116}},
      {15, 16, {8, 25, 240, 256, 256, 281, 0, 116}},
      {17, 2, {0, 137, 272, 32, 272, 287, 8, 124}},  // 7.5 goes to 8
      {2, 32, {112, 25, 32, 512, 256, 537, 0, 116}},
  };
  for (const SizeCase& c : cases) {
    SCOPED_TRACE(testing::Message() << c.width << "x" << c.height);
    ExpectLayout(ComputeLayout(c.width, c.height), c.layout);
    game.gro.BoardWidth = c.width;
    game.gro.BoardHeight = c.height;
    game.gro.BombCount = 3;
    ApplyLevel(game, kCustom);
    EXPECT_EQ(game.gro.BoardWidth, c.width);
    EXPECT_EQ(game.gro.BoardHeight, c.height);
    EXPECT_EQ(game.gro.BombCount, 3);
    ExpectLayout(game.layout, c.layout);
  }
}

TEST_F(LevelTest, AnyOtherLevelKeepsTheSettingsButStillLaysOut) {
  for (const int16_t level : {int16_t{3}, int16_t{4}, int16_t{5}, int16_t{-1}, int16_t{32767}}) {
    SCOPED_TRACE(level);
    game.gro.BoardWidth = 11;
    game.gro.BoardHeight = 23;
    game.gro.BombCount = 7;
    ApplyLevel(game, level);
    EXPECT_EQ(game.gro.BoardWidth, 11);
    EXPECT_EQ(game.gro.BoardHeight, 23);
    EXPECT_EQ(game.gro.BombCount, 7);
    ExpectLayout(game.layout, {40, 25, 176, 368, 256, 393, 0, 116});
    EXPECT_EQ(outside.Take(), (std::vector<std::string>{"layout"}));
  }
}

TEST_F(LevelTest, OnlyTheThreeFixedLevelsAreRecorded) {
  EXPECT_TRUE(IsFixedLevel(kBeginner));
  EXPECT_TRUE(IsFixedLevel(kIntermediate));
  EXPECT_TRUE(IsFixedLevel(kAdvanced));
  EXPECT_FALSE(IsFixedLevel(3));
  EXPECT_FALSE(IsFixedLevel(kCustom));
  EXPECT_FALSE(IsFixedLevel(-1));
}

TEST_F(LevelTest, StartUpIsIntermediateWithNoBoard) {
  PortableRandom r(1);
  RecordingOutside o;
  Game fresh(r, o);
  LoadGame(fresh);
  EXPECT_EQ(fresh.gro.GameLevel, kIntermediate);
  EXPECT_EQ(fresh.gro.BoardWidth, 16);
  EXPECT_EQ(fresh.gro.BombCount, 40);
  EXPECT_EQ(fresh.GameState, 1);
  EXPECT_EQ(o.calls, (std::vector<std::string>{"layout"}));
  for (uint8_t s : fresh.CellState) ASSERT_EQ(s, kOpen);
  for (uint8_t v : fresh.CellValue) ASSERT_EQ(v, 0);
}

TEST_F(LevelTest, CustomSettingsArePulledIntoWhatTheDialogAllows) {
  SetCustomBoard(game, 1, 40, 9999);
  EXPECT_EQ(game.gro.BoardWidth, 2);
  EXPECT_EQ(game.gro.BoardHeight, 32);
  EXPECT_EQ(game.gro.BombCount, 64);
  SetCustomBoard(game, 32, 32, 9999);
  EXPECT_EQ(game.gro.BombCount, 256);
  SetCustomBoard(game, -5, -5, -5);
  EXPECT_EQ(game.gro.BoardWidth, 2);
  EXPECT_EQ(game.gro.BoardHeight, 2);
  EXPECT_EQ(game.gro.BombCount, 1);
  EXPECT_EQ(MaxCustomBombs(2, 2), 4);
  EXPECT_EQ(MaxCustomBombs(16, 16), 256);
  EXPECT_EQ(MaxCustomBombs(32, 32), 256);
  EXPECT_EQ(MaxCustomBombs(15, 17), 255);

  StartCustomGame(game);
  EXPECT_EQ(game.gro.GameLevel, kCustom);
  EXPECT_EQ(game.CoveredCount, 4);
  EXPECT_EQ(game.layout.boardLeft, 112);
}

}  // namespace
}  // namespace porteka::test
