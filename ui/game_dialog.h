#pragma once

#include <QDialog>
#include <QString>

namespace porteka {

// The frame of the game's small dialogs: a title and a close box, nothing to
// maximise or resize.
inline constexpr Qt::WindowFlags kGameDialogFrame = Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                                                    Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint;

// What the game's dialogs share: modal, a client area fixed in twips (so it
// follows the zoom), the dialog font, keys still held from the game kept out,
// and for the dialogs drawn in the game's colours a black ground.
void SetUpGameDialog(QDialog& dialog, const QString& objectName, const QString& title, int widthTwips,
                     int heightTwips, bool blackGround);

}  // namespace porteka
