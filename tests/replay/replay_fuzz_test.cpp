// Scenarios mutated from the committed ones and scenarios made up at random,
// fed to the parser and the rules in-process: whatever the text, the tool
// must answer 0 or 2, never crash, hang or trip the sanitizers.
#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "tools/replay/scenario_player.h"

namespace porteka::replay {
namespace {

// Few enough frames per event that a mutated "n" cannot stall the test.
constexpr uint32_t kFrameLimit = 200;

std::vector<std::string> CommittedScenarios() {
  std::vector<std::string> texts;
  for (const char* folder : {"golden", "bad"}) {
    const std::filesystem::path dir = std::filesystem::path(REPLAY_SCENARIO_DIR) / folder;
    for (const auto& entry : std::filesystem::directory_iterator(dir)) {
      if (entry.path().extension() != ".json") continue;
      std::ifstream file(entry.path(), std::ios::binary);
      std::ostringstream text;
      text << file.rdbuf();
      texts.push_back(text.str());
    }
  }
  return texts;
}

struct Outcome {
  int status;
  size_t lines;
  std::string error;
};

Outcome Feed(const std::string& text) {
  Outcome outcome{0, 0, {}};
  outcome.status = Replay(text, [&](std::string_view line) {
    ++outcome.lines;
    EXPECT_FALSE(line.empty());
    EXPECT_EQ(line.front(), '{');
    EXPECT_EQ(line.back(), '}');
    for (char c : line) EXPECT_TRUE(c >= 0x20 && c < 0x7f) << "non-ASCII byte in a dump line";
  }, outcome.error, kFrameLimit);
  return outcome;
}

void ExpectAnswered(const std::string& text) {
  const Outcome outcome = Feed(text);
  ASSERT_TRUE(outcome.status == 0 || outcome.status == 2) << text;
  if (outcome.status == 0) {
    EXPECT_GE(outcome.lines, 1u) << text;
  } else {
    EXPECT_FALSE(outcome.error.empty()) << text;
  }
}

// Tokens that push a scenario towards its edges: wrong types, values just past
// a range, numbers single precision cannot hold, structure out of place.
const std::vector<std::string> kTokens = {
    "-1", "0", "1", "2", "3", "4", "7", "8", "15.5", "16", "31", "32", "33", "255.5", "256", "257",
    "511.5", "512", "65535", "65536", "4294967295", "4294967296", "1e39", "-1e39", "1e400", "0.999999999",
    "-0.0", "null", "true", "\"x\"", "[]", "{}", "[", "]", "{", "}", ",", ":", "\"do\"", "\"frames\"",
    "\"layout\"", "\"setlevel\"", "\"bombs\"", "\"level\"", "\"width\"", "\"n\"", "[0,0]", "[31,31]", "\"\\u0000\"",
    "\xff", "\xc3\xa9"};

std::string Mutate(std::string text, std::mt19937& rng) {
  const int edits = 1 + static_cast<int>(rng() % 4);
  for (int e = 0; e < edits; ++e) {
    const size_t at = text.empty() ? 0 : rng() % (text.size() + 1);
    switch (rng() % 6) {
      case 0:  // overwrite one byte
        if (!text.empty() && at < text.size()) text[at] = static_cast<char>(rng() % 256);
        break;
      case 1: {  // cut a span
        const size_t length = rng() % 16;
        if (at < text.size()) text.erase(at, length);
        break;
      }
      case 2: {  // repeat a span
        if (at < text.size()) {
          const size_t length = 1 + rng() % 40;
          text.insert(at, text.substr(at, length));
        }
        break;
      }
      case 3:  // insert an edge token
        text.insert(at, kTokens[rng() % kTokens.size()]);
        break;
      default: {  // replace the digits of a number with an edge token
        const size_t digit = text.find_first_of("0123456789", at);
        if (digit == std::string::npos) break;
        const size_t end = text.find_first_not_of("0123456789.e-", digit);
        text.replace(digit, (end == std::string::npos ? text.size() : end) - digit, kTokens[rng() % 26]);
        break;
      }
    }
  }
  return text;
}

// A scenario made up from scratch: mostly well formed, with values spread over
// and just past what each field allows.
std::string MadeUp(std::mt19937& rng) {
  auto pick = [&](int low, int high) { return low + static_cast<int>(rng() % static_cast<unsigned>(high - low + 1)); };
  std::ostringstream s;
  s << "{";
  const int level = pick(-1, 4);
  if (level >= 0) {
    s << "\"level\":" << level << ",";
    if (level == 4 || pick(0, 9) == 0) {
      const int width = pick(1, 33), height = pick(1, 33);
      s << "\"width\":" << width << ",\"height\":" << height << ",\"bomb_count\":" << pick(0, 260) << ",";
    }
    if (pick(0, 5) == 0) {
      s << "\"bombs\":[";
      const int count = pick(0, 12);
      for (int i = 0; i < count; ++i) s << (i ? "," : "") << "[" << pick(0, 33) << "," << pick(0, 33) << "]";
      s << "],";
    }
  }
  if (pick(0, 4) == 0) {
    s << "\"random\":[";
    const int count = pick(0, 40);
    for (int i = 0; i < count; ++i) s << (i ? "," : "") << std::uniform_real_distribution<double>(0, 1)(rng);
    s << "],";
  } else {
    s << "\"seed\":" << rng() << ",";
  }
  s << "\"events\":[";
  const int events = pick(0, 25);
  for (int i = 0; i < events; ++i) {
    if (i) s << ",";
    const double x = pick(-40, 560) + pick(0, 3) * 0.25;
    const double y = pick(-40, 560) + pick(0, 3) * 0.25;
    switch (pick(0, 9)) {
      case 0: {
        // Mostly on the smallest surface, sometimes anywhere.
        const bool near = pick(0, 4) != 0;
        s << "{\"do\":\"mousedown\",\"x\":" << (near ? pick(0, 31) : x) << ",\"y\":" << (near ? pick(0, 31) : y)
          << ",\"button\":" << (near ? 1 << pick(0, 2) : pick(0, 4)) << "}";
        break;
      }
      case 1: s << "{\"do\":\"mousemove\",\"x\":" << x << ",\"y\":" << y << ",\"button\":" << pick(0, 8) << "}"; break;
      case 2: s << "{\"do\":\"dblclick\"}"; break;
      case 3: s << "{\"do\":\"key\",\"code\":" << pick(0, 100) << ",\"shift\":" << pick(0, 7) << "}"; break;
      case 4: s << "{\"do\":\"frame\"}"; break;
      case 5: s << "{\"do\":\"frames\",\"n\":" << pick(0, 30) << "}"; break;
      case 6: s << "{\"do\":\"poll\",\"now\":" << rng() << "}"; break;
      case 7: s << "{\"do\":\"startgame\"}"; break;
      case 8: {
        const int l = pick(0, 4);
        s << "{\"do\":\"setlevel\",\"level\":" << l;
        if (l == 4 && pick(0, 1)) s << ",\"width\":" << pick(2, 32) << ",\"height\":" << pick(2, 32) << ",\"bomb_count\":" << pick(1, 256);
        s << "}";
        break;
      }
      default:
        s << "{\"do\":\"layout\",\"level\":4,\"width\":" << pick(2, 9) << ",\"height\":" << pick(2, 9)
          << ",\"bombs\":[[" << pick(0, 2) << "," << pick(0, 2) << "]]}";
        break;
    }
  }
  s << "]}";
  return s.str();
}

TEST(ReplayFuzz, CommittedScenariosAnswerZeroOrTwo) {
  for (const std::string& text : CommittedScenarios()) ExpectAnswered(text);
}

TEST(ReplayFuzz, MutatedScenariosNeverCrash) {
  const std::vector<std::string> corpus = CommittedScenarios();
  ASSERT_FALSE(corpus.empty());
  std::mt19937 rng(20240611);
  for (int i = 0; i < 20000; ++i) {
    const std::string& base = corpus[rng() % corpus.size()];
    ExpectAnswered(Mutate(base, rng));
    if (HasFatalFailure()) return;
  }
}

TEST(ReplayFuzz, MadeUpScenariosNeverCrash) {
  std::mt19937 rng(7);
  int played = 0;
  for (int i = 0; i < 10000; ++i) {
    const std::string text = MadeUp(rng);
    const Outcome outcome = Feed(text);
    ASSERT_TRUE(outcome.status == 0 || outcome.status == 2) << text;
    played += outcome.status == 0;
  }
  // The feed must reach the rules, not only the parser's refusals.
  EXPECT_GT(played, 2000);
}

TEST(ReplayFuzz, HostileShapesAreRefused) {
  const std::string deep = std::string(100000, '[') + std::string(100000, ']');
  EXPECT_EQ(Feed(deep).status, 2);
  EXPECT_EQ(Feed("{\"events\":" + deep + "}").status, 2);
  EXPECT_EQ(Feed("").status, 2);
  EXPECT_EQ(Feed(std::string("{\"level\":0\0}", 13)).status, 2);
  EXPECT_EQ(Feed("{\"events\":[{\"do\":\"frames\",\"n\":201}]}").status, 2);
}

TEST(ReplayFuzz, SameScenarioSameBytes) {
  for (const std::string& text : CommittedScenarios()) {
    std::string first, second, error;
    const auto collect = [](std::string& into) {
      return [&into](std::string_view line) { into.append(line).push_back('\n'); };
    };
    const int a = Replay(text, collect(first), error, kFrameLimit);
    const int b = Replay(text, collect(second), error, kFrameLimit);
    EXPECT_EQ(a, b);
    EXPECT_EQ(first, second);
  }
}

}  // namespace
}  // namespace porteka::replay
