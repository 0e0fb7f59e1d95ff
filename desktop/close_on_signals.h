#pragma once

#include <QObject>

class QSocketNotifier;
class QWidget;

namespace porteka {

// Ends the game on SIGTERM (a logout), SIGINT (Ctrl+C) and SIGHUP (a closed
// terminal) the way the player would: an open menu and the open dialogs close
// first, so the new-record dialog saves the name typed so far, then the main
// window, which ends the frame loop and the program with status 0. The signal
// handler only writes to a pipe; the closing is done on the GUI thread by
// whichever event loop runs at the time. A signal ignored at start-up (nohup)
// stays ignored.
class CloseOnSignals : public QObject {
 public:
  explicit CloseOnSignals(QWidget& mainWindow);
  ~CloseOnSignals() override;

 private:
  void CloseWindows();

  QWidget& mainWindow_;
  QSocketNotifier* notifier_ = nullptr;
};

}  // namespace porteka
