#include <sys/stat.h>

#include <QDialog>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QStyleOptionButton>
#include <cerrno>
#include <functional>
#include <gtest/gtest.h>
#include <memory>
#include <string>

#include "dialogs/custom_board_dialog.h"
#include "dialogs/title_card.h"
#include "game/game.h"
#include "records/file_worker.h"
#include "records/new_record_dialog.h"
#include "records/record_keeper.h"
#include "records/records_dialog.h"
#include "records/records_file.h"
#include "records/save_failed_dialog.h"
#include "records/statistics_dialog.h"
#include "records/statistics_file.h"
#include "render/zoomed_picture.h"
#include "tests/records/temp_dir.h"
#include "ui/settings_file.h"
#include "ui/zoom.h"

namespace porteka {
namespace {

using scratch::TempDir;
using scratch::WriteBytes;

// What a settings file holds, and the zoom the game takes from it: anything
// but a factor from 1 to 4 on the zoom line gives 1.
TEST(SettingsFile, GivesTheZoomItHoldsAndOneForAnythingElse) {
  const std::pair<std::string, int> cases[] = {
      {"zoom=2\n", 2}, {"# chosen\r\n\r\n zoom = 3 \r\n", 3}, {"zoom=4", 4}, {"other=1\nzoom=1\n", 1}, {"zoom=5\n", 1},
      {"zoom=0\n", 1}, {"zoom=2x\n", 1}, {"zoom=\n", 1}, {"zoom=3\nzoom=9\n", 1}, {"zoom=-2\n", 1}, {"", 1},
      {std::string("zoom=2\0\xff", 8), 1}, {"zoom=2\n" + std::string(5000, '#'), 1},  // the last far too long to be ours
  };
  TempDir dir;
  const auto file = dir.path() / "porteka.conf";
  for (const auto& [bytes, zoom] : cases) {
    WriteBytes(file, bytes);
    EXPECT_EQ(ReadZoomSetting(file), zoom) << bytes;
  }
  // Missing, a pipe (never waited on): 1.
  std::filesystem::remove(file);
  EXPECT_EQ(ReadZoomSetting(file), 1);
  ASSERT_EQ(::mkfifo(file.c_str(), 0600), 0);
  EXPECT_EQ(ReadZoomSetting(file), 1);
}

// Saving makes the folder, and what is saved is read back; where the folder
// cannot be made (a file by its name) or the file is a folder, the save fails
// and leaves everything as it was, and a folder reads as 1.
TEST(SettingsFile, SavesThroughItsFolderAndFailsHarmlessly) {
  TempDir dir;
  const auto file = dir.path() / "config" / "porteka" / "porteka.conf";
  EXPECT_TRUE(SaveZoomSetting(file, 3));
  EXPECT_EQ(ReadZoomSetting(file), 3);
  WriteBytes(dir.path() / "blocked", "a file");
  EXPECT_FALSE(SaveZoomSetting(dir.path() / "blocked" / "porteka.conf", 2));
  EXPECT_EQ(scratch::ReadBytes(dir.path() / "blocked"), "a file");
  std::filesystem::create_directory(dir.path() / "folder.conf");
  EXPECT_FALSE(SaveZoomSetting(dir.path() / "folder.conf", 2));
  EXPECT_EQ(ReadZoomSetting(dir.path() / "folder.conf"), 1);
}

// Each update zooms what changed and says where, in pixels of the zoomed
// picture.
TEST(ZoomedPicture, ZoomsWhatChangedAndSaysWhere) {
  for (int k = kMinZoom; k <= kMaxZoom; ++k) {
    ZoomedPicture picture;
    picture.SetZoom(k);
    Surface drawn(20, 12, Rgb(1, 2, 3));
    EXPECT_EQ(picture.Update(drawn), (PixelRect{0, 0, 20 * k, 12 * k}));
    EXPECT_EQ(picture.Update(drawn), PixelRect{});
    drawn.Row(7)[5] = Rgb(9, 9, 9);
    drawn.Row(8)[7] = Rgb(8, 8, 8);
    EXPECT_EQ(picture.Update(drawn), (PixelRect{5 * k, 7 * k, 3 * k, 2 * k}));
    EXPECT_EQ(picture.shown().pixels, Zoomed(drawn, k).pixels) << "zoom " << k;
  }
}

// Where a text's ink lies when drawn in `room` as its control draws it, but
// unclipped, on a canvas larger than the room on every side; empty for no text.
QRect InkOf(const QFont& font, const QRect& room, int flags, const QString& text) {
  const int margin = room.height() + 64;
  QImage canvas(room.size() + QSize(2 * margin, 2 * margin), QImage::Format_ARGB32_Premultiplied);
  canvas.fill(Qt::transparent);
  QPainter painter(&canvas);
  painter.setFont(font);
  painter.drawText(QRect(QPoint(margin, margin), room.size()), flags | Qt::TextDontClip, text);
  painter.end();
  QRect ink;
  for (int y = 0; y < canvas.height(); ++y)
    for (int x = 0; x < canvas.width(); ++x)
      if (qAlpha(canvas.pixel(x, y)) != 0) ink |= QRect(x, y, 1, 1);
  return ink.translated(room.topLeft() - QPoint(margin, margin));
}

// The room a control gives its text, the text's ink there, and what the
// control covers of its dialog: a label only its ink, as labels may reach past
// their neighbours with blank space; anything with a frame its whole box.
// Antialiased edges, and glyphs that rise above the font's ascent (the
// brackets of "[sec]"), may reach one pixel further: a box 15 twips too small
// is still four pixels short at zoom 4.
struct Part {
  QRect room, ink, covered;
  bool TextShowsWhole() const { return ink.isEmpty() || room.adjusted(-1, -1, 1, 1).contains(ink); }
};

Part PartOf(QWidget* control) {
  const QRect box = control->geometry();
  const auto part = [&](const QRect& room, int flags, const QString& text, bool framed) {
    const QRect ink = InkOf(control->font(), room, flags, text);
    return Part{room, ink, framed ? box : ink.isEmpty() ? QRect() : ink.adjusted(1, 1, -1, -1)};
  };
  if (auto* label = qobject_cast<QLabel*>(control)) {
    const int flags = static_cast<int>(label->alignment()) | (label->wordWrap() ? Qt::TextWordWrap : 0);
    return part(label->contentsRect().translated(box.topLeft()), flags, label->text(), false);
  }
  if (auto* button = qobject_cast<QPushButton*>(control)) {
    QStyleOptionButton option;
    option.initFrom(button);
    if (button->autoDefault()) option.features |= QStyleOptionButton::AutoDefaultButton;
    const QRect room = button->style()->subElementRect(QStyle::SE_PushButtonContents, &option, button);
    return part(room.translated(box.topLeft()), Qt::AlignCenter | Qt::TextShowMnemonic, button->text(), true);
  }
  return {box, {}, box};
}

std::string NameOf(const QWidget* control) {
  return QString("%1 %2 \"%3\"")
      .arg(control->window()->windowTitle(), control->metaObject()->className(), control->property("text").toString())
      .toStdString();
}

// Every dialog with its widest texts, at every zoom: laid out at k times its
// twips and fonts, each text shows whole in its control, and everything a
// dialog shows lies inside its client area, clear of everything else. The
// names in the records list reach past the window's edge with blank space:
// the window cuts long names there. The custom board's value labels end a
// pixel under their scroll bars.
TEST(ZoomedDialogs, AreKTimesAsLargeWithTheirTextsWholeInsideAndClearOfOneAnother) {
  TempDir dir;
  ASSERT_TRUE(WriteRecords(dir.File(), {Record{"名無士乃権兵衛", 29969}, Record{"WWWW", 29969}, Record{"", 29}}));
  Statistics statistics;
  statistics.levels.fill({99999, 99999, 99999, 99999, 99999, 99999, 29969, 29969LL * 99999, 999999999, 99.99});
  statistics.last = GameResult{Level::Intermediate, GameOutcome::Abandoned, 29969, 999};
  WriteBytes(dir.path() / kStatisticsFileName, SerializeStatistics(statistics));
  FileWorker worker;
  RecordKeeper keeper(dir.File(), worker);
  PortableRandom random{1};
  SilentOutside outside;
  Game game{random, outside};
  game.gro.BoardWidth = game.gro.BoardHeight = 32;
  game.gro.BombCount = 256;
  const std::function<std::unique_ptr<QDialog>()> dialogs[] = {
      [&] { return std::make_unique<Form2>(game, nullptr); },
      [&] { return std::make_unique<Form3>(nullptr); },
      [&] { return std::make_unique<Form4>(keeper, Level::Beginner, 29969, nullptr); },
      [&] { return std::make_unique<Form5>(dir.File(), random, nullptr); },
      [&] { return std::make_unique<StatisticsDialog>(dir.path() / kStatisticsFileName, [] {}, nullptr); },
      [&] { return std::make_unique<SaveFailedDialog>(RecordKeeper::Failure{Level::Advanced, 29969, EIO}, nullptr); },
  };
  for (const auto& make : dialogs) {
    SetZoom(1);
    const auto small = make();
    const QList<QWidget*> smallParts = small->findChildren<QWidget*>(Qt::FindDirectChildrenOnly);
    for (int k = kMinZoom; k <= kMaxZoom; ++k) {
      SetZoom(k);
      const auto dialog = make();
      EXPECT_EQ(dialog->size(), small->size() * k) << small->windowTitle().toStdString();
      const QList<QWidget*> controls = dialog->findChildren<QWidget*>(Qt::FindDirectChildrenOnly);
      ASSERT_EQ(controls.size(), smallParts.size());
      std::vector<Part> parts;
      for (qsizetype i = 0; i < controls.size(); ++i) {
        const std::string name = NameOf(controls[i]) + " at zoom " + std::to_string(k);
        const QRect box = smallParts[i]->geometry();
        EXPECT_EQ(controls[i]->geometry(), QRect(box.topLeft() * k, box.size() * k)) << name;
        const int pixels = smallParts[i]->font().pixelSize();  // -1 for the style's own font (scroll bars)
        EXPECT_EQ(controls[i]->font().pixelSize(), pixels > 0 ? k * pixels : pixels) << name;
        const Part& part = parts.emplace_back(PartOf(controls[i]));
        EXPECT_TRUE(part.TextShowsWhole()) << name << ": text cut off";
        EXPECT_TRUE(part.covered.isEmpty() || dialog->rect().contains(part.covered)) << name << ": outside the dialog";
        for (qsizetype j = 0; j < i; ++j) {
          const QRect overlap = part.covered & parts[static_cast<size_t>(j)].covered;
          const bool labelUnderBar = (controls[i]->inherits("QLabel") && controls[j]->inherits("QScrollBar")) ||
                                     (controls[j]->inherits("QLabel") && controls[i]->inherits("QScrollBar"));
          EXPECT_TRUE(overlap.isEmpty() || (labelUnderBar && overlap.width() <= k))
              << name << " runs into " << NameOf(controls[j]);
        }
      }
    }
  }
  SetZoom(1);
}

}  // namespace
}  // namespace porteka
