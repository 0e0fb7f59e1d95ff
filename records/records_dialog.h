#pragma once

#include <QDialog>
#include <array>
#include <filesystem>

#include "game/random.h"

class QLabel;
class QPushButton;

namespace porteka {

// The records dialog: one row per fixed level, read from the records file each
// time it opens (never written), under a caption drawn from the game's own
// random generator. A file that cannot be read shows three placeholder rows.
class Form5 : public QDialog {
  Q_OBJECT

 public:
  Form5(std::filesystem::path recordsFile, RandomSource& random, QWidget* owner = nullptr);

  // One control array per column: index 0 to 2 are the rows of `GameLevel` 0
  // to 2, index 3 the header.
  QLabel* Label1(int index) const { return label1_.at(static_cast<size_t>(index)); }
  QLabel* Label2(int index) const { return label2_.at(static_cast<size_t>(index)); }
  QLabel* Label3(int index) const { return label3_.at(static_cast<size_t>(index)); }
  QPushButton* Command1() const { return command1_; }

 private:
  // Draws the caption and fills the rows from the records file.
  void Form_Load(RandomSource& random);
  // The button: closes the list.
  void Command1_Click();

  std::filesystem::path recordsFile_;
  std::array<QLabel*, 4> label1_{};
  std::array<QLabel*, 4> label2_{};
  std::array<QLabel*, 4> label3_{};
  QPushButton* command1_ = nullptr;
};

}  // namespace porteka
