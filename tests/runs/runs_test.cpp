#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "game/game_flow.h"
#include "input/keyboard.h"
#include "records/records_file.h"
#include "records/run_files.h"
#include "runs/game_runs.h"
#include "runs/run_check.h"
#include "runs/scenario.h"
#include "tests/records/temp_dir.h"

namespace porteka {
namespace {

using scratch::TempDir;
using scratch::WriteBytes;

// The window's part: the run of a won game is asked for during the records check.
class Window final : public Outside {
 public:
  GameRuns* runs = nullptr;
  std::string recordRun;
  void PlaySound(SoundCue) override {}
  void DrawFace(Face) override {}
  void OfferRecord() override { recordRun = runs->RecordRun(); }
  void LayOutWindow() override {}
  void DrawCounters(std::string_view, std::string_view) override {}
};

// A beginner game through the windows' calls: its bombs fill the bottom row and
// two cells above it, so a move over the top-left corner opens every safe cell
// as a wave, and the game is won in the middle of a frame.
struct WonGame {
  PortableRandom random{7};
  Window window;
  Game game{random, window};
  GameRuns runs{game, random, window};
  BlankCanvas canvas;
  uint32_t now = 0;

  WonGame() {
    window.runs = &runs;
    LoadGame(game);
    // What the board inherits: the selected cell and the marker's blink.
    runs.MouseDown(30, 40);
    Frames(3);
    runs.Deal([this] {
      std::vector<std::pair<int16_t, int16_t>> bombs = {{0, 6}, {1, 6}};
      for (int16_t x = 0; x < 8; ++x) bombs.emplace_back(x, 7);
      StartLevel(game, Level::Beginner, bombs);
    });
    Frames(40);  // a wait cut to a second
    runs.MouseDown(20, 100);
    runs.MouseMove(1, 8.5f, 8.25f);
    Frames(60);
  }
  void Frames(int n) {
    for (int i = 0; i < n; ++i) runs.LoopTurn(canvas, now += 34);
  }
};

TEST(Runs, AWonGamesRunPlaysToItsRecordAndIsOfferedOnlyForIt) {
  const WonGame won;
  ASSERT_EQ(won.game.board.GameState, GamePhase::Over);
  const int32_t time = won.game.gro.ElapsedTime;
  const RunEnd end = PlayRun(won.window.recordRun);
  ASSERT_EQ(end.error, "");
  EXPECT_TRUE(IsRunOf(end, Level::Beginner, time));
  EXPECT_EQ(end.face, Face::Won);
  EXPECT_EQ(end.framesToRest, 0u);  // it ends with the board at rest

  TempDir dir;
  const auto offered = [&](Level level, int32_t recordTime, const std::string& bytes) {
    std::filesystem::remove_all(RunFileOf(dir.File(), level));
    WriteBytes(RunFileOf(dir.File(), level), bytes);
    return RecordRunOf(dir.File(), level, recordTime).has_value();
  };
  const std::string& run = won.window.recordRun;
  std::string edited = run;
  edited.replace(edited.find("\"x\":8.5"), 7, "\"x\":-99");  // the move misses the board: no win
  std::string lost = run;
  lost.replace(lost.find("\"y\":8.25"), 8, "\"y\":120");  // the move sets off a bomb at once
  EXPECT_TRUE(offered(Level::Beginner, time, run));
  const struct {
    Level level;
    int32_t time;
    std::string bytes;
  } refused[] = {
      {Level::Beginner, time + 1, run},  // another record's
      {Level::Beginner, time - 1, run},
      {Level::Intermediate, time, run},  // another level's
      {Level::Beginner, time, run.substr(0, run.size() / 2)},
      {Level::Beginner, time, edited},
      {Level::Beginner, 0, lost},
      {Level::Beginner, time, ""},
      {Level::Beginner, time, std::string(kMaxRunFileBytes + 1, ' ') + run},
  };
  for (const auto& r : refused) EXPECT_FALSE(offered(r.level, r.time, r.bytes)) << r.bytes.substr(0, 80);
  std::filesystem::remove(RunFileOf(dir.File(), Level::Beginner));
  std::filesystem::create_directory(RunFileOf(dir.File(), Level::Beginner));
  EXPECT_FALSE(RecordRunOf(dir.File(), Level::Beginner, time));
  EXPECT_FALSE(RecordRunOf(dir.File(), Level::Advanced, time));
}

// Runs that cannot be played say why, as the replay tool says it.
TEST(Runs, ARunThatCannotBePlayedIsRefusedWithItsReason) {
  const std::pair<const char*, const char*> cases[] = {
      {"{\"level\":0,\"bombs\":[[0,0]", "malformed JSON"},
      {"{\"events\":[]}", "a run starts with a dealt board"},
      {"{\"level\":0,\"bombs\":[[0,0]]}", "the first deal: the board takes 10 bombs, not 1"},
      {"{\"level\":0,\"seed\":1,\"events\":[{\"do\":\"frame\"},{\"do\":\"mousedown\",\"x\":128,\"y\":0}]}",
       "event 2 (mousedown): a press at (128, 0) is off the 128 x 128 surface"},
      {"{\"level\":1,\"seed\":1,\"events\":[{\"do\":\"frames\",\"n\":600000},{\"do\":\"frames\",\"n\":400001}]}",
       "more than 1000000 frames in all"},
  };
  for (const auto& [text, reason] : cases) EXPECT_NE(PlayRun(text).error.find(reason), std::string::npos) << text;
  std::string error;
  EXPECT_FALSE(ReadRunToWatch("/nonexistent/run.json", error));
  EXPECT_EQ(error, "cannot read /nonexistent/run.json");
}

// A run stays within what the replay tool takes: past 20,000 events or a
// million frames it is simply not kept.
TEST(Runs, ARunPastTheReplayToolsCapsIsNotKept) {
  PortableRandom random(3);
  SilentOutside silent;
  Game game(random, silent);
  LoadGame(game);
  StartLevel(game, Level::Beginner);
  for (const bool events : {true, false}) {
    for (const int more : {0, 1}) {
      RunRecorder recorder;
      recorder.Begin(game);
      recorder.Key(kKeyA, 0);
      if (events) {
        for (int i = 0; i < 19997 + more; ++i) recorder.Key(kKeyA, 0);
      } else {
        game.board.GameState = GamePhase::Running;  // the wait before the first move would be cut
        recorder.After(game);
        for (uint32_t i = 0; i < replay::kMaxFrames - kMaxRestFrames + more; ++i) recorder.Frame();
        game.board.GameState = GamePhase::Waiting;
      }
      EXPECT_EQ(recorder.kept(), more == 0) << events;
      if (recorder.kept()) {
        EXPECT_NO_THROW(replay::ParseScenario(recorder.Text(kMaxRestFrames)));
      }
    }
  }
}

}  // namespace
}  // namespace porteka
