#include "ui/game_dialog.h"

#include <QPalette>

#include "ui/fonts.h"
#include "ui/opening_key_guard.h"
#include "ui/twips.h"

namespace porteka {

void SetUpGameDialog(QDialog& dialog, const QString& objectName, const QString& title, int widthTwips,
                     int heightTwips, bool blackGround) {
  dialog.setObjectName(objectName);
  dialog.setWindowTitle(title);
  dialog.setModal(true);
  dialog.setFixedSize(TwipsRect(0, 0, widthTwips, heightTwips).size());
  dialog.setFont(DesignFont(kGothic, 9));
  new OpeningKeyGuard(&dialog);
  if (!blackGround) return;
  QPalette palette = dialog.palette();
  palette.setColor(QPalette::Window, Qt::black);
  palette.setColor(QPalette::WindowText, Qt::white);
  dialog.setPalette(palette);
  dialog.setAutoFillBackground(true);
}

}  // namespace porteka
