#include "records/save_failed_dialog.h"

#include <QLabel>
#include <QPushButton>
#include <array>
#include <cerrno>
#include <cstring>

#include "records/record_time.h"
#include "ui/fonts.h"
#include "ui/game_dialog.h"
#include "ui/twips.h"

namespace porteka {

QString SaveFailureReason(int error) {
  switch (error) {
    case ENOSPC:
    case EDQUOT:
    case EFBIG:
      return QStringLiteral("ディスクがいっぱいです");
    case EACCES:
    case EPERM:
      return QStringLiteral("書き込みが許されていません");
    case EROFS:
      return QStringLiteral("読み出し専用の場所です");
    case EIO:
      return QStringLiteral("ディスクの読み書きに失敗しました");
    default:
      return QStringLiteral("思わぬエラーです (%1)").arg(QString::fromLocal8Bit(std::strerror(error)));
  }
}

SaveFailedDialog::SaveFailedDialog(const RecordKeeper::Failure& failure, QWidget* owner)
    : QDialog(owner, kGameDialogFrame) {
  // The key guard matters here: it opens just after the name was given,
  // perhaps with Enter still held.
  SetUpGameDialog(*this, QStringLiteral("SaveFailedDialog"), QStringLiteral("記録を保存できません"), 5040, 1680,
                  /*blackGround=*/true);

  constexpr std::array<const char*, 3> kLevels = {"初級", "中級", "上級"};
  const auto level = static_cast<size_t>(failure.level);
  message_ = new QLabel(this);
  message_->setObjectName(QStringLiteral("Message"));
  message_->setTextFormat(Qt::PlainText);
  message_->setWordWrap(true);
  message_->setGeometry(TwipsRect(120, 120, 4800, 1080));
  message_->setFont(DesignFont(kGothic, 9));
  message_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  message_->setText(QStringLiteral("%1の記録 %2 を保存できませんでした。\n理由: %3。\n\n"
                                   "記録は覚えています。次に記録を保存するときと、ゲームを終えるときに、"
                                   "もう一度保存します。")
                        .arg(QString::fromUtf8(level < kLevels.size() ? kLevels[level] : ""),
                             QString::fromStdString(FormatRecordTime(failure.time)),
                             SaveFailureReason(failure.error)));

  button_ = new QPushButton(QStringLiteral("わかった"), this);
  button_->setObjectName(QStringLiteral("Button"));
  button_->setGeometry(TwipsRect(120, 1320, 4815, 255));
  button_->setDefault(true);
  button_->setFocus();
  connect(button_, &QPushButton::clicked, this, &QDialog::accept);
}

}  // namespace porteka
