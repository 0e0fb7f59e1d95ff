#pragma once

#include <QImage>
#include <QString>

namespace porteka::art {

// Writes a PNG with nothing in it that could change from run to run
// (no text chunks, a fixed 96 dpi).
bool SavePng(QImage image, const QString& path);

// Writes an 8-bit Format_Indexed8 picture as a Windows BMP: 54-byte header,
// 256-entry BGRX palette, rows bottom-up, each padded to four bytes.
bool SaveBmp8(const QImage& indexed, const QString& path);

}  // namespace porteka::art
