#include "game/form1.h"

#include <QApplication>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QLayout>
#include <QMenuBar>
#include <QPainter>
#include <QScreen>
#include <QTimer>
#include <utility>

#include "dialogs/custom_board_dialog.h"
#include "dialogs/title_card.h"
#include "game/game_flow.h"
#include "game/level.h"
#include "game/new_board.h"
#include "desktop/window_destroyed_watch.h"
#include "input/keyboard.h"
#include "input/mouse.h"
#include "input/virtual_keys.h"
#include "records/new_record_dialog.h"
#include "records/records_dialog.h"
#include "records/records_file.h"
#include "records/save_failed_dialog.h"
#include "records/statistics_dialog.h"
#include "render/counter_strip.h"
#include "render/frame.h"
#include "render/picture_surface.h"
#include "render/sheet_loader.h"
#include "runs/watch_guard.h"
#include "sound/load_sounds.h"
#include "sound/stools.h"
#include "ui/placement.h"
#include "ui/settings_file.h"
#include "ui/zoom.h"

namespace porteka {
namespace {

constexpr int kFaceSize = 24;
constexpr int kRedLineRow = 24;

}  // namespace

// The window's own surface: black, with the red line under the counter strip,
// as thick as the zoom.
class FormBackground : public QWidget {
 public:
  explicit FormBackground(QWidget* parent) : QWidget(parent) { setAttribute(Qt::WA_OpaquePaintEvent); }
  void SetZoom(int zoom) {
    if (zoom == zoom_) return;
    zoom_ = zoom;
    update();
  }

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter painter(this);
    painter.fillRect(rect(), Qt::black);
    painter.fillRect(QRect(0, kRedLineRow * zoom_, width(), zoom_), QColor(255, 0, 0));
  }

 private:
  int zoom_ = 1;
};

Form1::Form1(uint32_t seed)
    : seed_(seed),
      random_(seed),
      game_(random_, *this),
      sheets_(LoadSpriteSheets()),
      painter_(sheets_),
      records_(kRecordsFileName, files_, [this](const RecordKeeper::Failure& failure) {
        // From the worker's thread: the window hears of it between frames.
        QMetaObject::invokeMethod(this, [this, failure] { ShowSaveFailure(failure); }, Qt::QueuedConnection);
      }),
      statistics_(kStatisticsFileName, files_, game_),
      runs_(game_, random_, *this) {
  clock_.start();
  setWindowTitle(QStringLiteral("ポルテカ"));
  setWindowIcon(QIcon(QStringLiteral(":/art/icon.png")));
  // A fixed-size window: nothing to maximise.
  setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                 Qt::WindowCloseButtonHint);

  form_ = new FormBackground(this);
  setCentralWidget(form_);

  picture7_ = new CounterStrip(form_);
  picture7_->move(0, 0);

  picture6_ = new FaceButton(form_, [this] { Picture6_Click(); });
  picture6_->ResizeImage(kFaceSize, kFaceSize, Rgb(0, 0, 0));
  picture6_->image() = LoadSheet(QStringLiteral(":/art/face_button.png"), kFaceSize, kFaceSize);
  picture6_->Present();
  picture6_->move(116, 0);

  BoardSurface::Handlers handlers{
      [this](float x, float y) { runs_.MouseDown(x, y); },
      [this](int16_t button, float x, float y) { runs_.MouseMove(button, x, y); },
      [this] { runs_.DblClick(); },
  };
  picture1_ = new BoardSurface(form_, std::move(handlers));
  picture1_->ShowSurface(&painter_.board());
  painter_.OnPresent([this] { picture1_->Present(); });
  picture1_->setGeometry(0, 25, 256, 256);

  // The window takes the size its interior asks for and no other.
  layout()->setSizeConstraint(QLayout::SetFixedSize);
  form_->setFixedSize(256, 281);
  setFocusPolicy(Qt::StrongFocus);

  BuildMenus();
  qApp->installEventFilter(this);
  // Installed after the window's own filter, so it sees the keys first.
  watchGuard_ = std::make_unique<WatchGuard>(this, [this] { return runs_.watching(); }, [this] { runs_.Stop(); });
  runs_.OnWatching([this](bool watching) {
    setWindowTitle(watching ? QStringLiteral("ポルテカ - 再生中") : QStringLiteral("ポルテカ"));
  });
  destroyedWatch_ = std::make_unique<WindowDestroyedWatch>(this, [this] { WindowDestroyed(); });
}

Form1::~Form1() { qApp->removeEventFilter(this); }

void Form1::BuildMenus() {
  QMenu* game = menuBar()->addMenu(QStringLiteral("爆弾(&G)"));
  start_ = game->addMenu(QStringLiteral("処理(&S)"));
  // Opening the submenu is itself a new game, before any entry can be chosen.
  connect(start_, &QMenu::aboutToShow, this, [this] { Start_Click(); });

  const char* levels[4] = {"初級開始(&F)", "中級開始(&S)", "上級開始(&T)", "カスタム開始(&C)"};
  const Qt::Key keys[4] = {Qt::Key_F1, Qt::Key_F2, Qt::Key_F3, Qt::Key_F4};
  const Level entries[4] = {Level::Beginner, Level::Intermediate, Level::Advanced, Level::Custom};
  for (int i = 0; i < 4; ++i) {
    QAction* kaisi = start_->addAction(QString::fromUtf8(levels[i]));
    kaisi->setShortcut(QKeySequence(keys[i]));
    kaisi->setShortcutContext(Qt::WindowShortcut);
    addAction(kaisi);  // the keys work without opening any menu
    connect(kaisi, &QAction::triggered, this, [this, level = entries[i]] { Kaisi_Click(level); });
  }
  start_->addSeparator();
  QAction* kaisiNow = start_->addAction(QStringLiteral("現在の設定で開始(&N)"));
  kaisiNow->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_S));
  kaisiNow->setShortcutContext(Qt::WindowShortcut);
  addAction(kaisiNow);
  connect(kaisiNow, &QAction::triggered, this, [this] { KaisiNow_Click(); });

  game->addSeparator();
  QAction* watchLast = game->addAction(QStringLiteral("前の勝負を再生(&R)"));
  connect(watchLast, &QAction::triggered, this, [this] {
    if (!runs_.Stop()) runs_.WatchLastGame(Now());
  });
  connect(game, &QMenu::aboutToShow, watchLast, [this, watchLast] { watchLast->setEnabled(runs_.HasLastGame()); });

  game->addSeparator();
  connect(game->addAction(QStringLiteral("記録達(&H)")), &QAction::triggered, this, [this] { goodtime_Click(); });
  connect(game->addAction(QStringLiteral("統計(&T)")), &QAction::triggered, this, [this] { toukei_Click(); });
  game->addSeparator();
  connect(game->addAction(QStringLiteral("逃げる！(&E)")), &QAction::triggered, this, [this] { end_Click(); });

  BuildViewMenu();

  QAction* varsion = menuBar()->addAction(QStringLiteral("バージョン情報(&A)"));
  connect(varsion, &QAction::triggered, this, [this] { varsion_Click(); });
}

// The keys work without opening the menu, as the level keys do; a factor
// whose window would not fit the screen is greyed out, and its keys do
// nothing.
void Form1::BuildViewMenu() {
  view_ = menuBar()->addMenu(QStringLiteral("表示(&V)"));
  // Check marks, not a group: the window puts the mark where the factor
  // shown is, which is not always the entry chosen last.
  for (int factor = kMinZoom; factor <= kMaxZoom; ++factor) {
    QAction* entry = view_->addAction(QStringLiteral("%1倍(&%1)").arg(factor));
    entry->setCheckable(true);
    connect(entry, &QAction::triggered, this, [this, factor] { Zoom_Click(factor); });
    zoomEntries_[static_cast<size_t>(factor - 1)] = entry;
  }
  zoomEntries_[0]->setChecked(true);
  zoomEntries_[0]->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_0));
  view_->addSeparator();
  zoomIn_ = view_->addAction(QStringLiteral("拡大(&I)"));
  zoomIn_->setShortcuts({QKeySequence(Qt::CTRL | Qt::Key_Plus), QKeySequence(Qt::CTRL | Qt::Key_Equal)});
  connect(zoomIn_, &QAction::triggered, this, [this] { Zoom_Click(zoom_ + 1); });
  zoomOut_ = view_->addAction(QStringLiteral("縮小(&O)"));
  zoomOut_->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Minus));
  connect(zoomOut_, &QAction::triggered, this, [this] { Zoom_Click(zoom_ - 1); });
  for (QAction* action : {zoomEntries_[0], zoomIn_, zoomOut_}) {
    action->setShortcutContext(Qt::WindowShortcut);
    addAction(action);
  }
  zoomOut_->setEnabled(false);
}

void Form1::Form_Load() {
  StartUp();
  MainLoop();
}

void Form1::StartUp(bool showTitleCard) {
  random_ = PortableRandom(seed_);
  if (showTitleCard) {
    Form3 titleCard(this);
    titleCard.exec();
  }
  KeepOnScreen(/*centre=*/true);
  show();
  activateWindow();
  STInit(static_cast<int32_t>(winId()), 0);
  LoadGameSounds();
  LoadGame(game_);  // empty arrays, the intermediate layout, no board
}

uint32_t Form1::Now() const { return static_cast<uint32_t>(clock_.elapsed()); }

// Frames whenever more than 33 ms have passed; in between the loop sleeps until
// an event arrives or the next frame is due. Every handler runs in that yield.
void Form1::MainLoop() {
  EnterLoop(game_.loop, Now());
  QTimer wake;
  wake.setSingleShot(true);
  wake.setTimerType(Qt::PreciseTimer);
  while (game_.loop.LoopRunning != 0) {
    if (!inFrame_) {
      inFrame_ = true;
      runs_.LoopTurn(painter_, Now());
      inFrame_ = false;
    }
    wake.start(static_cast<int>(runs_.MillisecondsToNextFrame(Now())));
    QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    // Outside exec() nothing else deletes the objects handed to deleteLater.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  }
}

// While a run is watched, any menu choice only stops it (GameRuns::Stop).
void Form1::Kaisi_Click(Level level) {
  if (runs_.Stop()) return;
  if (IsFixedLevel(level)) {
    runs_.Deal([this, level] { StartLevel(game_, level); });
    return;
  }
  {
    Form2 dialog(game_, this);
    ShowModal(dialog);
  }
  runs_.Deal([this] { StartCustomGame(game_); });
}

void Form1::KaisiNow_Click() {
  if (!runs_.Stop()) runs_.Deal([this] { StartGame(game_); });
}
void Form1::Start_Click() {
  if (!runs_.Stop()) runs_.Deal([this] { StartGame(game_); });
}
void Form1::Picture6_Click() {
  if (!runs_.Stop()) runs_.Deal([this] { StartGame(game_); });
}

void Form1::goodtime_Click() {
  if (runs_.Stop()) return;
  Form5 dialog(kRecordsFileName, random_, this);
  ShowModal(dialog);
  if (std::optional<std::string> run = dialog.ChosenRun()) WatchRun(*run);
}

void Form1::toukei_Click() {
  if (runs_.Stop()) return;
  // The last game's write is done first, so the dialog shows that game too.
  files_.Finish();
  StatisticsDialog dialog(kStatisticsFileName, [this] {
    statistics_.Clear();
    files_.Finish();
  }, this);
  ShowModal(dialog);
}

void Form1::varsion_Click() {
  if (runs_.Stop()) return;
  Form3 dialog(this);
  ShowModal(dialog);
}

void Form1::end_Click() {
  if (!runs_.Stop()) close();
}

bool Form1::WatchRun(std::string_view run) { return runs_.Watch(run, Now()); }

void Form1::closeEvent(QCloseEvent* event) {
  Form_Unload();
  event->accept();
}

void Form1::Form_Unload() { game_.loop.LoopRunning = 0; }

// Once a dialog has gone the keys belong to the main window again, whatever
// the window manager made of the dialog's going.
void Form1::ShowModal(QDialog& dialog) {
  dialog.exec();
  activateWindow();
}

// The layout asks for the window's new size at once, so the window is placed
// at the size it is about to have.
void Form1::KeepOnScreen(bool centre) {
  layout()->activate();
  PlaceOnScreen(this, centre);
}

// The window has gone from under the game: it ends as the close box ends it,
// after closing whatever dialog was waiting for an answer.
void Form1::WindowDestroyed() {
  for (QWidget* window : QApplication::topLevelWidgets()) {
    if (window != this && window->isVisible()) window->close();
  }
  close();
}

// Keys reach the game first, whichever control has the focus, and before the
// accelerators and the menu bar's mnemonics: Alt+A toggles the mark like A
// and then opens the version card. Every key press is first offered to the
// shortcuts as a ShortcutOverride, sent where the press will go, so the game
// takes each key there, once; the press itself, when no shortcut takes it,
// then goes to the control as usual. Open menus and dialogs are windows of
// their own and keep their keys.
bool Form1::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() != QEvent::ShortcutOverride || !watched->isWidgetType()) return false;
  auto* widget = static_cast<QWidget*>(watched);
  if (widget->window() != this || QApplication::activeModalWidget() != nullptr) return false;
  if (qobject_cast<QMenuBar*>(widget) != nullptr) return false;
  // A key that no control takes travels up to the window: take it once, where
  // it is first delivered.
  QWidget* first = focusWidget() != nullptr ? focusWidget() : this;
  if (widget != first) return false;
  const auto* key = static_cast<QKeyEvent*>(event);
  const int16_t code = VirtualKeyCode(key->key());
  if (code != 0) runs_.KeyDown(code, ShiftSum(key->modifiers()));
  return false;
}

void Form1::PlaySound(SoundCue cue) { STPlay(static_cast<int32_t>(cue)); }

void Form1::DrawFace(Face face) {
  CopyRect(picture6_->image(), 0, 0, kFaceSize, kFaceSize, sheets_.faces, kFaceSize * static_cast<int>(face), 0);
  picture6_->Present();
}

void Form1::OfferRecord() {
  if (!records_.Check(game_.gro.GameLevel, game_.gro.ElapsedTime)) return;
  Form4 dialog(records_, game_.gro.GameLevel, game_.gro.ElapsedTime, this, runs_.RecordRun());
  ShowModal(dialog);
}

void Form1::NoteGame(GameMoment moment) { statistics_.Note(moment); }

void Form1::ShowSaveFailure(const RecordKeeper::Failure& failure) {
  SaveFailedDialog dialog(failure, this);
  ShowModal(dialog);
}

void Form1::LayOutWindow() {
  painter_.Resize(game_.layout.boardWidth, game_.layout.boardHeight);
  ShowAtZoom();
}

void Form1::UseSettingsFile(std::filesystem::path file) {
  settingsFile_ = std::move(file);
  chosenZoom_ = ReadZoomSetting(settingsFile_);
  ShowAtZoom();
}

void Form1::Zoom_Click(int factor) {
  if (factor < kMinZoom || factor > kMaxZoom || !ZoomFits(factor)) return;
  chosenZoom_ = factor;
  ShowAtZoom();
  SaveZoomSetting(settingsFile_, chosenZoom_);
}

// Everything is laid out at factor 1 and shown k times as large; the board
// painter keeps drawing at factor 1.
void Form1::ShowAtZoom() {
  // Asked before anything moves: the frame is measured around the interior
  // as it is now.
  std::array<bool, kMaxZoom + 1> fits{};
  for (int factor = kMinZoom; factor <= kMaxZoom; ++factor) fits[static_cast<size_t>(factor)] = ZoomFits(factor);
  int k = chosenZoom_;
  while (k > kMinZoom && !fits[static_cast<size_t>(k)]) --k;
  zoom_ = k;
  SetZoom(k);
  const Layout& l = game_.layout;
  form_->SetZoom(k);
  form_->setFixedSize(l.interiorWidth * k, l.interiorHeight * k);
  picture1_->SetZoom(k);
  picture1_->setGeometry(l.boardLeft * k, l.boardTop * k, l.boardWidth * k, l.boardHeight * k);
  picture7_->SetZoom(k);
  picture7_->move(l.counterLeft * k, 0);
  picture6_->SetZoom(k);
  picture6_->move(l.faceLeft * k, 0);
  picture1_->update();

  for (int factor = kMinZoom; factor <= kMaxZoom; ++factor) {
    QAction* entry = zoomEntries_[static_cast<size_t>(factor - 1)];
    entry->setEnabled(fits[static_cast<size_t>(factor)]);
    entry->setChecked(factor == k);
  }
  zoomIn_->setEnabled(k < kMaxZoom && fits[static_cast<size_t>(k + 1)]);
  zoomOut_->setEnabled(k > kMinZoom);
  if (isVisible()) KeepOnScreen(/*centre=*/false);
}

// Whether the whole window, menu bar and frame included, fits the screen's
// free area with the interior at this factor. The frame is known only once
// the window is shown; before, the menu bar is all there is around the
// interior.
bool Form1::ZoomFits(int factor) const {
  if (factor <= kMinZoom) return true;
  const QScreen* screen = this->screen();
  if (screen == nullptr) return false;
  const QSize around = isVisible() ? frameGeometry().size() - form_->size() : QSize(0, menuBar()->sizeHint().height());
  const QSize wanted = QSize(game_.layout.interiorWidth, game_.layout.interiorHeight) * factor + around;
  const QSize area = screen->availableGeometry().size();
  return wanted.width() <= area.width() && wanted.height() <= area.height();
}

void Form1::DrawCounters(std::string_view timeText, std::string_view bombsText) {
  picture7_->Draw(timeText, bombsText);
}

}  // namespace porteka
