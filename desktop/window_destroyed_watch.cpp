#include "desktop/window_destroyed_watch.h"

#include <QCoreApplication>
#include <QWidget>
#include <xcb/xproto.h>

namespace porteka {

WindowDestroyedWatch::WindowDestroyedWatch(const QWidget* window, std::function<void()> destroyed)
    : window_(window), destroyed_(std::move(destroyed)) {
  QCoreApplication::instance()->installNativeEventFilter(this);
}

// Qt destroys its own windows only once they are hidden, so the end of a
// shown window is news from outside.
bool WindowDestroyedWatch::nativeEventFilter(const QByteArray& eventType, void* message, qintptr*) {
  if (eventType != "xcb_generic_event_t") return false;
  const auto* event = static_cast<const xcb_generic_event_t*>(message);
  if ((event->response_type & 0x7f) != XCB_DESTROY_NOTIFY) return false;
  const auto* destroy = static_cast<const xcb_destroy_notify_event_t*>(message);
  if (window_->isVisible() && destroy->window == window_->internalWinId()) destroyed_();
  return false;
}

}  // namespace porteka
