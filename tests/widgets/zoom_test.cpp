#include <sys/stat.h>

#include <QDialog>
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
#include "render/zoomed_picture.h"
#include "tests/records/temp_dir.h"
#include "ui/settings_file.h"
#include "ui/zoom.h"

namespace porteka {
namespace {

using testing::TempDir;
using testing::WriteBytes;

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
  EXPECT_EQ(testing::ReadBytes(dir.path() / "blocked"), "a file");
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

// Every dialog lays out at k times its twips and its fonts.
TEST(ZoomedDialogs, AreKTimesAsLargeWithKTimesTheirFonts) {
  TempDir dir;
  FileWorker worker;
  RecordKeeper keeper(dir.File(), worker);
  PortableRandom random{1};
  SilentOutside outside;
  Game game{random, outside};
  const std::function<std::unique_ptr<QDialog>()> dialogs[] = {
      [&] { return std::make_unique<Form2>(game, nullptr); },
      [&] { return std::make_unique<Form3>(nullptr); },
      [&] { return std::make_unique<Form4>(keeper, Level::Beginner, 370, nullptr); },
      [&] { return std::make_unique<Form5>(dir.File(), random, nullptr); },
  };
  for (const auto& make : dialogs) {
    SetZoom(1);
    const auto small = make();
    SetZoom(2);
    const auto large = make();
    EXPECT_EQ(large->size(), small->size() * 2) << small->windowTitle().toStdString();
    const QList<QWidget*> smallParts = small->findChildren<QWidget*>(Qt::FindDirectChildrenOnly);
    const QList<QWidget*> largeParts = large->findChildren<QWidget*>(Qt::FindDirectChildrenOnly);
    ASSERT_EQ(smallParts.size(), largeParts.size());
    for (qsizetype i = 0; i < smallParts.size(); ++i) {
      const QRect box = smallParts[i]->geometry();
      EXPECT_EQ(largeParts[i]->geometry(), QRect(box.topLeft() * 2, box.size() * 2)) << i;
      const int pixels = smallParts[i]->font().pixelSize();  // -1 for the style's own font (scroll bars)
      EXPECT_EQ(largeParts[i]->font().pixelSize(), pixels > 0 ? 2 * pixels : pixels) << i;
    }
  }
  SetZoom(1);
}

}  // namespace
}  // namespace porteka
