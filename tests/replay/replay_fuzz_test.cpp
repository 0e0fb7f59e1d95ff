// Scenarios mutated from the committed ones and scenarios made up at random,
// fed to the parser and the rules in-process: whatever the text, the tool
// must answer 0 or 2, never crash, hang or trip the sanitizers, and answer
// the same way every time.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "tools/replay/scenario_player.h"

namespace porteka::replay {
namespace {

// Few enough frames per event that a mutated "n" cannot stall the test.
constexpr uint32_t kFrameLimit = 200;

std::vector<std::string> CommittedScenarios(std::initializer_list<const char*> folders) {
  std::vector<std::string> texts;
  for (const char* folder : folders) {
    for (const auto& entry : std::filesystem::directory_iterator(std::filesystem::path(REPLAY_SCENARIO_DIR) / folder)) {
      if (entry.path().extension() != ".json") continue;
      std::ifstream file(entry.path(), std::ios::binary);
      texts.push_back((std::ostringstream() << file.rdbuf()).str());
    }
  }
  return texts;
}

struct Outcome {
  int status = 0;
  std::string dump, error;
};

// Replays `text`, checking that the answer is 0 with a dump of printable
// JSON lines or 2 with a message, and when asked that a second replay gives
// the same bytes.
Outcome Answer(const std::string& text, bool twice = false) {
  Outcome o;
  o.status = Replay(text, [&](std::string_view line) {
    EXPECT_TRUE(line.size() >= 2 && line.front() == '{' && line.back() == '}') << line;
    for (char c : line) EXPECT_TRUE(c >= 0x20 && c < 0x7f) << "non-ASCII byte in a dump line";
    o.dump.append(line).push_back('\n');
  }, o.error, kFrameLimit);
  EXPECT_TRUE(o.status == 0 ? !o.dump.empty() : o.status == 2 && !o.error.empty()) << o.status << " for " << text;
  if (twice) { EXPECT_EQ(Answer(text).dump, o.dump) << text; }
  return o;
}

// Tokens that push a scenario towards its edges: wrong types, values just past
// a range, numbers single precision cannot hold, structure out of place. The
// first 26 are numbers.
const std::vector<std::string> kTokens = {
    "-1", "0", "1", "2", "3", "4", "7", "8", "15.5", "16", "31", "32", "33", "255.5", "256", "257",
    "511.5", "512", "65535", "65536", "4294967295", "4294967296", "1e39", "-1e39", "1e400", "0.999999999",
    "-0.0", "null", "true", "\"x\"", "[]", "{}", "[", "]", "{", "}", ",", ":", "\"do\"", "\"frames\"",
    "\"layout\"", "\"setlevel\"", "\"bombs\"", "\"level\"", "\"width\"", "\"n\"", "[0,0]", "[31,31]", "\"\\u0000\"",
    "\xff", "\xc3\xa9"};

std::string Mutate(std::string text, std::mt19937& rng) {
  for (int edits = 1 + static_cast<int>(rng() % 4); edits > 0; --edits) {
    const size_t at = rng() % (text.size() + 1);
    const bool inside = at < text.size();
    switch (rng() % 6) {
      case 0: if (inside) text[at] = static_cast<char>(rng() % 256); break;          // overwrite a byte
      case 1: if (inside) text.erase(at, rng() % 16); break;                         // cut a span
      case 2: if (inside) text.insert(at, text.substr(at, 1 + rng() % 40)); break;   // repeat a span
      case 3: text.insert(at, kTokens[rng() % kTokens.size()]); break;               // insert an edge token
      default: {  // swap a number for an edge number
        const size_t digit = text.find_first_of("0123456789", at);
        if (digit == std::string::npos) break;
        const size_t end = std::min(text.find_first_not_of("0123456789.e-", digit), text.size());
        text.replace(digit, end - digit, kTokens[rng() % 26]);
      }
    }
  }
  return text;
}

// A scenario made up from scratch: mostly well formed, with values spread over
// and just past what each field allows.
std::string MadeUp(std::mt19937& rng) {
  auto pick = [&](int low, int high) { return low + static_cast<int>(rng() % static_cast<unsigned>(high - low + 1)); };
  auto num = [&](int low, int high) { return std::to_string(pick(low, high)); };
  auto anywhere = [&] { return std::to_string(pick(-40, 560) + pick(0, 3) * 0.25); };
  auto sizes = [&](int low, int high, int fewest, int most) {
    return R"(,"width":)" + num(low, high) + R"(,"height":)" + num(low, high) + R"(,"bomb_count":)" + num(fewest, most);
  };
  auto list = [&](int longest, const auto& item) {
    std::string out = "[";
    for (int i = pick(0, longest); i > 0; --i) out += item() + (i > 1 ? "," : "");
    return out + "]";
  };
  std::string s = "{";
  if (const int level = pick(-1, 4); level >= 0) {
    s += R"("level":)" + std::to_string(level) + (level == 4 || pick(0, 9) == 0 ? sizes(1, 33, 0, 260) : "") + ",";
    if (pick(0, 5) == 0) s += R"("bombs":)" + list(12, [&] { return "[" + num(0, 33) + "," + num(0, 33) + "]"; }) + ",";
  }
  auto unit = [&] { return std::to_string(std::uniform_real_distribution<double>(0, 1)(rng)); };
  s += (pick(0, 4) == 0 ? R"("random":)" + list(40, unit) : R"("seed":)" + std::to_string(rng())) + ",";
  return s + R"("events":)" + list(25, [&] {
    // Presses mostly on the smallest surface, sometimes anywhere.
    const bool near = pick(0, 4) != 0;
    auto at = [&] { return near ? num(0, 31) : anywhere(); };
    const std::string events[] = {
        R"({"do":"mousedown","x":)" + at() + R"(,"y":)" + at() + R"(,"button":)" +
            std::to_string(near ? 1 << pick(0, 2) : pick(0, 4)) + "}",
        R"({"do":"mousemove","x":)" + anywhere() + R"(,"y":)" + anywhere() + R"(,"button":)" + num(0, 8) + "}",
        R"({"do":"dblclick"})", R"({"do":"frame"})", R"({"do":"startgame"})",
        R"({"do":"key","code":)" + num(0, 100) + R"(,"shift":)" + num(0, 7) + "}",
        R"({"do":"frames","n":)" + num(0, 30) + "}",
        R"({"do":"poll","now":)" + std::to_string(rng()) + "}",
        R"({"do":"setlevel","level":)" + (pick(0, 1) ? "4" + sizes(2, 32, 1, 256) : num(0, 4)) + "}",
        R"({"do":"layout","level":4,"width":)" + num(2, 9) + R"(,"height":)" + num(2, 9) + R"(,"bombs":[[)" +
            num(0, 2) + "," + num(0, 2) + "]]}"};
    return events[pick(0, 9)];
  }) + "}";
}

// Every scenario in bad/ asks for something the game cannot do, refused
// under the tool's own frame cap.
TEST(ReplayTool, RefusesEveryCommittedBadScenario) {
  const std::vector<std::string> bad = CommittedScenarios({"bad"});
  ASSERT_FALSE(bad.empty());
  for (const std::string& text : bad) {
    std::string error;
    EXPECT_EQ(Replay(text, [](std::string_view) {}, error), 2) << text;
  }
  // A fixed level's refusal says what the level has, then what was given.
  for (const auto& [text, says] : {std::pair{R"({"level": 1, "height": 9, "seed": 1})", "level 1 has height 16, not 9"},
                                   {R"({"level": 2, "width": 31, "seed": 1})", "level 2 has width 30, not 31"},
                                   {R"({"level": 0, "bomb_count": 9, "seed": 1})", "level 0 has bomb_count 10, not 9"}}) {
    std::string error;
    Replay(text, [](std::string_view) {}, error);
    EXPECT_NE(error.find(says), std::string::npos) << error;
  }
}

TEST(ReplayFuzz, CommittedAndMutatedScenariosAnswerAlikeAndNeverCrash) {
  const std::vector<std::string> corpus = CommittedScenarios({"golden", "bad"});
  ASSERT_FALSE(corpus.empty());
  for (const std::string& text : corpus) Answer(text, true);
  std::mt19937 rng(20240611);
  for (int i = 0; i < 20000 && !HasFailure(); ++i) Answer(Mutate(corpus[rng() % corpus.size()], rng), i % 10 == 0);
}

TEST(ReplayFuzz, MadeUpScenariosAnswerAlikeAndNeverCrash) {
  std::mt19937 rng(7);
  int played = 0;
  for (int i = 0; i < 10000 && !HasFailure(); ++i) played += Answer(MadeUp(rng), i % 10 == 0).status == 0;
  // The feed must reach the rules, not only the parser's refusals.
  EXPECT_GT(played, 2000);
}

// Hostile shapes are refused; the largest the limits allow still play.
TEST(ReplayFuzz, HostileShapesAreRefusedAndTheLimitsThemselvesPlay) {
  const std::string deep = std::string(100000, '[') + std::string(100000, ']');
  const auto events = [](size_t count) {
    std::string text = "{\"events\":[{\"do\":\"dblclick\"}";
    for (size_t i = 1; i < count; ++i) text += ",{\"do\":\"dblclick\"}";
    return text + "]}";
  };
  // Every bracket and every comma counts as a value: the object, the list
  // and the zeros after the first.
  const auto values = [](size_t count) {
    std::string text = "{\"random\":[0";
    for (size_t i = 2; i < count; ++i) text += ",0";
    return text + "]}";
  };
  for (const std::string& text : {deep, "{\"events\":" + deep + "}", std::string(), std::string("{\"level\":0\0}", 13),
                                  events(kMaxEvents + 1), values(kMaxValues + 1)}) {
    EXPECT_EQ(Answer(text).status, 2) << text.substr(0, 40);
  }
  for (const std::string& text : {events(kMaxEvents), values(kMaxValues)}) {
    EXPECT_EQ(Answer(text).status, 0) << text.substr(0, 40);
  }
}

}  // namespace
}  // namespace porteka::replay
