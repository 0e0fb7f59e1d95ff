#pragma once

#include <QObject>
#include <functional>

class QWidget;

namespace porteka {

// While a run is watched in the main window, a key or a mouse button pressed
// in it stops the run and goes no further: not to the rules, not to an
// accelerator, not to the face button. The buttons' moves and releases that
// follow go nowhere either, and neither do the repeats of the key. The menu
// bar keeps its clicks: a choice from the menu stops the run in its handler.
class WatchGuard : public QObject {
 public:
  WatchGuard(QWidget* window, std::function<bool()> watching, std::function<void()> stop);
  ~WatchGuard() override;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  QWidget* window_;
  std::function<bool()> watching_;
  std::function<void()> stop_;
  bool buttonHeld_ = false;  // a press that stopped the run has not been released
  int keyHeld_ = 0;          // nor the key that did
};

}  // namespace porteka
