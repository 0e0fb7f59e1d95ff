#pragma once

#include <QDialog>
#include <array>

#include "game/game.h"

class QLabel;
class QPushButton;
class QScrollBar;

namespace porteka {

// The custom board: width, height and bombs on three bars. The button writes
// them into the settings; the close box writes nothing.
class Form2 : public QDialog {
 public:
  Form2(Game& game, QWidget* owner);

  QScrollBar* HScroll1(int index) const { return bars_[static_cast<size_t>(index)]; }
  QLabel* Label2(int index) const { return values_[static_cast<size_t>(index)]; }
  QPushButton* Command1() const { return command1_; }

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  void Form_Load();
  void HScroll1_Change(int index);
  void Command1_Click();

  Game& game_;
  std::array<QLabel*, 3> names_{};
  std::array<QLabel*, 3> values_{};
  std::array<QScrollBar*, 3> bars_{};
  QPushButton* command1_ = nullptr;
};

}  // namespace porteka
