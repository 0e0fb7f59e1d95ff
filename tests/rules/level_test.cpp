#include <array>

#include "rules_fixture.h"

namespace porteka::test {
namespace {

// Board left, top, width, height; interior width, height; counter strip left, face left.
std::array<int, 8> Fields(const Layout& l) {
  return {l.boardLeft, l.boardTop, l.boardWidth, l.boardHeight, l.interiorWidth, l.interiorHeight, l.counterLeft, l.faceLeft};
}

using LevelTest = RulesTest;

TEST_F(LevelTest, EveryLevelAndCustomSizeSetsItsBoardAndLaysOutTheWindow) {
  struct Case {
    Level level;
    int16_t width, height, bombs;
    std::array<int, 8> layout;
  };
  const Case cases[] = {
      // The 257-pixel strip in a 256 span lands at -0.5, which goes to the even 0.
      {Level::Beginner, 8, 8, 10, {64, 89, 128, 128, 256, 287, 0, 116}},
      {Level::Intermediate, 16, 16, 40, {0, 25, 256, 256, 256, 281, 0, 116}},
      {Level::Advanced, 30, 16, 99, {0, 25, 480, 256, 480, 281, 112, 228}},  // 111.5 goes to 112
      {Level::Custom, 2, 2, 3, {112, 137, 32, 32, 256, 287, 0, 116}},
      {Level::Custom, 32, 32, 256, {0, 25, 512, 512, 512, 537, 128, 244}},  // 127.5 goes to 128
      {Level::Custom, 15, 15, 3, {8, 33, 240, 240, 256, 287, 0, 116}},
      {Level::Custom, 16, 15, 3, {0, 33, 256, 240, 256, 287, 0, 116}},
      {Level::Custom, 15, 16, 3, {8, 25, 240, 256, 256, 281, 0, 116}},
      {Level::Custom, 17, 2, 3, {0, 137, 272, 32, 272, 287, 8, 124}},  // 7.5 goes to 8
      {Level::Custom, 2, 32, 3, {112, 25, 32, 512, 256, 537, 0, 116}},
      // Any other level keeps the settings too.
      {Level{3}, 11, 23, 7, {40, 25, 176, 368, 256, 393, 0, 116}},
      {Level{-1}, 11, 23, 7, {40, 25, 176, 368, 256, 393, 0, 116}},
      {Level{32767}, 11, 23, 7, {40, 25, 176, 368, 256, 393, 0, 116}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "level " << static_cast<int>(c.level) << ", " << c.width << "x" << c.height);
    // A fixed level must overwrite whatever the settings were.
    const bool fixed = IsFixedLevel(c.level);
    game.gro.BoardWidth = fixed ? 5 : c.width;
    game.gro.BoardHeight = fixed ? 5 : c.height;
    game.gro.BombCount = fixed ? 5 : c.bombs;
    ApplyLevel(game, c.level);
    EXPECT_EQ(game.gro.BoardWidth, c.width);
    EXPECT_EQ(game.gro.BoardHeight, c.height);
    EXPECT_EQ(game.gro.BombCount, c.bombs);
    EXPECT_EQ(Fields(game.layout), c.layout);
    EXPECT_EQ(outside.Take(), S{"layout"});
  }
  EXPECT_FALSE(IsFixedLevel(Level::Custom));
}

TEST_F(LevelTest, CustomSettingsArePulledIntoWhatTheDialogAllows) {
  using Settings3 = std::array<int16_t, 3>;  // width, height, bombs
  const std::pair<Settings3, Settings3> cases[] = {
      {{1, 40, 9999}, {2, 32, 64}}, {{32, 32, 9999}, {32, 32, 256}}, {{-5, -5, -5}, {2, 2, 1}},
      {{2, 2, 9999}, {2, 2, 4}},    {{15, 17, 9999}, {15, 17, 255}}, {{9, 9, 0}, {9, 9, 1}},
  };
  for (const auto& [asked, kept] : cases) {
    SetCustomBoard(game, asked[0], asked[1], asked[2]);
    EXPECT_EQ((Settings3{game.gro.BoardWidth, game.gro.BoardHeight, game.gro.BombCount}), kept) << asked[0] << "x" << asked[1];
  }
}

}  // namespace
}  // namespace porteka::test
