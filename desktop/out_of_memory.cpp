#include "desktop/out_of_memory.h"

#include <cstdio>
#include <cstdlib>
#include <exception>
#include <new>

namespace porteka {
namespace {

// Room for the message, the record's save and the exit handlers, which all
// run after an allocation has failed.
constexpr size_t kReserveBytes = size_t{8} << 20;
char* gReserve = nullptr;

void GiveUpReserve() {
  delete[] gReserve;
  gReserve = nullptr;
}

// The first failure gives up the reserve and throws, which ends the game; one
// that fails while the stack unwinds towards that end is tried again in the
// room the reserve leaves.
void OnAllocationFailure() {
  const bool hadReserve = gReserve != nullptr;
  GiveUpReserve();
  if (!hadReserve || std::uncaught_exceptions() == 0) throw std::bad_alloc();
}

}  // namespace

bool GameApplication::notify(QObject* receiver, QEvent* event) {
  try {
    return QApplication::notify(receiver, event);
  } catch (const std::bad_alloc&) {
    EndForLackOfMemory();
  }
}

void KeepMemoryReserve() {
  if (gReserve == nullptr) gReserve = new (std::nothrow) char[kReserveBytes];
  std::set_new_handler(OnAllocationFailure);
}

void EndForLackOfMemory() {
  GiveUpReserve();
  std::fputs("porteka: out of memory; the game ends\n", stderr);
  std::exit(1);
}

}  // namespace porteka
