#include <gtest/gtest.h>
#include <sys/stat.h>

#include <nlohmann/json.hpp>

#include "game/board_3bv.h"
#include "records/file_worker.h"
#include "records/statistics_file.h"
#include "records/statistics_keeper.h"
#include "tests/records/temp_dir.h"
#include "tests/rules/rules_fixture.h"

namespace porteka {
namespace {

using scratch::ReadBytes;
using scratch::TempDir;
using scratch::WriteBytes;

// Hands the rules' game moments to a keeper, as the main window does.
class CountingOutside final : public Outside {
 public:
  StatisticsKeeper* keeper = nullptr;
  void NoteGame(GameMoment moment) override { keeper->Note(moment); }
  void PlaySound(SoundCue) override {}
  void DrawFace(Face) override {}
  void OfferRecord() override {}
  void LayOutWindow() override {}
  void DrawCounters(std::string_view, std::string_view) override {}
};

// Ten bombs in two corners: one empty region opens the whole rest.
const test::Rows kBeginner = {"**......", "**......", "........", "........",
                              "........", "........", "......**", "....****"};

class StatisticsTest : public test::RulesTest {
 protected:
  TempDir dir;
  std::filesystem::path file = dir.path() / kStatisticsFileName;
  FileWorker worker;
  CountingOutside counting;
  StatisticsKeeper keeper{file, worker, game};

  StatisticsTest() {
    counting.keeper = &keeper;
    game.outside = &counting;
    DealLevel(Level::Beginner, kBeginner);
  }

  // W wins the board, L sets off a bomb, m moves the pointer with no button,
  // f runs a second of frames, N deals the board again, E ends the program.
  void Play(std::string_view moves) {
    for (const char move : moves) {
      switch (move) {
        case 'W':
          Move(RevealMode::Uncover, 4, 3);
          Frames(40);
          break;
        case 'L': Move(RevealMode::Uncover, 0, 0); break;
        case 'm': Move(RevealMode{0}, 5, 5); break;
        case 'f': Frames(30); break;
        case 'N': DealLevel(Level::Beginner, kBeginner); break;
        case 'E': keeper.Finish(); break;
      }
    }
    keeper.Finish();
  }
};

TEST_F(StatisticsTest, CountsEachGameOnceByItsFirstOutcome) {
  const struct {
    const char* moves;
    int64_t played, won, lost, abandoned, streak, bestStreak, playedFrames;
  } cases[] = {
      {"W", 1, 1, 0, 0, 1, 1, -1},
      {"L", 1, 0, 1, 0, 0, 0, 0},
      {"WfL", 1, 1, 0, 0, 1, 1, -1},        // a bomb after the win
      {"LmfW", 1, 0, 1, 0, 0, 0, 0},        // moves after the loss
      {"mfN", 1, 0, 0, 1, 0, 0, 30},        // a new board mid-game
      {"mfE", 1, 0, 0, 1, 0, 0, 30},        // the program ends mid-game
      {"NfNE", 0, 0, 0, 0, 0, 0, 0},        // boards dealt, never touched
      {"WNWNLNW", 4, 3, 1, 0, 1, 2, -1},    // a loss ends the streak
      {"WNWNmN", 3, 2, 0, 1, 0, 2, -1},     // so does leaving a game
  };
  for (const auto& c : cases) {
    std::filesystem::remove(file);
    DealLevel(Level::Beginner, kBeginner);
    Play(c.moves);
    const LevelStatistics beginner = ReadStatistics(file).levels[0];
    const LevelStatistics expected{c.played, c.won, c.lost, c.abandoned, c.streak, c.bestStreak,
                                   beginner.bestFrames, beginner.wonFrames,
                                   c.playedFrames < 0 ? beginner.playedFrames : c.playedFrames,
                                   beginner.best3BVPerSecond};
    EXPECT_EQ(beginner, expected) << c.moves;
  }
}

TEST_F(StatisticsTest, AWinKeepsItsTimeAndItsBoard3BV) {
  const int16_t threeBV = Board3BV(game.gro, game.board);
  Play("mfW");
  const Statistics statistics = ReadStatistics(file);
  const int32_t frames = game.gro.ElapsedTime;
  ASSERT_GT(frames, 30);
  EXPECT_EQ(statistics.last, (GameResult{Level::Beginner, GameOutcome::Won, frames, threeBV}));
  EXPECT_EQ(statistics.levels[0], (LevelStatistics{1, 1, 0, 0, 1, 1, frames, frames, frames, threeBV * 30.0 / frames}));
}

TEST(StatisticsFile, RoundTripsEveryFieldUnderItsName) {
  Statistics statistics;
  statistics.levels[1] = {9, 5, 3, 1, 2, 4, 301, 2000, 3000, 2.5};
  statistics.levels[3] = {1, 0, 0, 1, 0, 0, std::nullopt, 0, 17, std::nullopt};
  statistics.last = GameResult{Level::Custom, GameOutcome::Abandoned, 17, 40};
  const std::string bytes = SerializeStatistics(statistics);
  EXPECT_EQ(ParseStatistics(bytes), statistics);
  const nlohmann::json json = nlohmann::json::parse(bytes);
  EXPECT_EQ(json["version"], 1);
  EXPECT_EQ(json["levels"]["intermediate"],
            nlohmann::json::parse(R"({"played": 9, "won": 5, "lost": 3, "abandoned": 1, "streak": 2,
              "best_streak": 4, "best_frames": 301, "won_frames": 2000, "played_frames": 3000,
              "best_3bv_per_second": 2.5})"));
  EXPECT_EQ(json["levels"]["custom"]["best_frames"], nullptr);
  EXPECT_EQ(json["last"], nlohmann::json::parse(R"({"level": "custom", "outcome": "abandoned",
              "frames": 17, "3bv": 40})"));
}

TEST(StatisticsFile, TakesMissingFieldsAsNothingYetAndAnythingOddAsDamaged) {
  const auto level = [](const std::string& fields) {
    return R"({"version": 1, "levels": {"advanced": {)" + fields + "}}}";
  };
  EXPECT_EQ(ParseStatistics(R"({"version": 1.0, "last": null, "levels": {}})"), Statistics{});
  EXPECT_EQ(ParseStatistics(level(R"("won": 3, "best_frames": null)"))->levels[2].won, 3);
  EXPECT_EQ(ParseStatistics(R"({"version": 1, "last": {"level": "beginner", "outcome": "lost"}, "levels": {}})")->last,
            (GameResult{Level::Beginner, GameOutcome::Lost, 0, 0}));
  const std::string damaged[] = {
      "", "{", "[]", R"({"version": 2})", R"({"levels": {}})", R"({"version": 1, "levels": []})",
      level(R"("played": -1)"), level(R"("played": "3")"), level(R"("played": 1.5)"),
      level(R"("played": 9007199254740993)"), level(R"("best_frames": 2147483648)"),
      level(R"("best_3bv_per_second": -0.5)"), level(R"("won_frames": null)"),
      R"({"version": 1, "last": {"level": "expert", "outcome": "won", "frames": 1, "3bv": 1}})",
      R"({"version": 1, "last": {"level": "custom", "outcome": "won", "frames": 1, "3bv": 1025}})",
      R"({"version": 1, "last": 3})", R"({"version": 1, "x": ")" + std::string("\xff") + "\"}",
      R"({"version": 1, "x": )" + std::string(100000, '[') + std::string(100000, ']') + "}",
  };
  for (const std::string& bytes : damaged) EXPECT_FALSE(ParseStatistics(bytes)) << bytes.substr(0, 80);
}

TEST(StatisticsFile, SetsADamagedFileAsideFollowsLinksAndStopsAtTheLargestCount) {
  TempDir dir;
  const std::filesystem::path file = dir.path() / kStatisticsFileName;
  const GameResult lost{Level::Advanced, GameOutcome::Lost, 90, 120};
  const std::string damaged = R"({"version": 1, "levels": {"beginner": {"won": "many"}}})";
  WriteBytes(file, damaged);
  ASSERT_EQ(AddToStatistics(file, {lost}).outcome, WriteResult::Outcome::kWritten);
  EXPECT_EQ(ReadBytes(dir.path() / "Statistics.json.bak1"), damaged);
  Statistics expected;
  CountGame(expected, lost);
  EXPECT_EQ(ReadStatistics(file), expected);

  // Through a link to a file in a folder of its own, which stays a link.
  std::filesystem::create_directory(dir.path() / "synced");
  std::filesystem::rename(file, dir.path() / "synced" / "stats");
  std::filesystem::create_symlink("synced/stats", file);
  expected.levels[0].won = kMaxStatisticsCount;
  WriteBytes(dir.path() / "synced" / "stats", SerializeStatistics(expected));
  const GameResult won{Level::Beginner, GameOutcome::Won, 300, 30};
  ASSERT_EQ(AddToStatistics(file, {won, lost}).outcome, WriteResult::Outcome::kWritten);
  EXPECT_TRUE(std::filesystem::is_symlink(file));
  CountGame(expected, won);
  CountGame(expected, lost);
  EXPECT_EQ(expected.levels[0].won, kMaxStatisticsCount);
  EXPECT_EQ(ReadStatistics(dir.path() / "synced" / "stats"), expected);
}

// A folder by the file's name takes no write: the games wait in the keeper
// for the next write, which finds the way clear again.
TEST_F(StatisticsTest, GamesThatCannotBeWrittenGoWithTheNextWrite) {
  std::filesystem::create_directory(file);
  Play("WNL");
  EXPECT_EQ(keeper.Finish(), 2);
  std::filesystem::remove(file);
  Play("NmN");
  const LevelStatistics beginner = ReadStatistics(file).levels[0];
  EXPECT_EQ(std::tuple(beginner.played, beginner.won, beginner.lost, beginner.abandoned), std::tuple(3, 1, 1, 1));
  // Clearing drops what is counted, games waiting included, and nothing else.
  std::filesystem::remove(file);
  std::filesystem::create_directory(file);
  Play("NmN");
  std::filesystem::remove(file);
  WriteBytes(dir.path() / "GoodTime.dat", "keep");
  keeper.Clear();
  keeper.Finish();
  EXPECT_TRUE(std::filesystem::is_regular_file(file));
  EXPECT_EQ(ReadStatistics(file), Statistics{});
  EXPECT_EQ(ReadBytes(dir.path() / "GoodTime.dat"), "keep");
}

}  // namespace
}  // namespace porteka
