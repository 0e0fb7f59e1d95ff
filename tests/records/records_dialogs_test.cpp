#include <dlfcn.h>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/mman.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QApplication>
#include <QFontInfo>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <fstream>
#include <functional>
#include <map>
#include <memory>
#include <vector>

#include "dialogs/custom_board_dialog.h"
#include "desktop/out_of_memory.h"
#include "game/random.h"
#include "records/check_record.h"
#include "records/file_worker.h"
#include "records/record_keeper.h"
#include "records/new_record_dialog.h"
#include "records/records_dialog.h"
#include "records/records_file.h"
#include "records/run_files.h"
#include "runs/run_check.h"
#include "records/statistics_dialog.h"
#include "records/statistics_file.h"
#include "tests/records/temp_dir.h"
#include "ui/opening_key_guard.h"

namespace porteka {
namespace {

using scratch::ReadBytes;
using scratch::TempDir;
using scratch::WriteBytes;

// Every save renames a new file onto the records file's name; rename() below
// counts them, in memory shared with child processes.
int& gSaves =
    *static_cast<int*>(::mmap(nullptr, sizeof(int), PROT_READ | PROT_WRITE, MAP_SHARED | MAP_ANONYMOUS, -1, 0));

// The dialogs' key guards read this clock.
std::chrono::milliseconds gNow{0};
[[maybe_unused]] const bool kGuardsReadTheTestClock = (OpeningKeyGuard::SetClock([] { return gNow; }), true);

// Runs `action` once the modal dialog is up and takes keys, then waits for exec() to return.
int ExecWith(QDialog& dialog, const std::function<void()>& action) {
  QTimer::singleShot(0, &dialog, [&dialog, action] {
    EXPECT_TRUE(QTest::qWaitForWindowActive(&dialog));
    gNow += OpeningKeyGuard::kQuietTime;
    action();
  });
  return dialog.exec();
}

// Whether any pixel of the label's place in the picture has the ink.
bool Shows(const QImage& image, const QLabel* label, const std::function<bool(const QColor&)>& ink) {
  const QRect place = label->geometry();
  for (int i = 0; i < place.width() * place.height(); ++i) {
    if (ink(image.pixelColor(place.topLeft() + QPoint(i % place.width(), i / place.width())))) return true;
  }
  return false;
}

TEST(RecordsDialogs, KeepTheirSizesInTheIpaFontsAndShowTheTime) {
  TempDir dir;
  FileWorker worker;
  RecordKeeper keeper(dir.File(), worker);
  Form4 form4(keeper, Level::Beginner, 370, nullptr);
  ScriptedRandom random({0.0f});
  Form5 form5(dir.File(), random, nullptr);
  EXPECT_EQ(form4.size(), QSize(252, 82));
  EXPECT_EQ(form5.size(), QSize(336, 161));  // grown by the row of the runs' buttons
  EXPECT_EQ(form4.minimumSize(), form4.maximumSize());
  EXPECT_EQ(form5.minimumSize(), form5.maximumSize());
  // The layouts' font names resolve to the IPA stand-ins, not to whatever
  // fontconfig picks.
  EXPECT_EQ(QFontInfo(form4.Label1()->font()).family(), "IPAMincho");
  EXPECT_EQ(QFontInfo(form4.Label3()->font()).family(), "IPAGothic");
  EXPECT_EQ(QFontInfo(form5.Label3(0)->font()).family(), "IPAGothic");
  EXPECT_EQ(form4.Label3()->text(), "12.33[sec]");
  EXPECT_FALSE(std::filesystem::exists(dir.File())) << "nothing is written before a dialog closes";
}

// The name box has the focus with the default name selected, so typing
// replaces it; Tab goes round the box and the button; each opening starts from
// the default name again. Every way of closing saves exactly once, with what
// the name box holds then.
TEST(Form4, SavesOnceWhicheverWayItClosesWhatTheBoxHolds) {
  const struct {
    const char* way;
    QString typed, saved;
    std::function<void(Form4&)> close;
  } ways[] = {
      {"button", "  髙橋, \"①\"～ ", "  髙橋, \"①\"～ ", [](Form4& d) { QTest::mouseClick(d.Command1(), Qt::LeftButton); }},
      {"close box with the box emptied", "", "", [](Form4& d) {
         QTest::keyClick(d.Text1(), Qt::Key_Backspace);
         d.close();
       }},
      {"close box after an escape that does not close", "<b>x</b>", "<b>x</b>", [](Form4& d) {
         QTest::keyClick(d.Text1(), Qt::Key_Escape);
         EXPECT_TRUE(d.isVisible());
         d.close();
       }},
      {"enter in the name box after Tab twice", "", "名無士乃権兵衛", [](Form4& d) {
         QTest::keyClick(d.Text1(), Qt::Key_Tab);
         QTest::keyClick(d.Command1(), Qt::Key_Tab);
         EXPECT_EQ(QApplication::focusWidget(), d.Text1());
         QTest::keyClick(d.Text1(), Qt::Key_Enter);
       }},
      {"button reached by Tab, pressed by space", "ｶﾅ", "ｶﾅ", [](Form4& d) {
         QTest::keyClick(d.Text1(), Qt::Key_Tab);
         EXPECT_EQ(QApplication::focusWidget(), d.Command1());
         QTest::keyClick(d.Command1(), Qt::Key_Space);
       }},
  };
  for (const auto& way : ways) {
    TempDir dir;
    ASSERT_TRUE(CheckRecord(dir.File(), Level::Intermediate, 700));
    gSaves = 0;
    FileWorker worker;
    RecordKeeper keeper(dir.File(), worker);
    {
      Form4 dialog(keeper, Level::Intermediate, 700, nullptr);
      ExecWith(dialog, [&] {
        EXPECT_EQ(QApplication::focusWidget(), dialog.Text1()) << way.way;
        // One key event with the whole text, as an input method sends it.
        if (!way.typed.isEmpty()) QTest::sendKeyEvent(QTest::Click, dialog.Text1(), Qt::Key_unknown, way.typed, {});
        way.close(dialog);
      });
      EXPECT_FALSE(dialog.isVisible()) << way.way;
      worker.Finish();
      EXPECT_EQ(gSaves, 1) << way.way;
    }
    worker.Finish();
    EXPECT_EQ(gSaves, 1) << way.way << ", after the dialog is gone";
    RecordTable expected = DefaultRecords();
    expected[1] = Record{way.saved.toStdString(), 700};
    EXPECT_EQ(ReadRecords(dir.File()), expected) << way.way;
  }
}

// A game won with Esc or Z opens the new-record dialog while that key may be
// held or pressed again. In a dialog's first 400 ms every press is dropped, and
// later the repeats of a key that went down before; fresh presses then count.
// Escape never closes the new-record dialog; the list and the custom board
// dialog it closes once the player has seen them.
TEST(DialogKeys, KeysFromTheGameNeitherTypeNorClose) {
  struct Key {
    int at;  // ms after the dialog shows
    Qt::Key key;
    bool repeat = false;
    QEvent::Type type = QEvent::KeyPress;
  };
  const auto send = [](QDialog& dialog, const Key& key) {
    gNow = std::chrono::milliseconds(key.at);
    QKeyEvent event(key.type, key.key, Qt::NoModifier, key.key == Qt::Key_Z ? "z" : "", key.repeat);
    QApplication::sendEvent(dialog.focusWidget(), &event);
  };
  const QString kDefault = "名無士乃権兵衛";
  const struct {
    const char* what;
    std::vector<Key> keys;
    QString name;  // in the box, or saved when the dialog has closed
    bool closed;
  } cases[] = {
      {"Esc 15 ms on", {{15, Qt::Key_Escape}}, kDefault, false},
      {"Esc 0.6 s on", {{600, Qt::Key_Escape}}, kDefault, false},
      {"Z then Enter at once", {{15, Qt::Key_Z}, {30, Qt::Key_Return}}, kDefault, false},
      {"Z held from the game", {{30, Qt::Key_Z, true}, {450, Qt::Key_Z, true}, {900, Qt::Key_Z, true}}, kDefault, false},
      {"Z pressed at 399 ms and held", {{399, Qt::Key_Z}, {420, Qt::Key_Z, true}}, kDefault, false},
      {"Z at 400 ms and its repeats", {{400, Qt::Key_Z}, {430, Qt::Key_Z, true}, {460, Qt::Key_Z, true}}, "zzz", false},
      {"held Z let go, then Z and Enter",
       {{450, Qt::Key_Z, true}, {500, Qt::Key_Z, false, QEvent::KeyRelease}, {600, Qt::Key_Z}, {700, Qt::Key_Enter}},
       "z", true},
  };
  for (const auto& c : cases) {
    TempDir dir;
    FileWorker worker;
    RecordKeeper keeper(dir.File(), worker);
    Form4 dialog(keeper, Level::Beginner, 99, nullptr);
    gNow = {};
    dialog.show();
    for (const Key& key : c.keys) send(dialog, key);
    EXPECT_EQ(dialog.isVisible(), !c.closed) << c.what;
    if (!c.closed) {
      EXPECT_EQ(dialog.Text1()->text(), c.name) << c.what;
      EXPECT_EQ(dialog.Text1()->selectedText(), c.name == kDefault ? kDefault : "") << c.what;
    }
    dialog.close();
    keeper.Finish();
    EXPECT_EQ(ReadRecords(dir.File())->at(0).name, c.name.toStdString()) << c.what;
  }

  TempDir dir;
  ScriptedRandom random({0.5f});
  Form5 list(dir.File(), random, nullptr);
  SilentOutside outside;
  Game game{random, outside};
  Form2 custom(game, nullptr);
  for (QDialog* dialog : {static_cast<QDialog*>(&list), static_cast<QDialog*>(&custom)}) {
    gNow = {};
    dialog->show();
    send(*dialog, {15, Qt::Key_Escape});
    EXPECT_TRUE(dialog->isVisible()) << dialog->windowTitle().toStdString();
    send(*dialog, {400, Qt::Key_Escape});
    EXPECT_FALSE(dialog->isVisible()) << dialog->windowTitle().toStdString();
  }
}

// The program ending under an open dialog: torn down by the quitting program,
// or ended by exit(), which is how the X library ends it when the display
// goes away. The name typed so far is saved, once.
TEST(Form4, ProgramEndingWhileItIsOpenStillSavesOnce) {
  TempDir dir;
  gSaves = 0;
  FileWorker worker;
  RecordKeeper keeper(dir.File(), worker);
  auto dialog = std::make_unique<Form4>(keeper, Level::Beginner, 42, nullptr);
  dialog->show();
  dialog->Text1()->setText("quitter");
  dialog.reset();
  EXPECT_EQ(keeper.Finish(), 0);
  EXPECT_EQ(gSaves, 1);
  EXPECT_EQ(ReadRecords(dir.File())->at(0), (Record{"quitter", 42}));

  const pid_t child = ::fork();
  if (child == 0) {
    Form4 open(keeper, Level::Intermediate, 41, nullptr);
    open.show();
    gNow += OpeningKeyGuard::kQuietTime;
    QTest::keyClicks(open.Text1(), "display lost");
    std::exit(1);
  }
  ::waitpid(child, nullptr, 0);
  EXPECT_EQ(gSaves, 2);
  EXPECT_EQ(ReadRecords(dir.File())->at(1), (Record{"display lost", 41}));

  // Memory running out in an event handler, with nothing left at all: one
  // line and status 1, and the reserve leaves room to save the name.
  const pid_t hungry = ::fork();
  if (hungry == 0) {
    ::dup2(::open((dir.path() / "stderr").c_str(), O_WRONLY | O_CREAT, 0600), 2);
    KeepMemoryReserve();
    Form4 open(keeper, Level::Advanced, 40, nullptr);
    open.show();
    open.Text1()->setText("no memory");
    long pages = 0;
    std::ifstream("/proc/self/statm") >> pages;
    const rlimit limit{static_cast<rlim_t>(pages * ::sysconf(_SC_PAGESIZE)) + (64 << 20), RLIM_INFINITY};
    ::setrlimit(RLIMIT_AS, &limit);
    QMetaObject::invokeMethod(&open, [] {
      static void* volatile taken = nullptr;
      for (size_t size = size_t{1} << 20; size > 0; size /= 2) {
        do taken = std::malloc(size);
        while (taken != nullptr);
      }
      taken = new char[64];
    }, Qt::QueuedConnection);
    try {
      QCoreApplication::sendPostedEvents();
    } catch (...) {
    }
    std::_Exit(3);
  }
  int status = 0;
  ::waitpid(hungry, &status, 0);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 1) << status;
  EXPECT_NE(ReadBytes(dir.path() / "stderr").find("porteka: out of memory"), std::string::npos);
  EXPECT_EQ(ReadRecords(dir.File())->at(2), (Record{"no memory", 40}));
}

// One draw from the game's generator picks one of six captions, each a
// sixth of the draws wide; the last draws below one must not run past the end.
TEST(Form5, CaptionIsDrawnFromTheGameGenerator) {
  TempDir dir;
  QStringList captions;
  for (const float draw : {0.0f, 0.17f, 0.34f, 0.5f, 0.67f, 0.99999994f, 1.0f / 6.0f - 1e-7f}) {
    ScriptedRandom random({draw});
    captions << Form5(dir.File(), random, nullptr).windowTitle();
    EXPECT_EQ(random.draws(), 1u);
    EXPECT_TRUE(captions.back().endsWith("記録達")) << draw;
  }
  EXPECT_EQ(captions.back(), captions.front());
  captions.removeDuplicates();
  EXPECT_EQ(captions.size(), 6);
}

TEST(Form5, ShowsTheStoredRecordsInColouredRowsAndLeavesTheFile) {
  TempDir dir;
  ASSERT_TRUE(WriteRecords(dir.File(), {Record{"山田", 370}, Record{"<i>x</i>", 29},
                                        Record{std::string(300, 'L') + "end", 29970}}));
  const std::string before = ReadBytes(dir.File());
  ScriptedRandom random({0.5f});
  Form5 dialog(dir.File(), random, nullptr);
  const QString texts[3][2] = {
      {"12.33[sec]", "山田"}, {"0.96[sec]", "<i>x</i>"}, {"999[sec]", QString(300, 'L') + "end"}};
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(dialog.Label2(i)->text(), texts[i][0]);
    EXPECT_EQ(dialog.Label3(i)->text(), texts[i][1]);
  }
  EXPECT_EQ(dialog.Label3(1)->textFormat(), Qt::PlainText);
  EXPECT_GT(dialog.Label3(2)->geometry().right(), dialog.width()) << "a long name is cut by the window's edge";

  // Drawn: black ground, pure red text in the beginner's row, green in the next.
  dialog.show();
  const QImage image = dialog.grab().toImage();
  EXPECT_EQ(image.pixelColor(2, 2), QColor(Qt::black));
  EXPECT_TRUE(Shows(image, dialog.Label1(0), [](const QColor& c) { return c.red() > 200 && c.green() + c.blue() == 0; }));
  EXPECT_TRUE(Shows(image, dialog.Label1(1), [](const QColor& c) { return c.green() > 200 && c.red() + c.blue() == 0; }));

  EXPECT_EQ(ExecWith(dialog, [&] {
              EXPECT_EQ(QApplication::focusWidget(), dialog.Command1());
              QTest::mouseClick(dialog.Command1(), Qt::LeftButton);
            }),
            QDialog::Accepted);
  EXPECT_EQ(ReadBytes(dir.File()), before);
}

// A level whose record keeps its run beside the file offers to play it; a run
// that is another record's is not offered. The choice closes the list.
TEST(Form5, OffersToPlayTheRunOfEachRecordThatKeepsOne) {
  TempDir dir;
  const std::string run = R"({"level":0,"bombs":[[0,6],[1,6],[0,7],[1,7],[2,7],[3,7],[4,7],[5,7],[6,7],[7,7]],
      "events":[{"do":"mousemove","button":1,"x":8,"y":8},{"do":"frames","n":40}]})";
  const int32_t time = PlayRun(run).elapsedTime;
  ASSERT_TRUE(WriteRecords(dir.File(), {Record{"a", time}, Record{"b", time}, Record{"c", time + 1}}));
  for (const Level level : {Level::Beginner, Level::Intermediate, Level::Advanced}) {
    WriteBytes(RunFileOf(dir.File(), level), run);
  }
  ScriptedRandom random({0.5f});
  Form5 dialog(dir.File(), random, nullptr);
  EXPECT_EQ(dialog.Command2(0)->text(), "初級を再生(&1)");
  EXPECT_TRUE(dialog.Command2(0)->isEnabled());
  EXPECT_FALSE(dialog.Command2(1)->isEnabled());
  EXPECT_FALSE(dialog.Command2(2)->isEnabled());
  EXPECT_EQ(ExecWith(dialog, [&] { QTest::mouseClick(dialog.Command2(0), Qt::LeftButton); }), QDialog::Accepted);
  EXPECT_EQ(dialog.ChosenRun(), run);
  EXPECT_EQ(dialog.ChosenRun(), std::nullopt);
}

// The default file, and a file whose last line ends the file, show their
// stored names; a file that cannot be read shows placeholders in every row,
// even rows that could be read, and is neither created nor repaired.
TEST(Form5, UnreadableFileShowsOnlyPlaceholders) {
  const std::pair<std::optional<std::string>, QString> files[] = {
      {SerializeRecords(DefaultRecords()), "登録なし"},
      {std::nullopt, "未登録"},
      {"", "未登録"},
      {"\"a\",1\r\n\"b\",2\r\n", "未登録"},
      {"\"c\",29970\r\n\"c\",29970\r\n\"c\",29970", "c"},
  };
  for (const auto& [bytes, name] : files) {
    TempDir dir;
    if (bytes) WriteBytes(dir.File(), *bytes);
    ScriptedRandom random({0.5f});
    Form5 dialog(dir.File(), random, nullptr);
    for (int i = 0; i < 3; ++i) {
      EXPECT_EQ(dialog.Label2(i)->text(), "999[sec]");
      EXPECT_EQ(dialog.Label3(i)->text(), name) << bytes.value_or("no file");
    }
    ExecWith(dialog, [&] { dialog.close(); });
    EXPECT_EQ(scratch::CountEntries(dir.path()), bytes ? 1 : 0);
    EXPECT_EQ(ReadBytes(dir.File()), bytes.value_or(""));
  }
}

// A column per level, the last game below; clearing asks first, and only a
// yes clears, through the window's callback, after which the file is read again.
TEST(StatisticsDialog, ShowsTheFileAndClearsOnlyAfterAYes) {
  TempDir dir;
  const std::filesystem::path file = dir.path() / kStatisticsFileName;
  Statistics statistics;
  for (const GameResult& game : {GameResult{Level::Beginner, GameOutcome::Won, 370, 11},
                                 GameResult{Level::Beginner, GameOutcome::Won, 301, 12},
                                 GameResult{Level::Beginner, GameOutcome::Lost, 40, 9},
                                 GameResult{Level::Custom, GameOutcome::Abandoned, 95, 30},
                                 GameResult{Level::Advanced, GameOutcome::Won, 900, 150}}) {
    CountGame(statistics, game);
  }
  WriteBytes(file, SerializeStatistics(statistics));
  int clears = 0;
  StatisticsDialog dialog(file, [&] {
    ++clears;
    std::filesystem::remove(file);
  }, nullptr);
  const std::map<std::string, std::array<QString, 4>> figures = {
      {"played", {"3", "0", "1", "1"}},
      {"won", {"2", "0", "1", "0"}},
      {"lost", {"1", "0", "0", "0"}},
      {"abandoned", {"0", "0", "0", "1"}},
      {"win_rate", {"66.7%", "-", "100.0%", "0.0%"}},
      {"streak", {"0", "0", "1", "0"}},
      {"best_streak", {"2", "0", "1", "0"}},
      {"best_frames", {"10.03[sec]", "-", "30[sec]", "-"}},
      {"mean_frames", {"11.16[sec]", "-", "30[sec]", "-"}},
      {"played_frames", {"23.7[sec]", "-", "30[sec]", "3.16[sec]"}},
      {"best_3bv_per_second", {"1.20", "-", "5.00", "-"}},
  };
  for (const auto& [row, texts] : figures) {
    for (int level = 0; level < 4; ++level) EXPECT_EQ(dialog.Figure(row.c_str(), level)->text(), texts[level]) << row;
  }
  EXPECT_EQ(dialog.LastGame()->text(), "前回のゲーム: 上級 勝ち 30[sec]\n3BV 150  3BV/s 5.00");

  const auto answer = [&](const char* button) {
    QTimer::singleShot(0, [button] {
      auto* question = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
      ASSERT_NE(question, nullptr);
      for (QAbstractButton* choice : question->buttons()) {
        if (choice->text() == button) choice->click();
      }
    });
    QTest::mouseClick(dialog.ClearButton(), Qt::LeftButton);
  };
  // Drawn on black: the captions in white, each level's name in its colour in
  // the records list, custom boards in yellow.
  dialog.show();
  const QImage image = dialog.grab().toImage();
  const auto inked = [&](const char* label, QColor ink) {
    return Shows(image, dialog.findChild<QLabel*>(label), [ink](const QColor& c) { return c == ink; });
  };
  EXPECT_TRUE(inked("played", Qt::white));
  const QColor inks[4] = {QColor(255, 0, 0), QColor(0, 255, 0), QColor(128, 128, 255), QColor(255, 255, 0)};
  for (int level = 0; level < 4; ++level) {
    EXPECT_TRUE(inked(("level_" + std::to_string(level)).c_str(), inks[level])) << level;
  }

  answer("やめとく");
  EXPECT_EQ(clears, 0);
  EXPECT_EQ(dialog.Figure("played", 0)->text(), "3");
  answer("消す");
  EXPECT_EQ(clears, 1);
  EXPECT_EQ(dialog.Figure("played", 0)->text(), "0");
  EXPECT_EQ(dialog.LastGame()->text(), "前回のゲーム: まだありません");
}

}  // namespace
}  // namespace porteka

// Stands in for the C library's renames in this test program, counting saves.
extern "C" int rename(const char* from, const char* to) {
  porteka::gSaves += std::filesystem::path(to).filename() == porteka::kRecordsFileName;
  return porteka::scratch::NextSymbol<int(const char*, const char*)>("rename")(from, to);
}

extern "C" int renameat2(int fromDirectory, const char* from, int toDirectory, const char* to, unsigned flags) {
  porteka::gSaves += std::filesystem::path(to).filename() == porteka::kRecordsFileName;
  return porteka::scratch::NextSymbol<int(int, const char*, int, const char*, unsigned)>("renameat2")(
      fromDirectory, from, toDirectory, to, flags);
}
