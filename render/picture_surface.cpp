#include "render/picture_surface.h"

#include <QMouseEvent>
#include <QPainter>

#include "input/virtual_keys.h"
#include "render/sheet_loader.h"

namespace porteka {

PictureSurface::PictureSurface(QWidget* parent) : QWidget(parent) {
  setAttribute(Qt::WA_OpaquePaintEvent);
  setFocusPolicy(Qt::NoFocus);
}

void PictureSurface::ResizeImage(int width, int height, uint32_t background) {
  background_ = background;
  if (image_.width != width || image_.height != height) image_ = Surface(width, height, background);
  setFixedSize(width * zoom(), height * zoom());
}

void PictureSurface::SetZoom(int zoom) {
  if (zoom == picture_.zoom()) return;
  picture_.SetZoom(zoom);
  if (shown_ == nullptr) setFixedSize(image_.width * zoom, image_.height * zoom);
  update();
}

void PictureSurface::Present() {
  const Surface& surface = shown();
  const bool resized = surface.width != picture_.drawn().width || surface.height != picture_.drawn().height;
  const PixelRect changed = picture_.Update(surface);
  if (resized) {
    update();
  } else if (!changed.empty()) {
    update(QRect(changed.x, changed.y, changed.width, changed.height));
  }
}

void PictureSurface::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
  const Surface& picture = picture_.shown();
  // Nothing presented yet, or a surface just resized: its background shows.
  if (picture.width < width() || picture.height < height()) {
    painter.fillRect(rect(), QColor::fromRgb(background_));
  }
  painter.drawImage(QRect(0, 0, picture.width, picture.height), AsImage(picture));
}

BoardSurface::BoardSurface(QWidget* parent, Handlers handlers)
    : PictureSurface(parent), handlers_(std::move(handlers)) {
  setMouseTracking(true);
}

void BoardSurface::mousePressEvent(QMouseEvent* event) {
  const QPointF p = event->position() / zoom();
  handlers_.mouseDown(static_cast<float>(p.x()), static_cast<float>(p.y()));
}

void BoardSurface::mouseMoveEvent(QMouseEvent* event) {
  const QPointF p = event->position() / zoom();
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
