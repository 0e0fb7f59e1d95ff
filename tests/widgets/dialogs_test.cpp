#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

#include "dialogs/custom_board_dialog.h"
#include "dialogs/title_card.h"
#include "game/game.h"
#include "game/game_flow.h"

namespace porteka {
namespace {

class CustomBoardDialogTest : public testing::Test {
 protected:
  void Settings(int16_t width, int16_t height, int16_t bombs) {
    game_.gro.BoardWidth = width;
    game_.gro.BoardHeight = height;
    game_.gro.BombCount = bombs;
  }
  static QString Label(const Form2& dialog, int i) { return dialog.Label2(i)->text(); }

  PortableRandom random_{1};
  SilentOutside outside_;
  Game game_{random_, outside_};
};

TEST_F(CustomBoardDialogTest, OpensOnTheCurrentSettings) {
  Settings(8, 8, 10);
  Form2 dialog(game_, nullptr);
  EXPECT_EQ(dialog.windowTitle(), QStringLiteral("カスタム"));
  EXPECT_EQ(dialog.size(), QSize(154, 112));
  EXPECT_EQ(Label(dialog, 0), "8");
  EXPECT_EQ(Label(dialog, 1), "8");
  EXPECT_EQ(Label(dialog, 2), "10");
  EXPECT_EQ(dialog.HScroll1(2)->maximum(), 64);

  Settings(16, 16, 16);
  Form2 same(game_, nullptr);
  EXPECT_EQ(Label(same, 0), "16");
  EXPECT_EQ(Label(same, 1), "16");
  EXPECT_EQ(Label(same, 2), "16");  // not the "40" it shows at creation
}

TEST_F(CustomBoardDialogTest, BombsBarEndFollowsTheSize) {
  Settings(32, 16, 99);
  Form2 dialog(game_, nullptr);
  EXPECT_EQ(dialog.HScroll1(2)->maximum(), 256);  // 512 capped

  dialog.HScroll1(2)->setValue(10);
  dialog.HScroll1(0)->setValue(2);
  dialog.HScroll1(1)->setValue(2);
  EXPECT_EQ(dialog.HScroll1(2)->maximum(), 4);
  EXPECT_EQ(dialog.HScroll1(2)->value(), 4);
  EXPECT_EQ(Label(dialog, 2), "4");
  EXPECT_EQ(Label(dialog, 0), "2");
}

TEST_F(CustomBoardDialogTest, ButtonWritesTheSettingsAndTheCloseBoxWritesNothing) {
  Settings(16, 16, 40);
  {
    Form2 dialog(game_, nullptr);
    dialog.HScroll1(0)->setValue(5);
    dialog.HScroll1(1)->setValue(3);
    dialog.HScroll1(2)->setValue(15);
    dialog.close();
  }
  EXPECT_EQ(game_.gro.BoardWidth, 16);
  EXPECT_EQ(game_.gro.BombCount, 40);
  {
    Form2 dialog(game_, nullptr);
    dialog.HScroll1(0)->setValue(5);
    dialog.HScroll1(1)->setValue(3);
    dialog.HScroll1(2)->setValue(15);
    dialog.Command1()->click();
  }
  EXPECT_EQ(game_.gro.BoardWidth, 5);
  EXPECT_EQ(game_.gro.BoardHeight, 3);
  EXPECT_EQ(game_.gro.BombCount, 15);
}

TEST_F(CustomBoardDialogTest, ArrowKeysMoveTheFocusedBarTheWayItIsDrawn) {
  Settings(8, 8, 10);
  Form2 dialog(game_, nullptr);
  QTest::keyClick(dialog.HScroll1(0), Qt::Key_Right);
  EXPECT_EQ(Label(dialog, 0), "9");
  QTest::keyClick(dialog.HScroll1(0), Qt::Key_Left);
  QTest::keyClick(dialog.HScroll1(0), Qt::Key_Left);
  EXPECT_EQ(Label(dialog, 0), "7");
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
