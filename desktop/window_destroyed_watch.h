#pragma once

#include <QAbstractNativeEventFilter>
#include <functional>

class QWidget;

namespace porteka {

// Qt's X plugin takes no notice when someone else destroys the X window of a
// shown top-level (xdotool windowclose, or a window manager doing the same):
// the widget believes it is still on screen and the program runs on with no
// window. The watch calls back when that happens, so the program can end.
class WindowDestroyedWatch final : public QAbstractNativeEventFilter {
 public:
  WindowDestroyedWatch(const QWidget* window, std::function<void()> destroyed);

  bool nativeEventFilter(const QByteArray& eventType, void* message, qintptr* result) override;

 private:
  const QWidget* window_;
  std::function<void()> destroyed_;
};

}  // namespace porteka
