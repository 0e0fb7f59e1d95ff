#include "records/new_record_dialog.h"

#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShowEvent>
#include <utility>

#include "records/record_time.h"
#include "ui/fonts.h"
#include "ui/opening_key_guard.h"
#include "ui/twips.h"

namespace porteka {

Form4::Form4(RecordKeeper& keeper, Level gameLevel, int32_t elapsedTime, QWidget* owner, std::string run)
    : QDialog(owner, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                         Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint),
      keeper_(keeper),
      gameLevel_(gameLevel),
      elapsedTime_(elapsedTime),
      run_(std::move(run)) {
  setObjectName(QStringLiteral("Form4"));
  setWindowTitle(QStringLiteral("新記録！！"));
  setModal(true);
  setFixedSize(TwipsRect(0, 0, 3780, 1230).size());
  setFont(DesignFont(kGothic, 9));
  new OpeningKeyGuard(this);

  // Created in tab order: name box, button, then the labels.
  label1_ = new QLabel(QStringLiteral("名前 "), this);
  label1_->setObjectName(QStringLiteral("Label1"));
  label1_->setGeometry(TwipsRect(120, 540, 615, 255));
  label1_->setFont(DesignFont(kMincho, 9));

  text1_ = new QLineEdit(QStringLiteral("名無士乃権兵衛"), this);
  text1_->setObjectName(QStringLiteral("Text1"));
  text1_->setGeometry(TwipsRect(600, 480, 3015, 270));
  text1_->setFont(DesignFont(kGothic, 9));

  command1_ = new QPushButton(QStringLiteral("登録"), this);
  command1_->setObjectName(QStringLiteral("Command1"));
  command1_->setGeometry(TwipsRect(120, 840, 3495, 255));
  command1_->setFont(DesignFont(kGothic, 9));
  // Enter in the name box presses it.
  command1_->setDefault(true);

  label2_ = new QLabel(QStringLiteral("タイム"), this);
  label2_->setObjectName(QStringLiteral("Label2"));
  label2_->setGeometry(TwipsRect(1080, 120, 615, 255));
  label2_->setFont(DesignFont(kGothic, 9));

  label3_ = new QLabel(QStringLiteral("0[sec]"), this);
  label3_->setObjectName(QStringLiteral("Label3"));
  // At 1560 twips and 855 wide the time would run under "タイム" and lose its
  // first digit ("タイム2.33[sec]" for 12.33), so it starts where that label
  // ends and is wide enough for any time that can beat the default 999 s,
  // still right-aligned.
  label3_->setGeometry(TwipsRect(1695, 120, 1140, 255));
  label3_->setFont(DesignFont(kGothic, 9));
  label3_->setAlignment(Qt::AlignRight | Qt::AlignVCenter);

  for (QLabel* label : {label1_, label2_, label3_}) {
    label->setTextFormat(Qt::PlainText);
    label->setAutoFillBackground(false);
  }
  setTabOrder(text1_, command1_);
  text1_->setFocus();

  connect(command1_, &QPushButton::clicked, this, &Form4::Command1_Click);
  connect(text1_, &QLineEdit::textChanged, this, [this](const QString& text) {
    if (held_) keeper_.Rename(*held_, text.toStdString());
  });

  label3_->setText(QString::fromStdString(FormatRecordTime(elapsedTime_)));
}

// Torn down while still open (the program quitting under it): that is a close
// as well, and the record is not lost.
Form4::~Form4() {
  if (held_) {
    SaveRecord();
  }
}

void Form4::showEvent(QShowEvent* event) {
  if (!event->spontaneous()) {
    held_ = keeper_.Hold(gameLevel_, elapsedTime_, text1_->text().toStdString(), std::move(run_));
    // The default name comes selected, so a player who types replaces it.
    text1_->setFocus();
    text1_->selectAll();
  }
  QDialog::showEvent(event);
}

void Form4::keyPressEvent(QKeyEvent* event) {
  if (event->matches(QKeySequence::Cancel)) {
    event->accept();
    return;
  }
  QDialog::keyPressEvent(event);
}

void Form4::done(int result) {
  if (held_) {
    SaveRecord();
  }
  QDialog::done(result);
}

void Form4::Command1_Click() { accept(); }

void Form4::SaveRecord() {
  keeper_.Rename(*held_, text1_->text().toStdString());
  keeper_.Save(*held_);
  held_.reset();
}

}  // namespace porteka
