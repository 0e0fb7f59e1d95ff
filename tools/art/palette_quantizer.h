#pragma once

#include <QImage>
#include <QList>
#include <QRgb>

namespace porteka::art {

// Turns a Format_ARGB32 picture into Format_Indexed8. A picture with at most
// maxColours distinct colours keeps every colour exactly; a richer one gets a
// median-cut palette of maxColours entries.
QImage ToIndexed(const QImage& picture, int maxColours);

// Turns a Format_ARGB32 picture into Format_Indexed8 over a given palette,
// each pixel taking the nearest entry.
QImage MapToPalette(const QImage& picture, const QList<QRgb>& palette);

// Number of distinct colours (alpha included) in a Format_ARGB32 picture.
int CountColours(const QImage& picture);

}  // namespace porteka::art
