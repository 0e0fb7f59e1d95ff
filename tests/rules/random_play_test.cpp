// Plays the rules with random input, a million actions in all, checking after
// every action what must always hold. The sanitizer build runs the same
// games, so any read or write past an array shows up there. The windows' calls
// go through the runs, as in the game: every board is kept as a run, and now
// and then, and at every game's end, the run so far is replayed from its text
// and must give the very state of the game that recorded it.

#include <cmath>
#include <limits>
#include <random>
#include <sstream>

#include "render/board_painter.h"
#include "runs/game_runs.h"
#include "runs/run_check.h"
#include "runs/scenario_steps.h"
#include "rules_fixture.h"
#include "tests/support/synthetic_art.h"

namespace porteka::test {
namespace {

constexpr int kRuns = 8;
constexpr int kActionsPerRun = 131072;  // 8 runs: 1,048,576 actions

// Checks every call the rules make and can paint the board now and then, so
// the sanitizers see the drawing code at the board's edges too.
class CheckingOutside final : public Outside, public Canvas {
 public:
  const Game* game = nullptr;
  GameRuns* runs = nullptr;
  BoardPainter* painter = nullptr;
  bool painting = false;
  std::string firstError;
  long wins = 0, explosions = 0, records = 0, flashes = 0, markCues = 0, recordRuns = 0;

  void PlaySound(SoundCue cue) override {
    Expect(cue >= SoundCue::Open && cue <= SoundCue::Mark, "sound cue");
    flashes += cue == SoundCue::Open;
    markCues += cue == SoundCue::Mark;
  }
  void DrawFace(Face face) override {
    Expect(face <= Face::Lost, "face");
    wins += face == Face::Won;
    explosions += face == Face::Lost;
    if (face == Face::Won) Expect(game->board.CoveredCount == game->gro.BombCount && game->board.GameState == GamePhase::Running, "won face");
  }
  void OfferRecord() override {
    ++records;
    Expect(IsFixedLevel(game->gro.GameLevel), "records check on a custom board");
    Expect(game->board.GameState == GamePhase::Over && game->board.CoveredCount == game->gro.BombCount, "records check without a win");
    // Mid-frame or mid-move: the run up to here must replay to this very win.
    if (runs->recorder().kept()) {
      Expect(!runs->RecordRun().empty(), "a won game's run does not replay to its win");
      ++recordRuns;
    }
  }
  void LayOutWindow() override {
    if (painter != nullptr) painter->Resize(game->layout.boardWidth, game->layout.boardHeight);
  }
  void DrawCounters(std::string_view timeText, std::string_view bombsText) override {
    Expect(timeText.size() == 12 && timeText.starts_with("Time ") && timeText.ends_with("sec"), "time text");
    Expect(bombsText.size() == 7 && bombsText.starts_with("Bom "), "bombs text");
  }
  void DrawBoard(const Settings& settings, const Board& board) override {
    if (painting) painter->DrawBoard(settings, board);
  }
  // Where the pools' records lie is checked after every action.
  void DrawEffect(EffectKind kind, uint8_t phase, int16_t x, int16_t y) override {
    Expect(phase >= 1 && phase <= (kind == EffectKind::Open ? kOpenFrames : kExplosionFrames), "effect phase drawn");
    if (painting) painter->DrawEffect(kind, phase, x, y);
  }
  void DrawMarker(int16_t gx, int16_t gy) override {
    Expect(gx % 16 == 0 && gy % 16 == 0, "marker off the grid");
    if (painting) painter->DrawMarker(gx, gy);
  }
  void PresentBoard() override {}

  void Expect(bool ok, const char* what) {
    if (!ok && firstError.empty()) firstError = what;
  }
};

class RandomPlay {
 public:
  RandomPlay(uint32_t seed, const SpriteSheets& sheets)
      : dice_(seed), random_(seed), painter_(sheets), game_(random_, outside_), runs_(game_, random_, outside_) {
    outside_.game = &game_;
    outside_.runs = &runs_;
    outside_.painter = &painter_;
    LoadGame(game_);
    clock_ = 0xffff0000u + seed;  // the millisecond clock wraps during the run
    EnterLoop(game_.loop, clock_);
  }

  // Runs the actions and returns the first broken rule, or "".
  std::string Run(int actions) {
    for (action_ = 0; action_ < actions; ++action_) {
      Act();
      std::string broken = Check();
      if (broken.empty()) broken = CompareWithReplay();
      if (!broken.empty()) return Describe(broken);
      if (!outside_.firstError.empty()) return Describe(outside_.firstError);
    }
    return "";
  }

  const CheckingOutside& outside() const { return outside_; }
  long newGames = 0, bigBoards = 0, tinyBoards = 0, replayed = 0, endsReplayed = 0;

 private:
  // The actions have a generator of their own, apart from the game's, so that
  // they don't shift the boards.
  int Below(int n) { return static_cast<int>(dice_() % static_cast<uint32_t>(n)); }
  int Between(int lo, int hi) { return lo + Below(hi - lo + 1); }
  bool OneIn(int n) { return Below(n) == 0; }

  int16_t Width() const { return game_.gro.BoardWidth; }
  int16_t Height() const { return game_.gro.BoardHeight; }

  // Mostly inside the board, but also its edges, halves, other boards' sizes,
  // far away and nonsense.
  float Position(int cells) {
    const float edge = static_cast<float>(16 * cells);
    switch (Below(16)) {
      case 0: return edge;
      case 1: return edge - 0.5f;
      case 2: return std::nextafter(edge, 0.0f);
      case 3: return static_cast<float>(Between(-40, 40)) - 0.5f;
      case 4: return 511.5f;
      case 5: return static_cast<float>(Between(0, 600)) + 0.5f;
      case 6: return -static_cast<float>(Between(0, 100000)) / 7.0f;
      case 7: return OneIn(8) ? std::numeric_limits<float>::quiet_NaN() : 1e7f;
      case 8: return static_cast<float>(16 * Below(cells));
      default: return static_cast<float>(Below(16 * cells * 64)) / 64.0f;
    }
  }

  // The window reports presses on the surface only; the rules take any.
  float PressAt(int cells) {
    const float at = Position(cells);
    return raw_ || (at >= 0 && at < 16.0f * cells) ? at : static_cast<float>(Below(16 * cells * 4)) / 4.0f;
  }

  int16_t Buttons() {
    const int r = Below(20);
    if (r < 8) return kLeftButton;
    if (r < 12) return kRightButton;
    if (r < 15) return kMiddleButton;
    if (r < 18) return 0;
    return static_cast<int16_t>(Between(3, 7));
  }

  void NewGame() {
    ++newGames;
    lostFlags_ = 0;
    careful_ = OneIn(3);
    // One board in four also takes calls no window makes, which its run cannot hold.
    raw_ = OneIn(4);
    sawEnd_ = false;
    runs_.Deal([this] { Deal(); });
    bigBoards += Width() == 32 && Height() == 32;
    tinyBoards += Width() == 2 && Height() == 2;
  }

  void Deal() {
    switch (Below(6)) {
      case 0:
        StartGame(game_);
        break;
      case 1:
      case 2:
        StartLevel(game_, static_cast<Level>(Below(3)));
        break;
      case 3:
        StartCustomGame(game_);  // the dialog closed without a change
        break;
      default: {
        // Each side and the bomb count at the ends of the dialog's ranges, past them or between.
        auto side = [&] { return static_cast<int16_t>(OneIn(3) ? (OneIn(2) ? 2 : 32) : Between(-3, 40)); };
        const int16_t w = side(), h = side();
        const int most = MaxCustomBombs(std::clamp<int16_t>(w, 2, 32), std::clamp<int16_t>(h, 2, 32));
        const int choices[] = {most, Between(1, 3), Between(-5, 300), Between(1, std::max(1, most / 6))};
        const auto bombs = static_cast<int16_t>(choices[Below(4)]);
        SetCustomBoard(game_, w, h, bombs);
        StartCustomGame(game_);
      }
    }
  }

  int Flags() const {
    int n = 0;
    for (const Cover s : game_.board.CellState) n += s == Cover::Flag;
    return n;
  }

  void Frame() {
    // Paint one frame in eight: the sanitizers see the painter, and the run stays short.
    outside_.painting = (++frames_ & 7) == 0;
    clock_ += 34;
    runs_.LoopTurn(outside_, clock_);
    outside_.painting = false;
  }

  // A random spot inside a random cell of the board that passes the test.
  template <typename Test>
  bool SomeCell(Test test, float& px, float& py) {
    const int w = Width(), h = Height();
    const int start = Below(w * h);
    for (int i = 0; i < w * h; ++i) {
      const int x = (start + i) % w;
      const int y = (start + i) / w % h;
      if (!test(game_.board.CellValue[x + kArraySide * y], game_.board.CellState[x + kArraySide * y])) continue;
      px = static_cast<float>(16 * x + Below(16)) + 0.25f;
      py = static_cast<float>(16 * y + Below(16)) + 0.25f;
      return true;
    }
    return false;
  }

  // A player who knows where the bombs are, so that games get won, fixed
  // levels too, and the records check is reached.
  void ActCarefully() {
    const int r = Below(100);
    float x = 0, y = 0;
    if (r < 45 && SomeCell([](uint8_t v, Cover s) { return v != kBomb && (s == Cover::Covered || s == Cover::SecondMark); }, x, y)) {
      runs_.MouseMove(kLeftButton, x, y);
    } else if (r >= 45 && r < 55 && SomeCell([](uint8_t v, Cover) { return v == kBomb; }, x, y)) {
      runs_.MouseMove(kRightButton, x, y);
    } else if (r >= 55 && r < 60) {
      runs_.MouseDown(PressAt(Width()), PressAt(Height()));
    } else if (r == 60) {
      NewGame();
    } else {
      Frame();
    }
  }

  void Act() {
    if (careful_) return ActCarefully();
    const int r = Below(1000);
    if (r < 300) {
      Frame();
    } else if (r < 340) {
      clock_ += static_cast<uint32_t>(Below(80));
      runs_.LoopTurn(outside_, clock_);
    } else if (r < 600) {
      runs_.MouseMove(Buttons(), Position(Width()), Position(Height()));
    } else if (r < 680) {
      runs_.MouseDown(PressAt(Width()), PressAt(Height()));
    } else if (r < 710) {
      runs_.DblClick();
    } else if (r < 870) {
      static constexpr int16_t kKeys[] = {kKeyEnter, kKeyEscape, kKeySpace, kKeyA,  kKeyA,    kKeyA,   kKeyC,
                                          kKeyX,     kKeyZ,      kKeyLeft,  kKeyUp, kKeyRight, kKeyDown};
      const int16_t key = OneIn(6) ? static_cast<int16_t>(Between(-1, 300)) : kKeys[Below(13)];
      const int16_t shift = OneIn(2) ? kCtrlKey : static_cast<int16_t>(Between(0, raw_ ? 8 : 7));
      const int flagsBefore = Flags();
      runs_.KeyDown(key, shift);
      if (key == kKeyA) lostFlags_ += flagsBefore - Flags();  // flags turned into marks
    } else if (r < 990) {
      const int16_t mode = OneIn(4) ? static_cast<int16_t>(Between(-2, 12)) : static_cast<int16_t>(Between(8, 9));
      if (!raw_) return Frame();
      RevealCell(game_, RevealMode{mode}, Position(Width()), Position(Height()));
    } else {
      NewGame();
    }
  }

  std::string Check() {
    const int w = Width(), h = Height();
    if (w < 2 || w > 32 || h < 2 || h > 32) return "board size";
    if (game_.layout.boardWidth != 16 * w || game_.layout.boardHeight != 16 * h) return "surface size";
    if (game_.board.GameState < GamePhase::Waiting || game_.board.GameState > GamePhase::Over) return "GameState";
    int bombs = 0, openSafe = 0, flags = 0, notCovered = 0;
    for (int y = 0; y < kArraySide; ++y) {
      for (int x = 0; x < kArraySide; ++x) {
        const uint8_t v = game_.board.CellValue[x + kArraySide * y];
        const Cover s = game_.board.CellState[x + kArraySide * y];
        if (x >= w || y >= h) {
          if (v != 0 || s != Cover::Open) return "a cell outside the board changed";
          continue;
        }
        if (v > 11) return "CellValue above 11";
        if (s > Cover::KeyboardMark) return "CellState above 4";
        bombs += v == kBomb;
        openSafe += s == Cover::Open && v != kBomb;
        flags += s == Cover::Flag;
        notCovered += s != Cover::Covered && s != Cover::KeyboardMark;
      }
    }
    if (newGames == 0) return game_.board.GameState == GamePhase::Over && openSafe == 256 ? "" : "start-up board";
    if (bombs != game_.gro.BombCount) return "bomb count";
    // Bombs that blew up are open but were never counted off.
    if (game_.board.CoveredCount != w * h - openSafe) return "CoveredCount";
    if (game_.board.BombsLeft != game_.gro.BombCount - flags - lostFlags_) return "BombsLeft";
    if (game_.board.GameState == GamePhase::Running && game_.board.CoveredCount == game_.gro.BombCount && game_.board.CoveredCount != w * h)
      return "a win not taken";
    if (game_.board.GameState == GamePhase::Waiting && (notCovered != 0 || game_.gro.ElapsedTime != 0)) return "a waiting board was played";
    if (game_.gro.ElapsedTime < 0) return "ElapsedTime";
    for (const EffectRecord& r : game_.effects.OpenEffects) {
      if (r.Phase > kOpenFrames) return "flash Phase above 10";
      if (r.Phase != 0 && ((r.X + 16) % 16 != 0 || r.X < -16 || r.X > 480 || r.Y < -16 || r.Y > 480)) return "flash position";
    }
    for (const EffectRecord& r : game_.effects.Explosions) {
      if (r.Phase > kExplosionFrames) return "explosion Phase above 20";
      if (r.Phase != 0 && ((r.X + 52) % 16 != 0 || r.X < -52 || r.X > 444 || r.Y < -52 || r.Y > 444)) return "explosion position";
    }
    return "";
  }

  // The run so far replayed from its text, now and then, and at the game's
  // end (after it the game goes on but the run does not).
  std::string CompareWithReplay() {
    const RunRecorder& recorder = runs_.recorder();
    const bool endedNow = recorder.ended() && !sawEnd_;
    sawEnd_ = sawEnd_ || recorder.ended();
    if (!recorder.kept() || raw_ || !(endedNow || (!recorder.ended() && OneIn(16)))) return "";
    const std::string text = recorder.Text();
    SilentOutside silent;
    BlankCanvas canvas;
    try {
      const replay::Scenario scenario = replay::ParseScenario(text);
      ScriptedRandom random = replay::ChanceOf(scenario.random);
      auto replica = std::make_unique<Game>(random, silent);
      LoadGame(*replica);
      replay::DealFirst(*replica, scenario);
      for (size_t i = 0; i < scenario.events.size(); ++i) replay::PlayEventOf(*replica, canvas, scenario, i);
      const Game& r = *replica;
      const Game& g = game_;
      const auto sameEffects = [](const auto& a, const auto& b) {
        return std::equal(a.begin(), a.end(), b.begin(), [](const EffectRecord& x, const EffectRecord& y) {
          return x.Phase == y.Phase && (x.Phase == 0 || (x.X == y.X && x.Y == y.Y));
        });
      };
      // The buttons of the last move the board inherited differ until its own first move.
      const bool sameButtons = r.pointer.LastButton == g.pointer.LastButton || text.find("mousemove") == std::string::npos;
      if (r.board.CellValue != g.board.CellValue || r.board.CellState != g.board.CellState || r.board.CoveredCount != g.board.CoveredCount ||
          r.board.GameState != g.board.GameState || r.board.BombsLeft != g.board.BombsLeft || r.pointer.PointerX != g.pointer.PointerX ||
          r.pointer.PointerY != g.pointer.PointerY || !sameButtons || r.loop.CursorBlink != g.loop.CursorBlink ||
          r.gro.ElapsedTime != g.gro.ElapsedTime || r.gro.GameLevel != g.gro.GameLevel ||
          r.gro.BombCount != g.gro.BombCount || r.layout.boardLeft != g.layout.boardLeft ||
          !sameEffects(r.effects.OpenEffects, g.effects.OpenEffects) || !sameEffects(r.effects.Explosions, g.effects.Explosions)) {
        return "the run replays to another state:\n" + text;
      }
    } catch (const replay::ScenarioError& e) {
      return std::string("the run does not replay: ") + e.what() + "\n" + text;
    }
    ++replayed;
    endsReplayed += endedNow;
    return "";
  }

  std::string Describe(const std::string& broken) const {
    std::ostringstream out;
    out << broken << " after action " << action_ << " on a " << Width() << "x" << Height() << " board with "
        << game_.gro.BombCount << " bombs, GameState " << static_cast<int>(game_.board.GameState) << ", CoveredCount " << game_.board.CoveredCount;
    return out.str();
  }

  std::mt19937 dice_;
  PortableRandom random_;
  CheckingOutside outside_;
  BoardPainter painter_;
  Game game_;
  GameRuns runs_;
  uint32_t clock_ = 0;
  int action_ = 0;
  long frames_ = 0;
  int lostFlags_ = 0;
  bool careful_ = false;
  bool raw_ = false;
  bool sawEnd_ = false;
};

class RandomPlayTest : public ::testing::TestWithParam<int> {};

TEST_P(RandomPlayTest, InvariantsHoldAfterEveryAction) {
  static const SpriteSheets sheets = SyntheticSheets();
  RandomPlay play(static_cast<uint32_t>(GetParam()) * 7919u + 1u, sheets);
  EXPECT_EQ(play.Run(kActionsPerRun), "");
  // The run must have got somewhere: games won and lost, boards of both extremes.
  const CheckingOutside& o = play.outside();
  EXPECT_GT(o.wins, 0);
  EXPECT_GT(o.explosions, 100);
  EXPECT_GT(o.records, 0);
  EXPECT_GT(o.flashes, 10000);
  EXPECT_GT(o.markCues, 0);
  EXPECT_GT(play.newGames, 500);
  EXPECT_GT(play.bigBoards, 0);
  EXPECT_GT(play.tinyBoards, 0);
  EXPECT_GT(play.replayed, 1000);
  EXPECT_GT(play.endsReplayed, 100);
  EXPECT_GT(o.recordRuns, 0);
}

INSTANTIATE_TEST_SUITE_P(EightRuns, RandomPlayTest, ::testing::Range(0, kRuns));

}  // namespace
}  // namespace porteka::test
