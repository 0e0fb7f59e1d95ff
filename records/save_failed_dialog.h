#pragma once

#include <QDialog>

#include "records/record_keeper.h"

class QLabel;
class QPushButton;

namespace porteka {

// Says once that a record the player named could not be saved, and why. It is
// the one message the game ever shows: a record typed in is worth it. The
// keeper holds on to the record and tries again.
class SaveFailedDialog : public QDialog {
  Q_OBJECT

 public:
  SaveFailedDialog(const RecordKeeper::Failure& failure, QWidget* owner = nullptr);

  QLabel* Message() const { return message_; }
  QPushButton* Button() const { return button_; }

 private:
  QLabel* message_;
  QPushButton* button_;
};

// Why a write failed, in the player's words.
QString SaveFailureReason(int error);

}  // namespace porteka
