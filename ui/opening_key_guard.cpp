#include "ui/opening_key_guard.h"

#include <QApplication>
#include <QKeyEvent>
#include <QWidget>
#include <utility>

namespace porteka {
namespace {

OpeningKeyGuard::Clock& GuardClock() {
  static OpeningKeyGuard::Clock clock;
  return clock;
}

std::chrono::milliseconds Now() {
  if (GuardClock()) return GuardClock()();
  return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now().time_since_epoch());
}

}  // namespace

void OpeningKeyGuard::SetClock(Clock clock) { GuardClock() = std::move(clock); }

// Key events go to the control with the focus, not to the dialog: the guard
// watches them all and keeps to those meant for a control of its dialog.
OpeningKeyGuard::OpeningKeyGuard(QWidget* dialog) : QObject(dialog), dialog_(dialog) {
  qApp->installEventFilter(this);
}

OpeningKeyGuard::~OpeningKeyGuard() {
  if (qApp != nullptr) qApp->removeEventFilter(this);
}

bool OpeningKeyGuard::eventFilter(QObject* watched, QEvent* event) {
  const QEvent::Type type = event->type();
  if (type == QEvent::Show && watched == dialog_ && !event->spontaneous()) {
    shown_ = true;
    shownAt_ = Now();
    pressedHere_.clear();
    return false;
  }
  if (type != QEvent::KeyPress && type != QEvent::KeyRelease) return false;
  if (!watched->isWidgetType() || static_cast<QWidget*>(watched)->window() != dialog_) return false;
  auto* key = static_cast<QKeyEvent*>(event);
  if (type == QEvent::KeyRelease) {
    // A release is harmless on its own: a button clicks only on a press it saw.
    if (!key->isAutoRepeat()) pressedHere_.remove(key->key());
    return false;
  }
  // A press counts once the quiet time is over (before the dialog shows, no
  // key of the game can reach it), a repeat only of a press that counted.
  const bool meant =
      key->isAutoRepeat() ? pressedHere_.contains(key->key()) : !shown_ || Now() - shownAt_ >= kQuietTime;
  if (meant) {
    pressedHere_.insert(key->key());
    return false;
  }
  key->accept();
  return true;
}

}  // namespace porteka
