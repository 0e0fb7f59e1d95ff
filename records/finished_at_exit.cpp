#include "records/finished_at_exit.h"

#include <cstdlib>
#include <mutex>

namespace porteka {
namespace {

// Alive now, newest first.
FinishedAtExit* alive = nullptr;
std::mutex aliveMutex;

}  // namespace

FinishedAtExit::FinishedAtExit() {
  static const bool registered = std::atexit(&FinishedAtExit::FinishAll) == 0;
  (void)registered;
  const std::lock_guard lock(aliveMutex);
  previous_ = alive;
  alive = this;
}

FinishedAtExit::~FinishedAtExit() {
  const std::lock_guard lock(aliveMutex);
  FinishedAtExit** link = &alive;
  while (*link != nullptr && *link != this) link = &(*link)->previous_;
  if (*link == this) *link = previous_;
}

void FinishedAtExit::FinishAll() {
  const std::lock_guard lock(aliveMutex);
  for (FinishedAtExit* work = alive; work != nullptr; work = work->previous_) work->Finish();
}

}  // namespace porteka
