#include "runs/scenario.h"

#include <algorithm>
#include <cmath>
#include <initializer_list>
#include <limits>

#include <nlohmann/json.hpp>

#include "game/level.h"
#include "runs/scenario_error.h"

namespace porteka::replay {
namespace {

using nlohmann::json;

// Where a fault lies, for the message: "the scenario" or "event 3 (mousedown)".
class Place {
 public:
  explicit Place(std::string text) : text_(std::move(text)) {}
  [[noreturn]] void Fail(const std::string& what) const { throw ScenarioError(text_ + ": " + what); }

 private:
  std::string text_;
};

// Names come from the scenario: echo them only as printable ASCII and not at any length.
std::string Printable(std::string_view text) {
  std::string out;
  for (char c : text.substr(0, 40)) {
    const auto u = static_cast<unsigned char>(c);
    out += (u >= 0x20 && u < 0x7f) ? c : '?';
  }
  if (text.size() > 40) out += "...";
  return out;
}

void CheckKeys(const json& object, std::initializer_list<std::string_view> allowed, const Place& place) {
  for (const auto& [key, value] : object.items()) {
    bool known = false;
    for (std::string_view name : allowed) known = known || key == name;
    if (!known) place.Fail("unknown field \"" + Printable(key) + "\"");
  }
}

int64_t Integer(const json& value, std::string_view name, int64_t low, int64_t high, const Place& place) {
  const std::string range = std::to_string(low) + " to " + std::to_string(high);
  if (value.is_number_unsigned()) {
    // Non-negative literals arrive unsigned; the low end still applies.
    const auto v = value.get<uint64_t>();
    if (v > static_cast<uint64_t>(high) || static_cast<int64_t>(v) < low) {
      place.Fail(std::string(name) + " must be " + range);
    }
    return static_cast<int64_t>(v);
  }
  if (!value.is_number_integer()) place.Fail(std::string(name) + " must be an integer, " + range);
  const auto v = value.get<int64_t>();
  if (v < low || v > high) place.Fail(std::string(name) + " must be " + range);
  return v;
}

template <typename T>
std::optional<T> OptionalInteger(const json& object, const char* name, int64_t low, int64_t high,
                                 const Place& place) {
  const auto it = object.find(name);
  if (it == object.end()) return std::nullopt;
  return static_cast<T>(Integer(*it, name, low, high, place));
}

template <typename T>
T RequiredInteger(const json& object, const char* name, int64_t low, int64_t high, const Place& place) {
  if (!object.contains(name)) place.Fail(std::string("needs \"") + name + "\"");
  return *OptionalInteger<T>(object, name, low, high, place);
}

// The platform hands positions over in single precision; a value too large for
// it becomes infinite and is refused like any other position no pointer can have.
float Position(const json& object, const char* name, const Place& place) {
  const auto it = object.find(name);
  if (it == object.end()) place.Fail(std::string("needs \"") + name + "\"");
  if (!it->is_number()) place.Fail(std::string(name) + " must be a number");
  const auto value = static_cast<float>(it->get<double>());
  if (!std::isfinite(value)) place.Fail(std::string(name) + " must be finite in single precision");
  return value;
}

std::vector<BombCell> Bombs(const json& value, const Place& place) {
  if (!value.is_array()) place.Fail("bombs must be a list of [x, y]");
  std::vector<BombCell> bombs;
  bombs.reserve(value.size());
  for (const json& cell : value) {
    if (!cell.is_array() || cell.size() != 2) place.Fail("each bomb must be [x, y]");
    // No board is wider than the 32-cell arrays; the deal checks the board's own size.
    const auto x = Integer(cell[0], "a bomb's x", 0, 31, place);
    const auto y = Integer(cell[1], "a bomb's y", 0, 31, place);
    bombs.emplace_back(static_cast<int16_t>(x), static_cast<int16_t>(y));
  }
  return bombs;
}

std::optional<Level> LevelOf(const json& object, const Place& place) {
  const auto it = object.find("level");
  if (it == object.end()) return std::nullopt;
  const auto level = Integer(*it, "level", 0, 4, place);
  if (level == 3) place.Fail("level must be 0, 1, 2 or 4");
  return static_cast<Level>(level);
}

// Width and height within the custom dialog's bars, bombs within the largest
// bar end; whether they fit the level and each other is checked at the deal.
void ReadSize(const json& object, DealSpec& deal, const Place& place) {
  deal.width = OptionalInteger<int16_t>(object, "width", kMinBoardSide, kMaxBoardSide, place);
  deal.height = OptionalInteger<int16_t>(object, "height", kMinBoardSide, kMaxBoardSide, place);
  deal.bombCount = OptionalInteger<int16_t>(object, "bomb_count", kMinBombs, kMostBombs, place);
}

bool AnySize(const DealSpec& deal) { return deal.width || deal.height || deal.bombCount; }
bool AllSizes(const DealSpec& deal) { return deal.width && deal.height && deal.bombCount; }

DealSpec FirstDeal(const json& root, const Place& place) {
  DealSpec deal;
  deal.level = LevelOf(root, place);
  ReadSize(root, deal, place);
  if (root.contains("bombs")) deal.bombs = Bombs(root["bombs"], place);
  if (!deal.level) {
    if (AnySize(deal) || deal.bombs) place.Fail("width, height, bomb_count and bombs need a level");
  } else if (*deal.level == Level::Custom && !deal.bombs && !AllSizes(deal)) {
    place.Fail("a random custom board needs width, height and bomb_count");
  }
  return deal;
}

RandomSpec Random(const json& root, const Place& place) {
  RandomSpec random;
  if (root.contains("seed") && root.contains("random")) place.Fail("give either seed or random, not both");
  if (root.contains("seed")) {
    // The generator's seed is unsigned 32-bit: 2^32 would play as 0 and -1 as 2^32 - 1.
    random.seed = static_cast<uint32_t>(Integer(root["seed"], "seed", 0, std::numeric_limits<uint32_t>::max(), place));
  }
  if (root.contains("random")) {
    const json& list = root["random"];
    if (!list.is_array()) place.Fail("random must be a list of numbers in [0, 1)");
    random.values.emplace();
    for (const json& value : list) {
      if (!value.is_number()) place.Fail("random must be a list of numbers in [0, 1)");
      // The generator hands out single precision: 0.99999999 would be 1 and put a bomb off the board.
      const auto r = static_cast<float>(value.get<double>());
      if (!(r >= 0.0f && r < 1.0f)) place.Fail("random values must lie in [0, 1) in single precision");
      random.values->push_back(r);
    }
  }
  return random;
}

// The frames a scenario may run in all, and how many of them are left.
struct FrameBudget {
  uint32_t most;
  uint32_t left;
};

Event ReadEvent(const json& object, size_t number, FrameBudget& frames) {
  if (!object.is_object()) Place("event " + std::to_string(number)).Fail("must be an object");
  const auto doIt = object.find("do");
  if (doIt == object.end() || !doIt->is_string()) Place("event " + std::to_string(number)).Fail("needs \"do\"");

  Event event;
  event.name = doIt->get<std::string>();
  const Place place("event " + std::to_string(number) + " (" + Printable(event.name) + ")");
  const std::string& name = event.name;

  if (name == "mousedown") {
    event.kind = EventKind::MouseDown;
    CheckKeys(object, {"do", "x", "y", "button", "shift"}, place);
    event.x = Position(object, "x", place);
    event.y = Position(object, "y", place);
    // A press is made by one button.
    event.button = OptionalInteger<int16_t>(object, "button", 1, 4, place).value_or(1);
    if (event.button == 3) place.Fail("button must be 1, 2 or 4");
    event.shift = OptionalInteger<int16_t>(object, "shift", 0, 7, place).value_or(0);
  } else if (name == "mousemove") {
    event.kind = EventKind::MouseMove;
    CheckKeys(object, {"do", "x", "y", "button", "shift"}, place);
    event.x = Position(object, "x", place);
    event.y = Position(object, "y", place);
    event.button = OptionalInteger<int16_t>(object, "button", 0, 7, place).value_or(0);
    event.shift = OptionalInteger<int16_t>(object, "shift", 0, 7, place).value_or(0);
  } else if (name == "dblclick") {
    event.kind = EventKind::DblClick;
    CheckKeys(object, {"do"}, place);
  } else if (name == "key") {
    event.kind = EventKind::Key;
    CheckKeys(object, {"do", "code", "shift"}, place);
    // A 16-bit key code; the handler sees the same bits as a signed value.
    event.keyCode = static_cast<int16_t>(RequiredInteger<uint16_t>(object, "code", 0, 65535, place));
    event.shift = OptionalInteger<int16_t>(object, "shift", 0, 7, place).value_or(0);
  } else if (name == "frame") {
    event.kind = EventKind::Frame;
    CheckKeys(object, {"do"}, place);
    event.count = 1;
  } else if (name == "frames") {
    event.kind = EventKind::Frames;
    CheckKeys(object, {"do", "n"}, place);
    event.count = RequiredInteger<uint32_t>(object, "n", 0, frames.most, place);
  } else if (name == "poll") {
    event.kind = EventKind::Poll;
    CheckKeys(object, {"do", "now"}, place);
    event.now = RequiredInteger<uint32_t>(object, "now", 0, std::numeric_limits<uint32_t>::max(), place);
    event.count = 1;  // at most one frame
  } else if (name == "startgame") {
    event.kind = EventKind::StartGame;
    CheckKeys(object, {"do"}, place);
  } else if (name == "setlevel") {
    event.kind = EventKind::SetLevel;
    CheckKeys(object, {"do", "level", "width", "height", "bomb_count"}, place);
    event.deal.level = LevelOf(object, place);
    if (!event.deal.level) place.Fail("needs \"level\"");
    ReadSize(object, event.deal, place);
    // The custom dialog either confirmed all three values or was closed by its close box.
    if (*event.deal.level == Level::Custom && AnySize(event.deal) && !AllSizes(event.deal)) {
      place.Fail("a custom level takes all of width, height and bomb_count or none");
    }
  } else if (name == "layout") {
    event.kind = EventKind::Layout;
    CheckKeys(object, {"do", "bombs", "level", "width", "height", "bomb_count"}, place);
    if (!object.contains("bombs")) place.Fail("needs \"bombs\"");
    event.deal.bombs = Bombs(object["bombs"], place);
    event.deal.level = LevelOf(object, place);
    ReadSize(object, event.deal, place);
    if (!event.deal.level && AnySize(event.deal)) place.Fail("width, height and bomb_count need a level");
  } else {
    place.Fail("unknown event");
  }
  if (event.count > frames.left) {
    place.Fail("the scenario runs more than " + std::to_string(frames.most) + " frames in all");
  }
  frames.left -= event.count;
  return event;
}

// The shape of the text before it is parsed: how deep arrays and objects nest
// and how many values they hold in all, brackets and commas inside strings
// left out.
struct Shape {
  int nesting = 0;
  size_t values = 0;
};

Shape MeasureShape(std::string_view text) {
  Shape shape;
  int depth = 0;
  bool inString = false;
  for (size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (inString) {
      if (c == '\\') {
        ++i;
      } else if (c == '"') {
        inString = false;
      }
    } else if (c == '"') {
      inString = true;
    } else if (c == '[' || c == '{') {
      shape.nesting = std::max(shape.nesting, ++depth);
      ++shape.values;
    } else if (c == ']' || c == '}') {
      --depth;
    } else if (c == ',') {
      ++shape.values;
    }
  }
  return shape;
}

// Frees a parsed document one value at a time, innermost first. Let go whole,
// a list first gathers all its values in one new block, which is just what
// may not be there when memory runs short.
void ReleaseInPieces(json& value) {
  if (value.is_array()) {
    auto& values = value.get_ref<json::array_t&>();
    while (!values.empty()) {
      ReleaseInPieces(values.back());
      values.pop_back();
    }
  } else if (value.is_object()) {
    auto& members = value.get_ref<json::object_t&>();
    for (auto& member : members) ReleaseInPieces(member.second);
    members.clear();
  }
}

struct ReleasedInPieces {
  json& document;
  ~ReleasedInPieces() { ReleaseInPieces(document); }
};

}  // namespace

Scenario ParseScenario(std::string_view text, uint32_t maxFrames) {
  const Shape shape = MeasureShape(text);
  if (shape.nesting > kMaxNesting) {
    throw ScenarioError("nested more than " + std::to_string(kMaxNesting) + " deep; no scenario needs that");
  }
  if (shape.values > kMaxValues) {
    throw ScenarioError("more than " + std::to_string(kMaxValues) + " values; cut the scenario");
  }
  json root;
  const ReleasedInPieces release{root};
  try {
    root = json::parse(text.begin(), text.end());
  } catch (const json::exception& e) {
    throw ScenarioError(std::string("malformed JSON: ") + e.what());
  }
  const Place place("scenario");
  if (!root.is_object()) place.Fail("must be a JSON object");
  CheckKeys(root, {"level", "width", "height", "bomb_count", "bombs", "seed", "random", "events"}, place);

  Scenario scenario;
  scenario.first = FirstDeal(root, place);
  scenario.random = Random(root, place);
  if (root.contains("events")) {
    const json& events = root["events"];
    if (!events.is_array()) place.Fail("events must be a list");
    if (events.size() > kMaxEvents) place.Fail("more than " + std::to_string(kMaxEvents) + " events; cut the scenario");
    scenario.events.reserve(events.size());
    FrameBudget frames{maxFrames, maxFrames};
    for (size_t i = 0; i < events.size(); ++i) scenario.events.push_back(ReadEvent(events[i], i + 1, frames));
  }
  return scenario;
}

}  // namespace porteka::replay
