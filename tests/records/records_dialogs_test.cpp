#include <gtest/gtest.h>
#include <sys/inotify.h>
#include <unistd.h>

#include <QApplication>
#include <QFontInfo>
#include <QFontMetrics>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <cmath>
#include <functional>
#include <memory>
#include <vector>

#include "game/random.h"
#include "records/check_record.h"
#include "records/new_record_dialog.h"
#include "records/records_dialog.h"
#include "records/records_file.h"
#include "tests/records/temp_dir.h"

namespace porteka {
namespace {

using testing::ReadBytes;
using testing::TempDir;
using testing::WriteBytes;

const QString kCaptions[] = {
    "華々しい記録達",           "輝かしい記録達",
    "目を見張るほど美しい記録達", "とてもすんばらしい記録達",
    "凄さ余ってにくさ百倍の記録達", "かっこいいぜ！記録達",
};

// Counts the times the records file is renamed into place, which every save
// does once. The temporary file's creation and move are watched too: the kernel
// merges an event into an identical one right before it, and those keep the
// renames apart.
class SaveCounter {
 public:
  explicit SaveCounter(const std::filesystem::path& directory) {
    fd_ = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    ::inotify_add_watch(fd_, directory.c_str(), IN_CREATE | IN_MOVED_FROM | IN_MOVED_TO);
  }
  ~SaveCounter() { ::close(fd_); }

  int Saves() {
    alignas(inotify_event) char buffer[4096];
    for (;;) {
      const ssize_t got = ::read(fd_, buffer, sizeof(buffer));
      if (got <= 0) {
        return saves_;
      }
      for (ssize_t at = 0; at < got;) {
        const auto* event = reinterpret_cast<const inotify_event*>(buffer + at);
        if ((event->mask & IN_MOVED_TO) && event->len > 0 &&
            std::string(event->name) == kRecordsFileName) {
          ++saves_;
        }
        at += static_cast<ssize_t>(sizeof(inotify_event) + event->len);
      }
    }
  }

 private:
  int fd_ = -1;
  int saves_ = 0;
};

// Runs `action` once the modal dialog is up, then waits for exec() to return.
int ExecWith(QDialog& dialog, const std::function<void()>& action) {
  QTimer::singleShot(0, &dialog, [&dialog, action] {
    EXPECT_TRUE(QTest::qWaitForWindowActive(&dialog));
    action();
  });
  return dialog.exec();
}

class ScriptedRandom final : public RandomSource {
 public:
  explicit ScriptedRandom(std::vector<float> values) : values_(std::move(values)) {}
  float Next() override { return values_.at(drawn_++); }
  size_t drawn() const { return drawn_; }

 private:
  std::vector<float> values_;
  size_t drawn_ = 0;
};

QRect Px(int left, int top, int width, int height) {
  return QRect(left / 15, top / 15, width / 15, height / 15);
}

TEST(Form4, ShowsTheDesignTextsFontsAndLayout) {
  TempDir dir;
  Form4 dialog(dir.File(), 0, 370, nullptr);
  EXPECT_EQ(dialog.windowTitle(), "新記録！！");
  EXPECT_EQ(dialog.size(), QSize(252, 82));
  EXPECT_EQ(dialog.minimumSize(), dialog.maximumSize());

  EXPECT_EQ(dialog.Label1()->text(), "名前 ");
  EXPECT_EQ(dialog.Text1()->text(), "名無士乃権兵衛");
  EXPECT_EQ(dialog.Command1()->text(), "登録");
  EXPECT_EQ(dialog.Label2()->text(), "タイム");
  EXPECT_EQ(dialog.Label3()->text(), "12.33[sec]");
  EXPECT_TRUE(dialog.Label3()->alignment() & Qt::AlignRight);

  EXPECT_EQ(dialog.Label1()->geometry(), Px(120, 540, 615, 255));
  EXPECT_EQ(dialog.Text1()->geometry(), Px(600, 480, 3015, 270));
  EXPECT_EQ(dialog.Command1()->geometry(), Px(120, 840, 3495, 255));
  EXPECT_EQ(dialog.Label2()->geometry(), Px(1080, 120, 615, 255));
  EXPECT_EQ(dialog.Label3()->geometry(), Px(1695, 120, 1140, 255));
  // Any time that can beat the default fits whole, clear of "タイム".
  const QFontMetrics metrics(dialog.Label3()->font());
  EXPECT_LE(metrics.horizontalAdvance("998.96[sec]"), dialog.Label3()->width());
  EXPECT_LE(dialog.Label2()->x() + QFontMetrics(dialog.Label2()->font()).horizontalAdvance("タイム"),
            dialog.Label3()->x());

  // The design names resolve to the IPA stand-ins, not to whatever fontconfig picks.
  EXPECT_EQ(QFontInfo(dialog.Label1()->font()).family(), "IPAMincho");
  for (QWidget* widget : {static_cast<QWidget*>(dialog.Text1()), static_cast<QWidget*>(dialog.Command1()),
                          static_cast<QWidget*>(dialog.Label2()), static_cast<QWidget*>(dialog.Label3())}) {
    EXPECT_EQ(QFontInfo(widget->font()).family(), "IPAGothic") << widget->objectName().toStdString();
    EXPECT_FALSE(widget->font().bold());
    EXPECT_EQ(widget->font().pixelSize(), 12);
  }
}

TEST(Form4, ShowsTheTimeAsTheRecordsDoAndNothingIsWrittenBeforeItCloses) {
  TempDir dir;
  EXPECT_EQ(Form4(dir.File(), 1, 29, nullptr).Label3()->text(), "0.96[sec]");
  EXPECT_EQ(Form4(dir.File(), 1, 30, nullptr).Label3()->text(), "1[sec]");
  EXPECT_FALSE(std::filesystem::exists(dir.File()));
}

TEST(Form4, NameBoxHasTheFocusAndTabGoesToTheButton) {
  TempDir dir;
  Form4 dialog(dir.File(), 0, 500, nullptr);
  ExecWith(dialog, [&] {
    EXPECT_EQ(QApplication::focusWidget(), dialog.Text1());
    QTest::keyClick(dialog.Text1(), Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), dialog.Command1());
    QTest::keyClick(dialog.Command1(), Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), dialog.Text1());
    dialog.close();
  });
}

TEST(Form4, TypingReplacesTheDefaultName) {
  TempDir dir;
  Form4 dialog(dir.File(), 0, 500, nullptr);
  ExecWith(dialog, [&] {
    QTest::keyClicks(dialog.Text1(), "Taro");
    QTest::keyClick(dialog.Text1(), Qt::Key_Enter);
  });
  EXPECT_EQ(ReadRecords(dir.File())->at(0).name, "Taro");
}

struct CloseWay {
  const char* name;
  std::function<void(Form4&)> close;
};

// Every way of closing saves exactly once, with what the name box holds then.
TEST(Form4, SavesOnceWhicheverWayItCloses) {
  const CloseWay ways[] = {
      {"button", [](Form4& d) { QTest::mouseClick(d.Command1(), Qt::LeftButton); }},
      {"close box", [](Form4& d) { d.close(); }},
      {"escape", [](Form4& d) { QTest::keyClick(d.Text1(), Qt::Key_Escape); }},
      {"enter in the name box", [](Form4& d) { QTest::keyClick(d.Text1(), Qt::Key_Return); }},
      {"button pressed by space", [](Form4& d) {
         d.Command1()->setFocus();
         QTest::keyClick(d.Command1(), Qt::Key_Space);
       }},
  };
  for (const CloseWay& way : ways) {
    TempDir dir;
    ASSERT_TRUE(CheckRecord(dir.File(), 1, 700));
    SaveCounter counter(dir.path());
    RecordTable expected = DefaultRecords();
    expected[1] = Record{"名無士乃権兵衛", 700};
    {
      Form4 dialog(dir.File(), 1, 700, nullptr);
      ExecWith(dialog, [&] { way.close(dialog); });
      EXPECT_FALSE(dialog.isVisible()) << way.name;
      EXPECT_EQ(counter.Saves(), 1) << way.name;
      EXPECT_EQ(ReadRecords(dir.File()), expected) << way.name;
    }
    EXPECT_EQ(counter.Saves(), 1) << way.name;
  }
}

TEST(Form4, NamesAreSavedExactlyAsTyped) {
  const QString names[] = {"", "  髙橋, \"①\"～ ", "<b>x</b>"};
  for (const QString& name : names) {
    TempDir dir;
    Form4 dialog(dir.File(), 2, 1234, nullptr);
    ExecWith(dialog, [&] {
      dialog.Text1()->setText(name);
      QTest::mouseClick(dialog.Command1(), Qt::LeftButton);
    });
    EXPECT_EQ(ReadRecords(dir.File())->at(2), (Record{name.toStdString(), 1234}));
  }
}

TEST(Form4, EachOpeningStartsFromTheDesignName) {
  TempDir dir;
  {
    Form4 dialog(dir.File(), 0, 10, nullptr);
    ExecWith(dialog, [&] {
      dialog.Text1()->setText("first");
      dialog.close();
    });
  }
  Form4 again(dir.File(), 0, 5, nullptr);
  EXPECT_EQ(again.Text1()->text(), "名無士乃権兵衛");
}

TEST(Form4, TornDownWhileOpenStillSavesOnce) {
  TempDir dir;
  SaveCounter counter(dir.path());
  auto dialog = std::make_unique<Form4>(dir.File(), 0, 42, nullptr);
  dialog->show();
  dialog->Text1()->setText("quitter");
  dialog.reset();
  EXPECT_EQ(counter.Saves(), 1);
  EXPECT_EQ(ReadRecords(dir.File())->at(0), (Record{"quitter", 42}));
}

TEST(Form4, OpensAndClosesWhereNothingCanBeWritten) {
  TempDir dir;
  const auto file = dir.path() / "missing" / "GoodTime.dat";
  Form4 dialog(file, 0, 1, nullptr);
  EXPECT_EQ(ExecWith(dialog, [&] { QTest::mouseClick(dialog.Command1(), Qt::LeftButton); }),
            QDialog::Accepted);
  EXPECT_FALSE(std::filesystem::exists(file.parent_path()));
}

TEST(Form5, ShowsTheDesignLayoutAndColours) {
  TempDir dir;
  ScriptedRandom random({0.0f});
  Form5 dialog(dir.File(), random, nullptr);
  EXPECT_EQ(dialog.size(), QSize(336, 136));
  EXPECT_EQ(dialog.minimumSize(), dialog.maximumSize());
  EXPECT_EQ(dialog.Label1(3)->text(), "クラス");
  EXPECT_EQ(dialog.Label2(3)->text(), "タイム");
  EXPECT_EQ(dialog.Label3(3)->text(), "名前");
  EXPECT_EQ(dialog.Label1(0)->text(), "初級");
  EXPECT_EQ(dialog.Label1(1)->text(), "中級");
  EXPECT_EQ(dialog.Label1(2)->text(), "上級");
  EXPECT_EQ(dialog.Command1()->text(), "わっかりやした～");
  EXPECT_EQ(dialog.Command1()->geometry(), Px(120, 1680, 4815, 255));
  EXPECT_EQ(QFontInfo(dialog.Command1()->font()).family(), "IPAGothic");
  EXPECT_FALSE(dialog.Command1()->font().bold());

  EXPECT_EQ(dialog.Label1(3)->geometry(), Px(120, 120, 855, 255));
  EXPECT_EQ(dialog.Label2(3)->geometry(), Px(1320, 120, 855, 255));
  EXPECT_EQ(dialog.Label3(3)->geometry(), Px(3360, 120, 615, 255));
  const QColor rowColours[] = {QColor(255, 0, 0), QColor(0, 255, 0), QColor(128, 128, 255)};
  for (int i = 0; i < 4; ++i) {
    const int top = i == 3 ? 120 : 480 + 360 * i;
    if (i < 3) {
      EXPECT_EQ(dialog.Label1(i)->geometry(), Px(240, top, 615, 255));
      EXPECT_EQ(dialog.Label2(i)->geometry(), Px(840, top, 1575, 255));
      EXPECT_EQ(dialog.Label3(i)->geometry(), Px(2640, top, 3855, 255));
    }
    const QColor colour = i == 3 ? QColor(255, 255, 255) : rowColours[i];
    for (QLabel* label : {dialog.Label1(i), dialog.Label2(i), dialog.Label3(i)}) {
      EXPECT_EQ(label->palette().color(QPalette::WindowText), colour) << i;
      EXPECT_EQ(QFontInfo(label->font()).family(), "IPAGothic");
      EXPECT_TRUE(label->font().bold());
      EXPECT_EQ(label->font().pixelSize(), 16);
      EXPECT_FALSE(label->focusPolicy() & Qt::TabFocus);
    }
    EXPECT_TRUE(dialog.Label2(i)->alignment() & Qt::AlignRight);
  }

  // Drawn: black ground, red text in the beginner's row, green in the next.
  dialog.show();
  const QImage image = dialog.grab().toImage();
  EXPECT_EQ(image.pixelColor(2, 2), QColor(Qt::black));
  auto strongest = [&](const QRect& area, int channel) {
    int best = 0;
    for (int y = area.top(); y <= area.bottom(); ++y) {
      for (int x = area.left(); x <= area.right(); ++x) {
        const QColor c = image.pixelColor(x, y);
        const int values[] = {c.red(), c.green(), c.blue()};
        if (values[(channel + 1) % 3] == 0 && values[(channel + 2) % 3] == 0) {
          best = std::max(best, values[channel]);
        }
      }
    }
    return best;
  };
  EXPECT_GT(strongest(dialog.Label1(0)->geometry(), 0), 200);
  EXPECT_GT(strongest(dialog.Label1(1)->geometry(), 1), 200);
}

TEST(Form5, CaptionIsDrawnFromTheGameGenerator) {
  TempDir dir;
  const float draws[] = {0.0f, 0.17f, 0.34f, 0.5f, 0.67f, 0.99999994f, 1.0f / 6.0f - 1e-7f};
  const int expected[] = {0, 1, 2, 3, 4, 5, 0};
  for (size_t i = 0; i < std::size(draws); ++i) {
    ScriptedRandom random({draws[i]});
    Form5 dialog(dir.File(), random, nullptr);
    EXPECT_EQ(dialog.windowTitle(), kCaptions[expected[i]]) << draws[i];
    EXPECT_EQ(random.drawn(), 1u);
  }

  // The real generator: one draw, and the caption it picks.
  for (uint32_t seed : {1u, 2u, 77u, 12345u}) {
    PortableRandom used(seed);
    PortableRandom twin(seed);
    Form5 dialog(dir.File(), used, nullptr);
    const auto k = static_cast<size_t>(std::floor(static_cast<double>(twin.Next()) * 6.0));
    EXPECT_EQ(dialog.windowTitle(), kCaptions[k]) << seed;
    EXPECT_EQ(used.state(), twin.state()) << seed;
  }
}

TEST(Form5, ShowsTheStoredRecords) {
  TempDir dir;
  ASSERT_TRUE(WriteRecords(dir.File(), {Record{"山田", 370}, Record{"<i>x</i>", 29},
                                        Record{std::string(300, 'L') + "end", 29970}}));
  const std::string before = ReadBytes(dir.File());
  ScriptedRandom random({0.5f});
  Form5 dialog(dir.File(), random, nullptr);
  EXPECT_EQ(dialog.Label2(0)->text(), "12.33[sec]");
  EXPECT_EQ(dialog.Label3(0)->text(), "山田");
  EXPECT_EQ(dialog.Label2(1)->text(), "0.96[sec]");
  EXPECT_EQ(dialog.Label3(1)->text(), "<i>x</i>");
  EXPECT_EQ(dialog.Label3(1)->textFormat(), Qt::PlainText);
  EXPECT_EQ(dialog.Label2(2)->text(), "999[sec]");
  // Kept whole; the window cuts it at its edge.
  EXPECT_EQ(dialog.Label3(2)->text().size(), 303);
  EXPECT_GT(dialog.Label3(2)->geometry().right(), dialog.width());

  EXPECT_EQ(ExecWith(dialog, [&] {
              EXPECT_EQ(QApplication::focusWidget(), dialog.Command1());
              QTest::mouseClick(dialog.Command1(), Qt::LeftButton);
            }),
            QDialog::Accepted);
  EXPECT_EQ(ReadBytes(dir.File()), before);
}

TEST(Form5, DefaultFileShowsTheStoredDefaultName) {
  TempDir dir;
  ASSERT_TRUE(WriteRecords(dir.File(), DefaultRecords()));
  ScriptedRandom random({0.5f});
  Form5 dialog(dir.File(), random, nullptr);
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(dialog.Label2(i)->text(), "999[sec]");
    EXPECT_EQ(dialog.Label3(i)->text(), "登録なし");
  }
}

// Placeholders in every row, including rows that could be read, and the
// file is neither created nor repaired.
TEST(Form5, UnreadableFileShowsOnlyPlaceholders) {
  TempDir dir;
  const std::string contents[] = {"", "\"a\",1\r\n\"b\",2\r\n", "\"a\",1\r\n\"b\",2\r\n\"c\",3"};
  for (const std::string& bytes : contents) {
    WriteBytes(dir.File(), bytes);
    ScriptedRandom random({0.5f});
    Form5 dialog(dir.File(), random, nullptr);
    for (int i = 0; i < 3; ++i) {
      EXPECT_EQ(dialog.Label2(i)->text(), "999[sec]");
      EXPECT_EQ(dialog.Label3(i)->text(), "未登録");
    }
    dialog.close();
    EXPECT_EQ(ReadBytes(dir.File()), bytes);
  }
  std::filesystem::remove(dir.File());
  {
    ScriptedRandom random({0.5f});
    Form5 dialog(dir.File(), random, nullptr);
    EXPECT_EQ(dialog.Label3(0)->text(), "未登録");
    ExecWith(dialog, [&] { dialog.close(); });
  }
  EXPECT_EQ(testing::CountEntries(dir.path()), 0);
}

}  // namespace
}  // namespace porteka

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  // Headless unless told otherwise, also when the test list is gathered.
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
  }
  QApplication app(argc, argv);
  return RUN_ALL_TESTS();
}
