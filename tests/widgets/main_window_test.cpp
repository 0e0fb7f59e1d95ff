#include <QApplication>
#include <QDir>
#include <QKeyEvent>
#include <QLabel>
#include <QKeySequence>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPushButton>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <functional>
#include <gtest/gtest.h>
#include <xcb/xproto.h>

#include <algorithm>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>

#include "desktop/close_on_signals.h"
#include "desktop/window_destroyed_watch.h"
#include "game/form1.h"
#include "game/game_flow.h"
#include "game/level.h"
#include "game/new_board.h"
#include "records/new_record_dialog.h"
#include "records/records_file.h"
#include "records/statistics_dialog.h"
#include "records/statistics_file.h"
#include "render/counter_strip.h"
#include "render/picture_surface.h"
#include "render/sheet_loader.h"
#include "tools/replay/state_line.h"
#include "runs/game_runs.h"
#include "ui/placement.h"
#include "ui/zoom.h"

namespace porteka {
namespace {

// The main window driven by real Qt events, as the window system would send
// them, in a scratch directory so no records file lands anywhere that matters.
class MainWindowTest : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(scratch_.isValid());
    previous_ = QDir::currentPath();
    QDir::setCurrent(scratch_.path());
    form_ = std::make_unique<Form1>(12345u);
    form_->StartUp(/*showTitleCard=*/false);
    form_->activateWindow();
    (void)QTest::qWaitForWindowActive(form_.get(), 1000);
  }
  void TearDown() override {
    form_.reset();
    SetZoom(1);  // the dialogs of later tests lay out at 1
    QDir::setCurrent(previous_);
  }

  Game& game() { return form_->game(); }
  QWidget* board() { return static_cast<QWidget*>(form_->Picture1()); }

  void Mouse(QEvent::Type type, QPointF at, Qt::MouseButton button, Qt::MouseButtons held,
             Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    QMouseEvent event(type, at, board()->mapToGlobal(at), button, held, modifiers);
    QApplication::sendEvent(board(), &event);
  }
  void Press(QPointF at, Qt::MouseButton button) { Mouse(QEvent::MouseButtonPress, at, button, button); }
  void Move(QPointF at, Qt::MouseButtons held) { Mouse(QEvent::MouseMove, at, Qt::NoButton, held); }

  // Keys go where the window system puts them: the focused control, or the window.
  void Key(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier, bool autoRepeat = false) {
    QWidget* target = QApplication::focusWidget() != nullptr ? QApplication::focusWidget() : form_.get();
    QKeyEvent event(QEvent::KeyPress, key, modifiers, QString(), autoRepeat);
    QApplication::sendEvent(target, &event);
  }

  // Runs the action, closing each dialog it opens as soon as it is up; gives
  // the dialogs' titles, and checks that each opened centred over the main
  // window (within the pixel that halving an odd size loses) and that the main
  // window then has the keys.
  QStringList CloseDialogs(const std::function<void()>& action) {
    QStringList titles;
    QTimer closer;
    QObject::connect(&closer, &QTimer::timeout, [&] {
      if (QWidget* dialog = QApplication::activeModalWidget()) {
        titles << dialog->windowTitle();
        const QPoint offCentre = dialog->frameGeometry().center() - form_->frameGeometry().center();
        EXPECT_TRUE(std::abs(offCentre.x()) <= 1 && std::abs(offCentre.y()) <= 1)
            << titles.back().toStdString() << " off centre by " << offCentre.x() << "," << offCentre.y();
        dialog->close();
      }
    });
    closer.start(5);
    action();
    EXPECT_TRUE(QTest::qWaitForWindowActive(form_.get(), 500)) << titles.join(",").toStdString();
    return titles;
  }

  // A hand-laid custom board.
  void Deal(int16_t width, int16_t height, std::initializer_list<std::pair<int16_t, int16_t>> bombs) {
    std::vector<std::pair<int16_t, int16_t>> list(bombs);
    game().gro.GameLevel = Level::Custom;
    SetCustomBoard(game(), width, height, static_cast<int16_t>(list.size()));
    StartGame(game(), list);
  }

  // The frame loop for this long: a few frames.
  void RunFrames(int milliseconds) {
    QTimer::singleShot(milliseconds, form_.get(), [this] { game().loop.LoopRunning = 0; });
    form_->MainLoop();
  }

  int CountState(Cover state) {
    int n = 0;
    for (int y = 0; y < game().gro.BoardHeight; ++y)
      for (int x = 0; x < game().gro.BoardWidth; ++x) n += game().board.State(x, y) == state;
    return n;
  }

  QTemporaryDir scratch_;
  QString previous_;
  std::unique_ptr<Form1> form_;
};

// Until a board is dealt, moves and keys change nothing; opening the Game
// menu deals one.
TEST_F(MainWindowTest, StartsAtIntermediateWithNoBoardUntilTheGameMenuOpens) {
  EXPECT_EQ(game().gro.GameLevel, Level::Intermediate);
  EXPECT_EQ(form_->centralWidget()->size(), QSize(256, 281));
  EXPECT_EQ(board()->geometry(), QRect(0, 25, 256, 256));
  Move({40, 40}, Qt::LeftButton);
  Move({60, 40}, Qt::MiddleButton);
  Press({60, 40}, Qt::RightButton);
  Key(Qt::Key_A, Qt::ControlModifier);
  EXPECT_EQ(game().board.GameState, GamePhase::Over);
  EXPECT_EQ(game().board.CoveredCount, 0);
  for (Cover state : game().board.CellState) EXPECT_EQ(state, Cover::Open);

  const uint32_t before = static_cast<PortableRandom&>(form_->random()).state();
  QMetaObject::invokeMethod(form_->StartMenu(), "aboutToShow");
  EXPECT_EQ(game().board.GameState, GamePhase::Waiting);
  EXPECT_NE(static_cast<PortableRandom&>(form_->random()).state(), before);
  EXPECT_EQ(game().gro.GameLevel, Level::Intermediate);
}

TEST(ScreenPlaceTest, AWindowMovesAsLittleAsItTakesToLieOnTheScreen) {
  const QRect area(100, 30, 640, 450);  // a panel on the left and one on top
  const std::pair<QRect, QPoint> cases[] = {
      {{300, 100, 200, 200}, {300, 100}},  // inside: it stays
      {{291, 70, 488, 321}, {252, 70}},    // past the right edge: back by as much
      {{90, 20, 200, 200}, {100, 30}},     {{600, 400, 200, 200}, {540, 280}},
      {{226, 20, 514, 577}, {226, 30}},    // too tall: its top on the area
      {{500, 300, 700, 500}, {100, 30}},   // too big both ways: the top-left
  };
  for (const auto& [frame, want] : cases) EXPECT_EQ(KeptWithin(frame, area), want) << frame.x() << "," << frame.y();
}

TEST_F(MainWindowTest, WindowFollowsTheLevelLayoutAndStaysOnTheScreen) {
  form_->Kaisi_Click(Level::Beginner);
  EXPECT_EQ(form_->centralWidget()->size(), QSize(256, 287));
  EXPECT_EQ(board()->geometry(), QRect(64, 89, 128, 128));
  const QRect screen = form_->screen()->availableGeometry();
  form_->move(screen.right() - 300, screen.top() + 10);
  form_->Kaisi_Click(Level::Advanced);
  QCoreApplication::processEvents();  // the resize, however late it comes
  EXPECT_TRUE(screen.contains(form_->frameGeometry())) << form_->frameGeometry().x();
  EXPECT_EQ(static_cast<QWidget*>(form_->Picture6())->x(), 228);
  EXPECT_EQ(static_cast<QWidget*>(form_->Picture7())->x(), 112);  // 111.5, halves to even
}

// The board's mouse events as Qt delivers them: a press only remembers its
// pixel (rounded half to even), moves pass the buttons held, also past the
// surface's edge, and a double click after a left drag opens every marked cell.
// At a zoom of k, window pixel (k X, k Y) is board pixel (X, Y): a press at
// (41, 71) at 2 is one at (20.5, 35.5). What each button does on the board is
// the rules' business.
TEST_F(MainWindowTest, MouseEventsReachTheBoardWithTheirButtonsAndPosition) {
  for (const float k : {1.0f, 2.0f}) {
    form_->Zoom_Click(static_cast<int>(k));
    Deal(8, 8, {{7, 7}});
    Press({20.5f * k, 35.5f * k}, Qt::LeftButton);
    EXPECT_EQ(game().pointer.PointerX, 20);
    EXPECT_EQ(game().pointer.PointerY, 36);
    EXPECT_EQ(game().board.GameState, GamePhase::Waiting);  // a press alone does not start the clock
    const std::pair<Qt::MouseButtons, int16_t> buttons[] = {
        {Qt::LeftButton, 1}, {Qt::RightButton, 2}, {Qt::MiddleButton, 4}, {Qt::LeftButton | Qt::RightButton, 3}};
    for (const auto& [held, sum] : buttons) {
      Move({-40, 300 * k}, held);
      EXPECT_EQ(game().pointer.LastButton, sum);
    }
    EXPECT_EQ(game().board.GameState, GamePhase::Running);
    Move({56 * k, 8 * k}, Qt::RightButton);
    EXPECT_EQ(game().board.State(3, 0), Cover::Flag);
    Key(Qt::Key_A);
    Press({120 * k, 8 * k}, Qt::LeftButton);
    Key(Qt::Key_A);
    Move({120.5f * k, 8 * k}, Qt::LeftButton);  // a marked cell holds against the left button
    EXPECT_EQ(game().board.State(7, 0), Cover::KeyboardMark);
    Mouse(QEvent::MouseButtonDblClick, {120.5f * k, 8 * k}, Qt::LeftButton, Qt::LeftButton);
    EXPECT_EQ(game().board.State(1, 2), Cover::Open);
    EXPECT_EQ(game().board.State(7, 0), Cover::Open);
  }
}

// Qt's key events, as the window system sends them, on the selected cell
// (1, 1) of a fresh board; no frame runs, so nothing spreads. Ctrl+A reaches
// the game once whichever control has the focus: twice, it would undo itself.
TEST_F(MainWindowTest, EveryBoardKeyActsOnTheSelectedCell) {
  const struct {
    Qt::Key key;
    Qt::KeyboardModifiers modifiers;
    bool autoRepeat;
    Cover selected;
    int open;
  } cases[] = {
      {Qt::Key_Z, Qt::NoModifier, false, Cover::Open, 1},
      {Qt::Key_Escape, Qt::ShiftModifier, false, Cover::Open, 1},
      {Qt::Key_X, Qt::NoModifier, false, Cover::Open, 9},
      {Qt::Key_Space, Qt::NoModifier, true, Cover::Open, 9},
      {Qt::Key_C, Qt::NoModifier, false, Cover::Flag, 0},
      {Qt::Key_Return, Qt::NoModifier, true, Cover::Flag, 0},
      {Qt::Key_Enter, Qt::KeypadModifier, false, Cover::Flag, 0},
      {Qt::Key_A, Qt::ControlModifier | Qt::ShiftModifier, false, Cover::KeyboardMark, 0},
      {Qt::Key_A, Qt::NoModifier, true, Cover::KeyboardMark, 0},
      {Qt::Key_B, Qt::NoModifier, false, Cover::Covered, 0},
  };
  for (const auto& c : cases) {
    Deal(8, 8, {{7, 7}});
    Press({24, 24}, Qt::LeftButton);
    Key(c.key, c.modifiers, c.autoRepeat);
    EXPECT_EQ(game().board.State(1, 1), c.selected) << QKeySequence(c.key).toString().toStdString();
    EXPECT_EQ(CountState(Cover::Open), c.open) << QKeySequence(c.key).toString().toStdString();
  }
  Key(Qt::Key_A, Qt::ControlModifier);
  EXPECT_EQ(CountState(Cover::KeyboardMark), 64);
  form_->Picture1()->setFocusPolicy(Qt::StrongFocus);
  form_->Picture1()->setFocus();
  Key(Qt::Key_A, Qt::ControlModifier);
  EXPECT_EQ(CountState(Cover::Covered), 64);
}

// With the focus on the board, a key passes the board and its parents on its
// way up; it moves the selection once all the same.
TEST_F(MainWindowTest, ArrowsMoveTheSelectionAndAltAMarksItThenShowsTheCard) {
  Deal(8, 8, {{7, 7}});
  Press({8, 8}, Qt::LeftButton);
  form_->Picture1()->setFocusPolicy(Qt::StrongFocus);
  form_->Picture1()->setFocus();
  Key(Qt::Key_Right, Qt::NoModifier, true);
  Key(Qt::Key_Down, Qt::ShiftModifier);
  // Alt+A marks like A, and then the menu bar's mnemonic asks for the card.
  EXPECT_EQ(CloseDialogs([&] { Key(Qt::Key_A, Qt::AltModifier); }), QStringList{"Form3"});
  EXPECT_EQ(game().board.State(1, 1), Cover::KeyboardMark);
  EXPECT_EQ(CountState(Cover::KeyboardMark), 1);
}

// A double click comes as press, release, double click, release: one board.
TEST_F(MainWindowTest, FaceButtonClickStartsAGameAndADoubleClickOnlyOne) {
  QWidget* face = static_cast<QWidget*>(form_->Picture6());
  PortableRandom oneDeal = static_cast<PortableRandom&>(form_->random());
  SilentOutside silent;
  Game shadow(oneDeal, silent);
  shadow.gro = game().gro;
  StartGame(shadow);
  for (QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease, QEvent::MouseButtonDblClick,
                            QEvent::MouseButtonRelease}) {
    const Qt::MouseButtons held = type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton;
    QMouseEvent event(type, QPointF(12, 12), face->mapToGlobal(QPointF(12, 12)), Qt::LeftButton, held, Qt::NoModifier);
    QApplication::sendEvent(face, &event);
  }
  EXPECT_EQ(game().board.GameState, GamePhase::Waiting);
  EXPECT_EQ(CountState(Cover::Covered), 256);
  EXPECT_EQ(static_cast<PortableRandom&>(form_->random()).state(), oneDeal.state());
}

// The accelerators work without opening a menu, and after every dialog
// however it closes: the main window is active again and takes the keys.
TEST_F(MainWindowTest, AcceleratorsWorkWithoutAMenuAndAfterEveryDialog) {
  Key(Qt::Key_F1);
  EXPECT_EQ(game().gro.GameLevel, Level::Beginner);
  EXPECT_EQ(game().board.GameState, GamePhase::Waiting);
  EXPECT_EQ(CloseDialogs([&] { form_->Kaisi_Click(Level::Custom); }), QStringList{"カスタム"});
  Key(Qt::Key_F3);
  EXPECT_EQ(game().gro.BoardWidth, 30);
  EXPECT_EQ(CloseDialogs([&] { form_->varsion_Click(); }), QStringList{"Form3"});
  EXPECT_EQ(CloseDialogs([&] { form_->goodtime_Click(); }).size(), 1);
  game().gro.ElapsedTime = 30;  // an advanced board in a second: a record
  EXPECT_EQ(CloseDialogs([&] { form_->OfferRecord(); }).size(), 1);
  game().board.GameState = GamePhase::Over;
  Key(Qt::Key_S, Qt::ControlModifier);
  EXPECT_EQ(game().board.GameState, GamePhase::Waiting);
  EXPECT_EQ(game().gro.GameLevel, Level::Advanced);
}

// At each zoom the interior and everything in it are k times as large and as
// far in, the menu bar keeps its size, and the board shows each pixel it
// draws as a k x k block.
TEST_F(MainWindowTest, EachZoomShowsTheWindowKTimesAsLargeAndTheBoardInBlocks) {
  form_->Kaisi_Click(Level::Beginner);
  RunFrames(100);
  QWidget* const parts[] = {board(), form_->Picture6(), form_->Picture7()};
  std::vector<QRect> atOne;
  for (QWidget* part : parts) atOne.push_back(part->geometry());
  const QSize interior = form_->centralWidget()->size();
  const int menuBar = form_->menuBar()->height();
  // Where the counters' text lies on the strip: k times as far in and as
  // large, give or take the font's own rounding.
  const auto text = [this] {
    const Surface& strip = form_->Picture7()->image();
    QRect box;
    for (int y = 0; y < strip.height; ++y) {
      for (int x = 0; x < strip.width; ++x) box |= (strip.At(x, y) & 0xffffffu) != 0 ? QRect(x, y, 1, 1) : QRect();
    }
    return box;
  };
  const QRect textAtOne = text();
  ASSERT_GT(textAtOne.width(), 100);
  for (int k = kMaxZoom; k >= kMinZoom; --k) {
    form_->Zoom_Click(k);
    ASSERT_EQ(form_->zoom(), k);
    EXPECT_EQ(form_->centralWidget()->size(), interior * k);
    EXPECT_EQ(form_->menuBar()->height(), menuBar);
    for (size_t i = 0; i < atOne.size(); ++i) {
      EXPECT_EQ(parts[i]->geometry(), QRect(atOne[i].topLeft() * k, atOne[i].size() * k)) << "zoom " << k;
    }
    const QRect textAtK = text();
    EXPECT_NEAR(textAtK.left(), textAtOne.left() * k, k);
    EXPECT_NEAR(textAtK.width(), textAtOne.width() * k, 2 * k);
    EXPECT_NEAR(textAtK.height(), textAtOne.height() * k, 2 * k);
    const QImage shown = board()->grab().toImage().convertToFormat(QImage::Format_RGB32);
    const Surface& drawn = form_->Picture1()->shown();
    int wrong = 0;
    for (int y = 0; y < shown.height(); ++y) {
      for (int x = 0; x < shown.width(); ++x) wrong += shown.pixel(x, y) != drawn.At(x / k, y / k);
    }
    EXPECT_EQ(wrong, 0) << "zoom " << k;
  }
}

// A chain of explosions in flight: changing the zoom back and forth leaves
// the whole state (as the replay tool dumps it) and the board's picture as
// they were; no frame runs for it.
TEST_F(MainWindowTest, ZoomChangesMidChainKeepTheGameAsItIs) {
  Deal(8, 8, {{2, 2}, {3, 3}, {4, 4}, {6, 1}});
  Press({104, 24}, Qt::LeftButton);
  Key(Qt::Key_A);
  Move({40, 40}, Qt::LeftButton);
  RunFrames(80);
  ASSERT_TRUE(std::any_of(game().effects.Explosions.begin(), game().effects.Explosions.end(), [](auto& r) { return r.Phase; }));
  replay::Recorder nothing;
  const std::string before = replay::StateLine(0, "", game(), nothing, 0);
  const std::vector<uint32_t> picture = form_->Picture1()->shown().pixels;
  for (int k : {3, 2, 4, 1}) form_->Zoom_Click(k);
  EXPECT_EQ(replay::StateLine(0, "", game(), nothing, 0), before);
  EXPECT_EQ(form_->Picture1()->shown().pixels, picture);
}

// The largest board does not fit the screen at 3 or 4: those entries are
// greyed out, the window shows the largest factor that fits, and the keys go
// no further; the factor chosen comes back with a board that fits it. The
// zoom keys change no cell.
TEST_F(MainWindowTest, AZoomThatDoesNotFitIsGreyedOutAndComesBackWhereItFits) {
  for (Qt::Key key : {Qt::Key_Plus, Qt::Key_Equal, Qt::Key_Equal}) Key(key, Qt::ControlModifier);
  EXPECT_EQ(form_->zoom(), 4);
  Deal(32, 32, {{0, 0}});
  EXPECT_EQ(form_->zoom(), 2);
  const QList<QAction*> entries = form_->ViewMenu()->actions();  // 1 to 4, a separator, larger, smaller
  EXPECT_TRUE(entries[1]->isChecked() && entries[1]->isEnabled() && !entries[2]->isEnabled() &&
              !entries[3]->isEnabled() && !entries[5]->isEnabled());
  Key(Qt::Key_Plus, Qt::ControlModifier);
  EXPECT_EQ(form_->zoom(), 2);
  EXPECT_EQ(CountState(Cover::Covered), 1024);
  form_->Kaisi_Click(Level::Intermediate);
  EXPECT_EQ(form_->zoom(), 4);
  Key(Qt::Key_Minus, Qt::ControlModifier);
  EXPECT_EQ(form_->zoom(), 3);
  Key(Qt::Key_0, Qt::ControlModifier);
  EXPECT_EQ(form_->zoom(), 1);
  EXPECT_EQ(form_->chosenZoom(), 1);
}

// A run watched in the window, the loop's clock in the test's hand: a frame
// every 1/30 s, none of the player's input reaching its game, no records
// check; a key, a menu choice or a press stops it and does nothing else, with
// a fresh board of the run's level. Played to its end, its last picture
// stays. The last finished game is watched the same way, from memory.
TEST_F(MainWindowTest, WatchingPlaysARunAtThirtyFramesASecondUntilTheWindowIsTouched) {
  GameRuns& runs = form_->runs();
  BlankCanvas canvas;
  // Beginner, won by a move over the corner that opens every safe cell.
  const std::string run = R"({"level":0,"bombs":[[0,6],[1,6],[0,7],[1,7],[2,7],[3,7],[4,7],[5,7],[6,7],[7,7]],
      "events":[{"do":"frames","n":2},{"do":"mousemove","button":1,"x":8,"y":8},{"do":"frames","n":80}]})";
  uint32_t now = 1000;
  const auto play = [&](uint32_t ms) {
    int frames = 0;
    for (const uint32_t end = now + ms; now < end; ++now) frames += runs.LoopTurn(canvas, now);
    return frames;
  };
  const std::function<void()> stops[] = {
      [&] { Key(Qt::Key_Z); },
      [&] { form_->Kaisi_Click(Level::Advanced); },
      [&] {
        Press({100, 100}, Qt::LeftButton);
        Move({101, 100}, Qt::LeftButton);
        Mouse(QEvent::MouseButtonRelease, {101, 100}, Qt::LeftButton, Qt::NoButton);
      },
  };
  for (const auto& stop : stops) {
    ASSERT_TRUE(runs.Watch(run, now));
    EXPECT_EQ(form_->windowTitle(), "ポルテカ - 再生中");
    EXPECT_EQ(play(1000), 30);
    Move({90, 90}, Qt::NoButton);
    EXPECT_EQ(game().pointer.LastButton, 1);
    EXPECT_TRUE(runs.watching());
    stop();
    EXPECT_FALSE(runs.watching());
    EXPECT_EQ(form_->windowTitle(), "ポルテカ");
    EXPECT_EQ(game().gro.GameLevel, Level::Beginner);
    EXPECT_EQ(CountState(Cover::Covered), 64);
    EXPECT_EQ(game().pointer.PointerX, 0);
  }
  ASSERT_TRUE(runs.Watch(run, now));
  EXPECT_EQ(play(10000), 82);
  EXPECT_TRUE(runs.watching());
  EXPECT_EQ(game().board.GameState, GamePhase::Over);
  EXPECT_EQ(CountState(Cover::Covered), 10);
  EXPECT_FALSE(std::filesystem::exists(kRecordsFileName)) << "a records check for a watched win";

  // A game lost on the fresh board, its blasts gone: watched again, it ends the same.
  Key(Qt::Key_Space);
  int bomb = 0;
  while (game().board.CellValue[bomb] != kBomb) ++bomb;
  const QPointF at(16 * (bomb % kArraySide) + 8, 16 * (bomb / kArraySide) + 8);
  Press(at, Qt::LeftButton);
  Move(at, Qt::LeftButton);
  play(5000);
  const auto lost = game().board.CellState;
  ASSERT_TRUE(runs.HasLastGame());
  ASSERT_TRUE(runs.WatchLastGame(now));
  play(10000);
  EXPECT_EQ(game().board.CellState, lost);
  // Watched and followed by a new game, it is still the last game to watch.
  EXPECT_TRUE(runs.Stop());
  Key(Qt::Key_F1);
  ASSERT_TRUE(runs.HasLastGame());
  ASSERT_TRUE(runs.WatchLastGame(now));
  play(10000);
  EXPECT_EQ(game().board.CellState, lost);
}

// A logout's SIGTERM, Ctrl+C's SIGINT or a closed terminal's SIGHUP while the
// new-record dialog holds a typed name: the dialog closes and saves that name,
// then the main window closes and the frame loop ends.
TEST_F(MainWindowTest, EndingSignalsCloseTheRecordDialogThenTheWindow) {
  const CloseOnSignals closeOnSignals(*form_);
  for (const int signal : {SIGTERM, SIGINT, SIGHUP}) {
    game().gro.GameLevel = Level::Beginner;
    game().gro.ElapsedTime = 100 + signal;
    const QString name = "signal " + QString::number(signal);
    QTimer::singleShot(0, form_.get(), [&] {
      QTimer::singleShot(0, form_.get(), [&] {
        auto* dialog = qobject_cast<Form4*>(QApplication::activeModalWidget());
        if (dialog == nullptr) return form_->end_Click();
        dialog->Text1()->setText(name);
        std::raise(signal);
      });
      form_->OfferRecord();
    });
    form_->MainLoop();
    EXPECT_FALSE(form_->isVisible());
    form_->records().Finish();
    EXPECT_EQ(ReadRecords(kRecordsFileName)->at(0), (Record{name.toStdString(), 100 + signal}));
    form_->show();
  }
}

// The menus as the player reads them, a separator as "-", each entry with its
// keys: the groups, the mnemonics and the accelerators.
TEST_F(MainWindowTest, TheMenusShowEveryEntryInItsGroupWithItsKeys) {
  QStringList lines;
  const std::function<void(const QMenu*, const QString&)> list = [&](const QMenu* menu, const QString& indent) {
    for (const QAction* entry : menu->actions()) {
      const QString keys = entry->shortcut().toString();
      lines << indent + (entry->isSeparator() ? QStringLiteral("-") : entry->text()) + (keys.isEmpty() ? "" : " " + keys);
      if (entry->menu() != nullptr) list(entry->menu(), indent + "  ");
    }
  };
  for (const QAction* top : form_->menuBar()->actions()) {
    lines << top->text();
    if (top->menu() != nullptr) list(top->menu(), "  ");
  }
  EXPECT_EQ(lines, QString(R"(爆弾(&G)
  処理(&S)
    初級開始(&F) F1
    中級開始(&S) F2
    上級開始(&T) F3
    カスタム開始(&C) F4
    -
    現在の設定で開始(&N) Ctrl+S
  -
  前の勝負を再生(&R)
  -
  記録達(&H)
  統計(&T)
  -
  逃げる！(&E)
表示(&V)
  1倍(&1) Ctrl+0
  2倍(&2)
  3倍(&3)
  4倍(&4)
  -
  拡大(&I) Ctrl++
  縮小(&O) Ctrl+-
バージョン情報(&A))").split('\n'));
}

// Clearing the statistics from the window's dialog shows them cleared at once:
// the cleared file is written before the dialog reads it again.
TEST_F(MainWindowTest, ClearedStatisticsShowAtOnce) {
  Statistics statistics;
  CountGame(statistics, GameResult{Level::Beginner, GameOutcome::Won, 370, 11});
  std::ofstream(kStatisticsFileName, std::ios::binary) << SerializeStatistics(statistics);
  QStringList played;
  QTimer::singleShot(0, form_.get(), [&] {
    auto* dialog = dynamic_cast<StatisticsDialog*>(QApplication::activeModalWidget());
    if (dialog == nullptr) return;
    played << dialog->Figure("played", 0)->text();
    QTimer::singleShot(0, dialog, [] {
      const auto* question = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
      for (QAbstractButton* choice : question != nullptr ? question->buttons() : QList<QAbstractButton*>()) {
        if (choice->text() == QStringLiteral("消す")) choice->click();
      }
    });
    dialog->ClearButton()->click();
    played << dialog->Figure("played", 0)->text();
    dialog->close();
  });
  form_->toukei_Click();
  EXPECT_EQ(played, (QStringList{"1", "0"}));
}

// The game draws with the committed pictures themselves: a sheet whose size
// is not the one the game expects would load blank.
TEST(PictureSurfaceTest, TheSpriteSheetsAreTheGamesPictures) {
  const SpriteSheets sheets = LoadSpriteSheets();
  const std::pair<const Surface*, QString> pictures[] = {{&sheets.cells, "cells"}, {&sheets.openFlash, "open_flash"},
                                                         {&sheets.explosion, "explosion"}, {&sheets.faces, "faces"}};
  for (const auto& [sheet, name] : pictures) {
    EXPECT_EQ(AsImage(*sheet), QImage(":/art/" + name + ".png").convertToFormat(QImage::Format_RGB32)) << name.toStdString();
  }
}

// Until something is presented, a surface shows its background colour, not
// whatever the window system had there.
TEST(PictureSurfaceTest, ShowsItsBackgroundUntilSomethingIsPresented) {
  PictureSurface surface(nullptr);
  surface.ResizeImage(10, 6, Rgb(1, 2, 3));
  const QImage shown = surface.grab().toImage();
  EXPECT_EQ(shown.size(), QSize(10, 6));
  EXPECT_EQ(shown.pixelColor(9, 5), QColor(1, 2, 3));
}

// A signal that comes while the title card is still up closes the main
// window as soon as it shows.
TEST_F(MainWindowTest, AnEndingSignalBeforeTheWindowShowsClosesItWhenItDoes) {
  form_->hide();
  const CloseOnSignals closeOnSignals(*form_);
  std::raise(SIGTERM);
  QTest::qWait(30);
  form_->show();
  EXPECT_TRUE(QTest::qWaitFor([&] { return !form_->isVisible(); }, 1000));
}

// Only the end of the shown window's own X window, news from outside, ends
// the game: a move, a resize, a minimise (events of the same shape), another
// window's end or the end of a hidden window do not.
TEST_F(MainWindowTest, OnlyTheShownWindowDestroyedFromOutsideEndsTheGame) {
  int ends = 0;
  WindowDestroyedWatch watch(form_.get(), [&] { ++ends; });
  const auto window = static_cast<xcb_window_t>(form_->internalWinId());
  const auto deliver = [&](uint8_t type, xcb_window_t id) {
    xcb_generic_event_t event{};  // the full 32 bytes every X event has
    xcb_destroy_notify_event_t destroy{};
    destroy.response_type = type;
    destroy.event = destroy.window = id;
    std::memcpy(&event, &destroy, sizeof destroy);
    EXPECT_FALSE(watch.nativeEventFilter("xcb_generic_event_t", &event, nullptr));
  };
  for (const uint8_t type : {XCB_CONFIGURE_NOTIFY, XCB_UNMAP_NOTIFY, XCB_MAP_NOTIFY, XCB_REPARENT_NOTIFY}) {
    deliver(type, window);
  }
  deliver(XCB_DESTROY_NOTIFY, window + 1);
  EXPECT_EQ(ends, 0);
  deliver(XCB_DESTROY_NOTIFY | 0x80, window);  // sent by another client
  EXPECT_EQ(ends, 1);
  form_->hide();
  deliver(XCB_DESTROY_NOTIFY, window);
  EXPECT_EQ(ends, 1);
}

}  // namespace
}  // namespace porteka
