#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>
#include <QTimer>
#include <array>
#include <gtest/gtest.h>

#include "dialogs/custom_board_dialog.h"
#include "dialogs/title_card.h"
#include "game/game.h"
#include "game/game_flow.h"

namespace porteka {
namespace {

using Three = std::array<int, 3>;  // width, height, bombs

class CustomBoardDialogTest : public testing::Test {
 protected:
  void Settings(int16_t width, int16_t height, int16_t bombs) {
    game_.gro.BoardWidth = width;
    game_.gro.BoardHeight = height;
    game_.gro.BombCount = bombs;
  }
  static Three Labels(const Form2& dialog) {
    return {dialog.Label2(0)->text().toInt(), dialog.Label2(1)->text().toInt(), dialog.Label2(2)->text().toInt()};
  }

  PortableRandom random_{1};
  SilentOutside outside_;
  Game game_{random_, outside_};
};

// The bars start on the board played now (16 bombs, not the 40 the dialog
// holds before it opens), and the bombs bar ends at what the size allows.
TEST_F(CustomBoardDialogTest, OpensOnTheCurrentSettings) {
  const struct {
    Three settings;
    int mostBombs;
  } cases[] = {{{8, 8, 10}, 64}, {{16, 16, 16}, 256}};
  for (const auto& [settings, mostBombs] : cases) {
    Settings(int16_t(settings[0]), int16_t(settings[1]), int16_t(settings[2]));
    Form2 dialog(game_, nullptr);
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("カスタム"));
    EXPECT_EQ(dialog.size(), QSize(154, 112));
    EXPECT_EQ(Labels(dialog), settings);
    EXPECT_EQ(dialog.HScroll1(2)->maximum(), mostBombs);
  }
}

// The keys a player has on each bar, pressed width first, then height, then
// bombs: arrows step as the bars are drawn, Home and End reach the ends, the
// bombs bar's end follows the size and pulls a larger value down, and the
// button writes what the labels show while the close box writes nothing.
TEST_F(CustomBoardDialogTest, KeysReachTheBarsEndsAndOnlyTheButtonWritesWhatTheLabelsShow) {
  const struct {
    std::array<Qt::Key, 3> keys;
    Three shown;
    bool confirmed;
  } cases[] = {
      {{Qt::Key_End, Qt::Key_Home, Qt::Key_End}, {32, 2, 64}, true},
      {{Qt::Key_Home, Qt::Key_End, Qt::Key_End}, {2, 32, 64}, true},
      {{Qt::Key_End, Qt::Key_End, Qt::Key_End}, {32, 32, 256}, true},
      {{Qt::Key_Home, Qt::Key_Home, Qt::Key_Shift}, {2, 2, 4}, true},
      {{Qt::Key_Left, Qt::Key_Right, Qt::Key_Home}, {7, 9, 1}, true},
      {{Qt::Key_Left, Qt::Key_Right, Qt::Key_Home}, {7, 9, 1}, false},
  };
  for (const auto& c : cases) {
    Settings(8, 8, 10);
    Form2 dialog(game_, nullptr);
    for (int i = 0; i < 3; ++i) QTest::keyClick(dialog.HScroll1(i), c.keys[static_cast<size_t>(i)]);
    EXPECT_EQ(Labels(dialog), c.shown);
    if (c.confirmed) {
      dialog.Command1()->click();
    } else {
      dialog.close();
    }
    const Three written = {game_.gro.BoardWidth, game_.gro.BoardHeight, game_.gro.BombCount};
    EXPECT_EQ(written, (c.confirmed ? c.shown : Three{8, 8, 10})) << "confirmed " << c.confirmed;
  }
}

TEST(TitleCardTest, KeysLeaveItOpenAndAnyMouseButtonClosesIt) {
  for (Qt::MouseButton button : {Qt::LeftButton, Qt::RightButton, Qt::MiddleButton}) {
    Form3 card(nullptr);
    EXPECT_EQ(card.size(), QSize(128, 128));
    EXPECT_TRUE(card.windowFlags() & Qt::FramelessWindowHint);
    bool stillOpenAfterKeys = false;
    QTimer::singleShot(0, &card, [&] {
      for (int key : {Qt::Key_Escape, Qt::Key_Return, Qt::Key_A}) QTest::keyClick(&card, static_cast<Qt::Key>(key));
      stillOpenAfterKeys = card.isVisible();
      QTest::mousePress(&card, button, Qt::NoModifier, QPoint(30, 90));
    });
    card.exec();
    EXPECT_TRUE(stillOpenAfterKeys);
    EXPECT_FALSE(card.isVisible());
  }
}

}  // namespace
}  // namespace porteka
