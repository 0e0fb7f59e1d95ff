#pragma once

#include <QObject>
#include <QSet>
#include <chrono>
#include <functional>

class QWidget;

namespace porteka {

// Keeps the keys of the game out of a dialog that has just opened. A game won
// with Esc or Z opens the new-record dialog at once, while the player may
// still be pressing or holding that key: for the first kQuietTime after the
// dialog shows, every key press in it is dropped, and after that the
// auto-repeats of a key that went down before (or during) that time, until
// the key is let go. Keys pressed afresh later work as usual.
//
// Made a child of the dialog, it lives and dies with it.
class OpeningKeyGuard : public QObject {
 public:
  static constexpr std::chrono::milliseconds kQuietTime{400};

  // A monotonic time in milliseconds; empty for the steady clock.
  using Clock = std::function<std::chrono::milliseconds()>;
  // Where every guard reads the time (tests step a clock of their own).
  static void SetClock(Clock clock);

  explicit OpeningKeyGuard(QWidget* dialog);
  ~OpeningKeyGuard() override;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  QWidget* dialog_;
  std::chrono::milliseconds shownAt_{0};
  bool shown_ = false;
  // Keys pressed in the dialog once the quiet time was over: their repeats are meant.
  QSet<int> pressedHere_;
};

}  // namespace porteka
