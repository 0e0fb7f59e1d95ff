#pragma once

#include <QDialog>
#include <array>

#include "game/game.h"

class QLabel;
class QPushButton;
class QScrollBar;

namespace porteka {

// The custom board dialog: width, height and bombs on three bars. The button
// writes them into the settings; the close box writes nothing.
class Form2 : public QDialog {
 public:
  Form2(Game& game, QWidget* owner);

  // The bars: 0 width, 1 height, 2 bombs.
  QScrollBar* HScroll1(int index) const { return bars_[static_cast<size_t>(index)]; }
  // The value shown beside each bar.
  QLabel* Label2(int index) const { return values_[static_cast<size_t>(index)]; }
  // "れっつらごー": confirms the three values.
  QPushButton* Command1() const { return command1_; }

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  // Sets the bars from the settings.
  void Form_Load();
  // A bar moved: its label follows, and the size bars move the bombs bar's end.
  void HScroll1_Change(int index);
  // The button: the settings take the bars' values and the dialog closes.
  void Command1_Click();

  Game& game_;
  std::array<QLabel*, 3> names_{};
  std::array<QLabel*, 3> values_{};
  std::array<QScrollBar*, 3> bars_{};
  QPushButton* command1_ = nullptr;
};

}  // namespace porteka
