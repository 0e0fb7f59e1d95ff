#pragma once

#include <QDialog>
#include <filesystem>
#include <functional>

class QLabel;
class QPushButton;

namespace porteka {

// The statistics: a column per level, a row per figure, and the last game,
// read from the statistics file each time it opens. Its clear button asks
// first, then hands the clearing to `clear` and shows the file afresh.
class StatisticsDialog : public QDialog {
 public:
  StatisticsDialog(std::filesystem::path file, std::function<void()> clear, QWidget* owner = nullptr);

  // The figure `row` of level column 0 to 3 ("played_0", "best_frames_3" …).
  QLabel* Figure(const char* row, int level) const;
  QLabel* LastGame() const { return lastGame_; }
  QPushButton* ClearButton() const { return clear_; }
  QPushButton* CloseButton() const { return close_; }

 private:
  void Fill();
  void Clear_Click();

  std::filesystem::path file_;
  std::function<void()> clearStatistics_;
  QLabel* lastGame_ = nullptr;
  QPushButton* clear_ = nullptr;
  QPushButton* close_ = nullptr;
};

}  // namespace porteka
