// replay SCENARIO.json: plays a scenario through the game's rules with no
// window and prints the whole state after every event, one JSON line each.
#include <cstdio>
#include <exception>
#include <fstream>
#include <new>
#include <string>

#include "tools/replay/scenario_player.h"

namespace {

// Far beyond any scenario written by hand or cut from a bug report; a larger
// file is refused before it is read into memory.
constexpr size_t kMaxScenarioBytes = size_t{64} << 20;

// Memory held back for the way out. An allocation that fails in ordinary code
// lets it go and throws bad_alloc, which Replay turns into a refusal like any
// other; the unwinding that follows (freeing a parsed document first gathers
// its values) then has room to work in. One that fails while unwinding takes
// it and is tried again.
char* gReserve = nullptr;

void UseReserveOrFail() {
  const bool unwinding = std::uncaught_exceptions() > 0;
  const bool hadReserve = gReserve != nullptr;
  delete[] gReserve;
  gReserve = nullptr;
  if (!(unwinding && hadReserve)) throw std::bad_alloc();
}

int Fail(const std::string& message) {
  std::fprintf(stderr, "scenario error: %s\n", message.c_str());
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fputs("usage: replay SCENARIO.json > states.jsonl\n", stderr);
    return 2;
  }
  gReserve = new (std::nothrow) char[size_t{16} << 20];
  if (gReserve == nullptr) return Fail("out of memory");
  std::set_new_handler(UseReserveOrFail);
  std::string text;
  try {
    // Read in pieces, so a pipe works as well as a file.
    std::ifstream file(argv[1], std::ios::binary);
    char buffer[65536];
    while (file.read(buffer, sizeof buffer) || file.gcount() > 0) {
      text.append(buffer, static_cast<size_t>(file.gcount()));
      if (text.size() > kMaxScenarioBytes) return Fail("the scenario is larger than 64 MiB");
    }
    if (!file.eof()) return Fail(std::string("cannot read ") + argv[1]);
  } catch (const std::bad_alloc&) {
    return Fail("out of memory reading the scenario");
  }

  std::string error;
  const int status = porteka::replay::Replay(text, [](std::string_view line) {
    std::fwrite(line.data(), 1, line.size(), stdout);
    std::fputc('\n', stdout);
  }, error);
  std::fflush(stdout);
  if (status != 0) std::fprintf(stderr, "scenario error: %s\n", error.c_str());
  return status;
}
