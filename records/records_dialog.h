#pragma once

#include <QDialog>
#include <array>
#include <filesystem>
#include <optional>
#include <string>

#include "game/random.h"

class QLabel;
class QPushButton;

namespace porteka {

// The records dialog: one row per fixed level, read from the records file each
// time it opens (never written), under a caption drawn from the game's own
// random generator. A file that cannot be read shows three placeholder rows.
// Below them, a button per level plays the run that made its record, where
// that run is kept beside the file; choosing one closes the list.
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
  // "初級を再生" and so on: enabled where the level's record has its run.
  QPushButton* Command2(int index) const { return command2_.at(static_cast<size_t>(index)); }

  // The run chosen to be watched, taken once.
  std::optional<std::string> ChosenRun();

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
  std::array<QPushButton*, 3> command2_{};
  std::array<std::optional<std::string>, 3> runs_;
  std::optional<size_t> chosen_;
};

}  // namespace porteka
