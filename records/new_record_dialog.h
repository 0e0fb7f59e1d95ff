#pragma once

#include <QDialog>
#include <cstdint>
#include <filesystem>
#include <optional>

#include "game/game.h"
#include "records/unsaved_record.h"

class QLabel;
class QLineEdit;
class QPushButton;

namespace porteka {

// The new-record dialog, "新記録！！": shows the winning time, asks for a name
// and writes the record when it closes, whichever way it is closed (the button,
// Enter in the name box, the close box), exactly once per opening. Escape does
// not close it: it uncovers in the game, and a player who won with it may
// press it again. Keys still on their way from the game are dropped.
// Should the program end while it is open, the record is saved all the same
// (UnsavedRecord).
class Form4 : public QDialog {
  Q_OBJECT

 public:
  Form4(std::filesystem::path recordsFile, Level gameLevel, int32_t elapsedTime,
        QWidget* owner = nullptr);
  ~Form4() override;

  // Every way of closing a dialog funnels through here, the close box included
  // (it rejects); that makes it the one place to save.
  void done(int result) override;

  // "名前 ", the caption of the name box.
  QLabel* Label1() const { return label1_; }
  // The name box.
  QLineEdit* Text1() const { return text1_; }
  // "登録": closes the dialog, which saves the record.
  QPushButton* Command1() const { return command1_; }
  // "タイム", the caption of the time.
  QLabel* Label2() const { return label2_; }
  // The winning time.
  QLabel* Label3() const { return label3_; }

 protected:
  void showEvent(QShowEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

 private:
  // The button: the dialog closes, and closing saves.
  void Command1_Click();
  void SaveRecord();

  std::filesystem::path recordsFile_;
  Level gameLevel_;
  int32_t elapsedTime_;
  // Set while the dialog is open and the record not yet saved.
  std::optional<UnsavedRecord> unsaved_;

  QLabel* label1_;
  QLineEdit* text1_;
  QPushButton* command1_;
  QLabel* label2_;
  QLabel* label3_;
};

}  // namespace porteka
