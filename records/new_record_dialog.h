#pragma once

#include <QDialog>
#include <cstdint>
#include <optional>
#include <string>

#include "game/game.h"
#include "records/record_keeper.h"

class QLabel;
class QLineEdit;
class QPushButton;

namespace porteka {

// The new-record dialog, "新記録！！": shows the winning time, asks for a name
// and hands the record to the keeper to be saved when it closes, whichever way
// it is closed (the button, Enter in the name box, the close box), exactly
// once per opening. Escape does not close it: it uncovers in the game, and a
// player who won with it may press it again. Keys still on their way from the
// game are dropped. Should the program end while it is open, the keeper saves
// the record all the same, with the name typed so far.
class Form4 : public QDialog {
  Q_OBJECT

 public:
  // `run`: the game that made the record, saved with it (none: empty).
  Form4(RecordKeeper& keeper, Level gameLevel, int32_t elapsedTime, QWidget* owner = nullptr, std::string run = {});
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

  RecordKeeper& keeper_;
  Level gameLevel_;
  int32_t elapsedTime_;
  std::string run_;
  // The keeper's number for the record, while the dialog is open.
  std::optional<int> held_;

  QLabel* label1_;
  QLineEdit* text1_;
  QPushButton* command1_;
  QLabel* label2_;
  QLabel* label3_;
};

}  // namespace porteka
