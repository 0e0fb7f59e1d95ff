#include "ui/placement.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>
#include <algorithm>

namespace porteka {

QPoint KeptWithin(const QRect& frame, const QRect& area) {
  const int x = std::max(area.left(), std::min(frame.left(), area.left() + area.width() - frame.width()));
  const int y = std::max(area.top(), std::min(frame.top(), area.top() + area.height() - frame.height()));
  return {x, y};
}

void PlaceOnScreen(QWidget* window, bool centre) {
  const QScreen* screen = window->screen();
  if (screen == nullptr) return;
  const QRect area = screen->availableGeometry();
  // Before the first show the frame is not known yet: the window's own size
  // stands in for it.
  QRect frame = window->frameGeometry();
  frame.setSize(frame.size().expandedTo(window->size()));
  if (centre) frame.moveCenter(area.center());
  const QPoint place = KeptWithin(frame, area);
  // A window placed before it is shown keeps that place: the window manager
  // takes it as asked for.
  if (centre || place != window->frameGeometry().topLeft()) window->move(place);
}

void CentreOverOwner(QWidget* window, QWidget* owner) {
  const QScreen* screen = owner != nullptr && owner->isVisible() ? owner->screen() : QGuiApplication::primaryScreen();
  if (screen == nullptr) return;
  const QRect area = owner != nullptr && owner->isVisible() ? owner->frameGeometry() : screen->availableGeometry();
  QRect frame(QPoint(), window->frameGeometry().size().expandedTo(window->size()));
  frame.moveTopLeft(area.center() - QPoint(frame.width() / 2, frame.height() / 2));
  // A zoomed dialog over a window near the edge stays on the screen all the same.
  window->move(KeptWithin(frame, screen->availableGeometry()));
}

}  // namespace porteka
