#include "render/picture_surface.h"

#include <QMouseEvent>
#include <algorithm>
#include <cstring>
#include <QPainter>

#include "render/sheet_loader.h"

namespace porteka {

int16_t ButtonSum(Qt::MouseButtons buttons) {
  int16_t sum = 0;
  if (buttons & Qt::LeftButton) sum |= 1;
  if (buttons & Qt::RightButton) sum |= 2;
  if (buttons & Qt::MiddleButton) sum |= 4;
  return sum;
}

PictureSurface::PictureSurface(QWidget* parent) : QWidget(parent) {
  setAttribute(Qt::WA_OpaquePaintEvent);
  setFocusPolicy(Qt::NoFocus);
}

void PictureSurface::ResizeImage(int width, int height, uint32_t background) {
  background_ = background;
  if (image_.width != width || image_.height != height) image_ = Surface(width, height, background);
  setFixedSize(width, height);
}

void PictureSurface::Present() {
  const Surface& surface = shown();
  if (surface.width != presented_.width || surface.height != presented_.height) {
    presented_ = surface;
    update();
    return;
  }
  int top = -1, bottom = -1, left = surface.width, right = -1;
  for (int y = 0; y < surface.height; ++y) {
    const uint32_t* now = surface.Row(y);
    uint32_t* before = presented_.Row(y);
    if (std::memcmp(now, before, static_cast<size_t>(surface.width) * sizeof(uint32_t)) == 0) continue;
    int first = 0, last = surface.width - 1;
    while (now[first] == before[first]) ++first;
    while (now[last] == before[last]) --last;
    std::memcpy(before + first, now + first, static_cast<size_t>(last - first + 1) * sizeof(uint32_t));
    if (top < 0) top = y;
    bottom = y;
    left = std::min(left, first);
    right = std::max(right, last);
  }
  if (top >= 0) update(QRect(left, top, right - left + 1, bottom - top + 1));
}

void PictureSurface::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
  // Nothing presented yet, or a surface just resized: its background shows.
  if (presented_.width < width() || presented_.height < height()) {
    painter.fillRect(rect(), QColor::fromRgb(background_));
  }
  painter.drawImage(QRect(0, 0, presented_.width, presented_.height), AsImage(presented_));
}

BoardSurface::BoardSurface(QWidget* parent, Handlers handlers)
    : PictureSurface(parent), handlers_(std::move(handlers)) {
  setMouseTracking(true);
}

void BoardSurface::mousePressEvent(QMouseEvent* event) {
  const QPointF p = event->position();
  handlers_.mouseDown(static_cast<float>(p.x()), static_cast<float>(p.y()));
}

void BoardSurface::mouseMoveEvent(QMouseEvent* event) {
  const QPointF p = event->position();
  handlers_.mouseMove(ButtonSum(event->buttons()), static_cast<float>(p.x()), static_cast<float>(p.y()));
}

void BoardSurface::mouseDoubleClickEvent(QMouseEvent*) { handlers_.dblClick(); }

FaceButton::FaceButton(QWidget* parent, std::function<void()> clicked)
    : PictureSurface(parent), clicked_(std::move(clicked)) {
  setCursor(Qt::PointingHandCursor);
}

void FaceButton::mousePressEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton) pressed_ = true;
}

// A click is a press and a release of the left button over the face.
void FaceButton::mouseReleaseEvent(QMouseEvent* event) {
  const bool click = pressed_ && event->button() == Qt::LeftButton && rect().contains(event->position().toPoint());
  pressed_ = false;
  if (click) clicked_();
}

void FaceButton::mouseDoubleClickEvent(QMouseEvent*) {}

}  // namespace porteka
