#pragma once

#include <QElapsedTimer>
#include <QMainWindow>
#include <array>
#include <cstdint>
#include <filesystem>
#include <memory>

#include "game/game.h"
#include "game/random.h"
#include "records/file_worker.h"
#include "records/record_keeper.h"
#include "records/statistics_keeper.h"
#include "render/board_painter.h"
#include "runs/game_runs.h"

class QAction;
class QDialog;
class QMenu;

namespace porteka {

class BoardSurface;
class CounterStrip;
class FaceButton;
class FormBackground;
class WatchGuard;
class WindowDestroyedWatch;

// The main window: the menus, the counter strip, the face button and the board
// surface, all drawn from the rules' state. It is the rules' outside world:
// sounds, faces and the records check come through here; every frame draws on
// its board painter.
class Form1 : public QMainWindow, public Outside {
 public:
  // The seed is taken from the clock at start-up; tests pass their own.
  explicit Form1(uint32_t seed = ClockSeed());
  ~Form1() override;

  // The whole run: start-up, then the frame loop until the window unloads.
  void Form_Load();
  // Start-up up to the loop; the title card can be left out for tests.
  void StartUp(bool showTitleCard = true);
  void MainLoop();

  Game& game() { return game_; }
  RandomSource& random() { return random_; }
  RecordKeeper& records() { return records_; }
  GameRuns& runs() { return runs_; }
  // The board surface.
  BoardSurface* Picture1() const { return picture1_; }
  // The face button.
  FaceButton* Picture6() const { return picture6_; }
  // The counter strip.
  CounterStrip* Picture7() const { return picture7_; }
  // "処理(&S)", the submenu of new games.
  QMenu* StartMenu() const { return start_; }
  // "表示(&V)": one entry per zoom, then larger and smaller.
  QMenu* ViewMenu() const { return view_; }

  // The settings file: the zoom kept there is taken at once, and every zoom
  // the player chooses is kept there.
  void UseSettingsFile(std::filesystem::path file);
  // A zoom from the 表示 menu or its keys, kept as the player's choice. The
  // window shows the largest factor up to it that fits the screen, at every
  // level; the game itself goes on untouched.
  void Zoom_Click(int factor);
  // The factor shown now, and the one the player chose.
  int zoom() const { return zoom_; }
  int chosenZoom() const { return chosenZoom_; }

  // A level from the 処理 submenu or F1 to F4: a fixed one deals at once, custom asks first.
  void Kaisi_Click(Level level);
  // "現在の設定で開始(&N)" or Ctrl+S: a new board at the current settings.
  void KaisiNow_Click();
  // Opening the 処理 submenu: a new board too.
  void Start_Click();
  // A click on the face button: a new board.
  void Picture6_Click();
  // "記録達(&H)": the records list.
  void goodtime_Click();
  // "統計(&T)": the statistics.
  void toukei_Click();
  // "バージョン情報(&A)": the title card.
  void varsion_Click();
  // "逃げる！(&E)": closes the window, which ends the loop.
  void end_Click();
  // Plays a run in the window (see GameRuns); false when it cannot be played.
  bool WatchRun(std::string_view run);

  // Outside.
  void PlaySound(SoundCue cue) override;
  void DrawFace(Face face) override;
  void OfferRecord() override;
  void LayOutWindow() override;
  void DrawCounters(std::string_view timeText, std::string_view bombsText) override;
  void NoteGame(GameMoment moment) override;

 protected:
  void closeEvent(QCloseEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void BuildMenus();
  void BuildViewMenu();
  // Lays the controls out at the largest fitting zoom up to the chosen one.
  void ShowAtZoom();
  bool ZoomFits(int factor) const;
  void Form_Unload();
  void ShowModal(QDialog& dialog);
  void KeepOnScreen(bool centre);
  void WindowDestroyed();
  void ShowSaveFailure(const RecordKeeper::Failure& failure);
  uint32_t Now() const;

  uint32_t seed_;
  PortableRandom random_;
  Game game_;
  SpriteSheets sheets_;
  BoardPainter painter_;
  QElapsedTimer clock_;
  // The player's files are written off the thread that draws.
  FileWorker files_;
  RecordKeeper records_;
  StatisticsKeeper statistics_;
  // Every call into the rules goes through here, to be kept as a run.
  GameRuns runs_;

  FormBackground* form_ = nullptr;
  BoardSurface* picture1_ = nullptr;
  FaceButton* picture6_ = nullptr;
  CounterStrip* picture7_ = nullptr;
  QMenu* start_ = nullptr;
  QMenu* view_ = nullptr;
  std::array<QAction*, 4> zoomEntries_{};
  QAction* zoomIn_ = nullptr;
  QAction* zoomOut_ = nullptr;
  int chosenZoom_ = 1;
  int zoom_ = 1;
  std::filesystem::path settingsFile_;
  std::unique_ptr<WindowDestroyedWatch> destroyedWatch_;
  std::unique_ptr<WatchGuard> watchGuard_;
  bool inFrame_ = false;
};

}  // namespace porteka
