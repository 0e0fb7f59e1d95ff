#include "runs/watch_guard.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMenuBar>
#include <QMouseEvent>
#include <QWidget>
#include <utility>

namespace porteka {

WatchGuard::WatchGuard(QWidget* window, std::function<bool()> watching, std::function<void()> stop)
    : window_(window), watching_(std::move(watching)), stop_(std::move(stop)) {
  qApp->installEventFilter(this);
}

WatchGuard::~WatchGuard() { qApp->removeEventFilter(this); }

bool WatchGuard::eventFilter(QObject* watched, QEvent* event) {
  if (!watched->isWidgetType()) return false;
  auto* widget = static_cast<QWidget*>(watched);
  if (widget->window() != window_) return false;
  for (QWidget* up = widget; up != nullptr; up = up->parentWidget()) {
    if (qobject_cast<QMenuBar*>(up) != nullptr) return false;
  }
  switch (event->type()) {
    case QEvent::ShortcutOverride:
    case QEvent::KeyPress: {
      // Every press is offered to the accelerators first; a press that comes
      // again unrepeated is a new one, whose release went elsewhere.
      const auto* key = static_cast<QKeyEvent*>(event);
      const bool again = event->type() == QEvent::ShortcutOverride && !key->isAutoRepeat();
      if (key->key() != keyHeld_ || again) {
        keyHeld_ = 0;
        if (!watching_()) return false;
        keyHeld_ = key->key();
        stop_();
      }
      // Taken as the window's own, so that no accelerator fires.
      event->accept();
      return true;
    }
    case QEvent::KeyRelease: {
      const auto* key = static_cast<QKeyEvent*>(event);
      if (keyHeld_ == 0 || key->key() != keyHeld_ || key->isAutoRepeat()) return false;
      keyHeld_ = 0;
      return true;
    }
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
      if (!buttonHeld_) {
        if (!watching_()) return false;
        buttonHeld_ = true;
        stop_();
      }
      return true;
    case QEvent::MouseButtonRelease:
    case QEvent::MouseMove: {
      if (!buttonHeld_) return false;
      const bool released = static_cast<QMouseEvent*>(event)->buttons() == Qt::NoButton;
      buttonHeld_ = !released;
      // A move with no button held is the first after a release that went elsewhere.
      return !(released && event->type() == QEvent::MouseMove);
    }
    default:
      return false;
  }
}

}  // namespace porteka
