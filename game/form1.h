#pragma once

#include <QElapsedTimer>
#include <QMainWindow>
#include <array>
#include <cstdint>
#include <memory>

#include "game/game.h"
#include "game/random.h"
#include "render/board_painter.h"

class QAction;
class QDialog;
class QMenu;

namespace porteka {

class BoardSurface;
class CounterStrip;
class FaceButton;
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
  BoardSurface* Picture1() const { return picture1_; }
  FaceButton* Picture6() const { return picture6_; }
  CounterStrip* Picture7() const { return picture7_; }
  QMenu* StartMenu() const { return start_; }

  // Menu handlers.
  void Kaisi_Click(int index);
  void KaisiNow_Click();
  void Start_Click();
  void Picture6_Click();
  void goodtime_Click();
  void varsion_Click();
  void end_Click();

  // Outside.
  void PlaySound(SoundCue cue) override;
  void DrawFace(Face face) override;
  void CheckRecord() override;
  void LayOutWindow() override;
  void DrawCounters(std::string_view timeText, std::string_view bombsText) override;

 protected:
  void closeEvent(QCloseEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void BuildMenus();
  void Form_Unload();
  void ShowModal(QDialog& dialog);
  void KeepOnScreen(bool centre);
  void WindowDestroyed();
  uint32_t Now() const;

  uint32_t seed_;
  PortableRandom random_;
  Game game_;
  SpriteSheets sheets_;
  BoardPainter painter_;
  QElapsedTimer clock_;

  QWidget* form_ = nullptr;
  BoardSurface* picture1_ = nullptr;
  FaceButton* picture6_ = nullptr;
  CounterStrip* picture7_ = nullptr;
  QMenu* start_ = nullptr;
  std::unique_ptr<WindowDestroyedWatch> destroyedWatch_;
  bool inFrame_ = false;
};

}  // namespace porteka
