#pragma once

namespace porteka {

// Work on the player's files that must be done before the process ends,
// whichever way it ends: its owner finishes it when it goes, as usual, and
// when the process exits under it (the X library calls exit() when the
// display goes away, the windows still standing) every one still alive is
// finished on the way out, newest first.
class FinishedAtExit {
 public:
  FinishedAtExit(const FinishedAtExit&) = delete;
  FinishedAtExit& operator=(const FinishedAtExit&) = delete;

  // Does what is left; answers what could not be done.
  virtual int Finish() = 0;

 protected:
  FinishedAtExit();
  // The owner finishes the work first, in its own destructor.
  ~FinishedAtExit();

 private:
  static void FinishAll();

  FinishedAtExit* previous_;
};

}  // namespace porteka
