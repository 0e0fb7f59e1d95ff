#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>
#include <array>
#include <gtest/gtest.h>

#include "dialogs/custom_board_dialog.h"
#include "game/game.h"
#include "game/game_flow.h"

namespace porteka {
namespace {

using Three = std::array<int, 3>;  // width, height, bombs

// The bars start on the board played now (10 bombs, not the 40 the dialog
// holds before it opens). The keys a player has on each bar, pressed width
// first, then height, then bombs: arrows step as the bars are drawn, Home and
// End reach the ends, the bombs bar's end follows the size and pulls a larger
// value down, and the button writes what the labels show while the close box
// writes nothing.
TEST(CustomBoardDialogTest, KeysReachTheBarsEndsAndOnlyTheButtonWritesWhatTheLabelsShow) {
  PortableRandom random{1};
  SilentOutside outside;
  Game game{random, outside};
  const auto labels = [](const Form2& dialog) -> Three {
    return {dialog.Label2(0)->text().toInt(), dialog.Label2(1)->text().toInt(), dialog.Label2(2)->text().toInt()};
  };
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
    game.gro.BoardWidth = game.gro.BoardHeight = 8;
    game.gro.BombCount = 10;
    Form2 dialog(game, nullptr);
    EXPECT_EQ(labels(dialog), (Three{8, 8, 10}));
    EXPECT_EQ(dialog.HScroll1(2)->maximum(), 64);
    for (int i = 0; i < 3; ++i) QTest::keyClick(dialog.HScroll1(i), c.keys[static_cast<size_t>(i)]);
    EXPECT_EQ(labels(dialog), c.shown);
    if (c.confirmed) {
      dialog.Command1()->click();
    } else {
      dialog.close();
    }
    const Three written = {game.gro.BoardWidth, game.gro.BoardHeight, game.gro.BombCount};
    EXPECT_EQ(written, (c.confirmed ? c.shown : Three{8, 8, 10})) << "confirmed " << c.confirmed;
  }
}

}  // namespace
}  // namespace porteka
