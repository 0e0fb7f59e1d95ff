// replay SCENARIO.json: plays a scenario through the game's rules with no
// window and prints the whole state after every event, one JSON line each.
#include <cstdio>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>

#include "tools/replay/scenario_player.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fputs("usage: replay SCENARIO.json > states.jsonl\n", stderr);
    return 2;
  }
  std::ifstream file(argv[1], std::ios::binary);
  std::ostringstream text;
  text << file.rdbuf();
  if (!file) {
    std::fprintf(stderr, "scenario error: cannot read %s\n", argv[1]);
    return 2;
  }

  std::string error;
  const int status = porteka::replay::Replay(text.str(), [](std::string_view line) {
    std::fwrite(line.data(), 1, line.size(), stdout);
    std::fputc('\n', stdout);
  }, error);
  std::fflush(stdout);
  if (status != 0) std::fprintf(stderr, "scenario error: %s\n", error.c_str());
  return status;
}
