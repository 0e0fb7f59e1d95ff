#pragma once

#include <QApplication>

namespace porteka {

// The game's application. Qt aborts when an exception leaves an event
// handler; an allocation that fails in one ends the game plainly instead
// (EndForLackOfMemory).
class GameApplication : public QApplication {
 public:
  GameApplication(int& argc, char** argv) : QApplication(argc, argv) {}
  bool notify(QObject* receiver, QEvent* event) override;
};

// Holds memory back for the way out, and makes the first allocation that
// fails give it up.
void KeepMemoryReserve();

// Out of memory: one line on stderr, then exit status 1 through exit(), whose
// handlers still save a record waiting in the new-record dialog.
[[noreturn]] void EndForLackOfMemory();

}  // namespace porteka
