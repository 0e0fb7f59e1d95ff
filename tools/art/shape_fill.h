#pragma once

#include <QImage>
#include <QRect>
#include <QRgb>

#include <functional>

namespace porteka::art {

// A shape is a test on a point in pixel coordinates: pixel (x, y) covers
// x <= px < x + 1, y <= py < y + 1.
using Inside = std::function<bool(double px, double py)>;
// Colour of a shape at the centre of a pixel.
using Shader = std::function<QRgb(double px, double py)>;

// Paints a shape with antialiased edges: each pixel of the box is blended over
// what is there by the share of its 8 x 8 samples that fall inside. The image
// must be Format_ARGB32.
void FillShape(QImage& image, const QRect& box, const Inside& inside, const Shader& shader);
void FillShape(QImage& image, const QRect& box, const Inside& inside, QRgb colour);

// Paints a shape with hard edges: a pixel is replaced when its centre is inside.
void FillPixels(QImage& image, const QRect& box, const Inside& inside, const Shader& shader);
void FillPixels(QImage& image, const QRect& box, const Inside& inside, QRgb colour);

// Source-over blend of a colour with the given extra coverage onto one pixel.
void BlendPixel(QImage& image, int x, int y, QRgb colour, double coverage);

// Ready-made shapes.
Inside Disc(double cx, double cy, double radius);
Inside Ellipse(double cx, double cy, double rx, double ry);
// A thick line with round ends.
Inside Capsule(double x0, double y0, double x1, double y1, double width);

// The smallest whole-pixel box holding a region given by its edges.
QRect BoxAround(double left, double top, double right, double bottom);

}  // namespace porteka::art
