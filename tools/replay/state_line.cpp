#include "tools/replay/state_line.h"

#include <charconv>

namespace porteka::replay {
namespace {

class LineWriter {
 public:
  explicit LineWriter(std::string& out) : out_(out) {}

  void Raw(std::string_view text) { out_ += text; }
  void Char(char c) { out_ += c; }

  void Int(int64_t value) {
    char buffer[24];
    const auto end = std::to_chars(buffer, buffer + sizeof buffer, value).ptr;
    out_.append(buffer, end);
  }

  // Everything the dump holds is ASCII already; anything else is escaped so the
  // line stays ASCII whatever happens.
  void String(std::string_view text) {
    static constexpr char kHex[] = "0123456789abcdef";
    out_ += '"';
    for (char c : text) {
      const auto u = static_cast<unsigned char>(c);
      if (c == '"' || c == '\\') {
        out_ += '\\';
        out_ += c;
      } else if (u >= 0x20 && u < 0x7f) {
        out_ += c;
      } else {
        out_ += "\\u00";
        out_ += kHex[u >> 4];
        out_ += kHex[u & 15];
      }
    }
    out_ += '"';
  }

  // Starts "key": with the comma that separates it from the previous field.
  void Key(std::string_view key) {
    if (!first_) out_ += ',';
    first_ = false;
    String(key);
    out_ += ':';
  }

  template <typename T>
  void IntList(const T& values) {
    out_ += '[';
    bool first = true;
    for (const auto& v : values) {
      if (!first) out_ += ',';
      first = false;
      Int(static_cast<int64_t>(v));
    }
    out_ += ']';
  }

 private:
  std::string& out_;
  bool first_ = true;
};

// One hex digit per cell, a string per row. The rules never hold more than 11;
// a '?' would show at once that they did.
template <typename Cell>
void Board(LineWriter& w, const std::array<Cell, kArraySide * kArraySide>& cells) {
  static constexpr char kHex[] = "0123456789abcdef";
  w.Char('[');
  for (int y = 0; y < kArraySide; ++y) {
    if (y > 0) w.Char(',');
    std::string row(kArraySide, '?');
    for (int x = 0; x < kArraySide; ++x) {
      const auto v = static_cast<uint8_t>(cells[x + kArraySide * y]);
      if (v < 16) row[x] = kHex[v];
    }
    w.String(row);
  }
  w.Char(']');
}

template <size_t N>
void Pool(LineWriter& w, const std::array<EffectRecord, N>& pool) {
  w.Char('[');
  bool first = true;
  for (size_t slot = 0; slot < N; ++slot) {
    const EffectRecord& r = pool[slot];
    if (r.Phase == 0) continue;
    if (!first) w.Char(',');
    first = false;
    w.Char('[');
    w.Int(static_cast<int64_t>(slot));
    w.Char(',');
    w.Int(r.Phase);
    w.Char(',');
    w.Int(r.X);
    w.Char(',');
    w.Int(r.Y);
    w.Char(']');
  }
  w.Char(']');
}

void Frames(LineWriter& w, const Recorder& recorder) {
  const auto& ops = recorder.ops();
  w.Char('[');
  bool firstFrame = true;
  for (const auto& [begin, end] : recorder.frames()) {
    if (!firstFrame) w.Char(',');
    firstFrame = false;
    w.Char('[');
    for (size_t k = begin; k < end; ++k) {
      const DrawOp& op = ops[k];
      if (k > begin) w.Char(',');
      w.Char('[');
      w.String(std::string_view(&op.kind, 1));
      if (op.kind != 'M') {
        w.Char(',');
        w.Int(op.phase);
      }
      w.Char(',');
      w.Int(op.x);
      w.Char(',');
      w.Int(op.y);
      w.Char(']');
    }
    w.Char(']');
  }
  w.Char(']');
}

}  // namespace

std::string StateLine(uint64_t number, std::string_view doName, const Game& game, const Recorder& recorder,
                      uint64_t randomDraws) {
  std::string out;
  out.reserve(4096);
  LineWriter w(out);
  w.Char('{');
  w.Key("i");
  w.Int(static_cast<int64_t>(number));
  w.Key("do");
  w.String(doName);

  w.Key("GameLevel");
  w.Int(static_cast<int64_t>(game.gro.GameLevel));
  w.Key("BombCount");
  w.Int(game.gro.BombCount);
  w.Key("BoardWidth");
  w.Int(game.gro.BoardWidth);
  w.Key("BoardHeight");
  w.Int(game.gro.BoardHeight);
  w.Key("ElapsedTime");
  w.Int(game.gro.ElapsedTime);
  w.Key("Picture1");
  const Layout& l = game.layout;
  w.IntList(std::array<int64_t, 4>{l.boardLeft, l.boardTop, l.boardWidth, l.boardHeight});

  w.Key("GameState");
  w.Int(static_cast<int64_t>(game.board.GameState));
  w.Key("CoveredCount");
  w.Int(game.board.CoveredCount);
  w.Key("BombsLeft");
  w.Int(game.board.BombsLeft);
  w.Key("PointerX");
  w.Int(game.pointer.PointerX);
  w.Key("PointerY");
  w.Int(game.pointer.PointerY);
  w.Key("LastButton");
  w.Int(game.pointer.LastButton);
  w.Key("CursorBlink");
  w.Int(game.loop.CursorBlink);

  w.Key("Face");
  w.Int(static_cast<int64_t>(recorder.face()));
  w.Key("Counters");
  if (const auto& counters = recorder.counters()) {
    w.Char('[');
    w.String(counters->first);
    w.Char(',');
    w.String(counters->second);
    w.Char(']');
  } else {
    w.Raw("null");
  }
  w.Key("RandomDraws");
  w.Int(static_cast<int64_t>(randomDraws));

  w.Key("CellValue");
  Board(w, game.board.CellValue);
  w.Key("CellState");
  Board(w, game.board.CellState);
  w.Key("OpenEffects");
  Pool(w, game.effects.OpenEffects);
  w.Key("Explosions");
  Pool(w, game.effects.Explosions);

  w.Key("Sounds");
  w.IntList(recorder.sounds());
  w.Key("Faces");
  w.IntList(recorder.faces());
  w.Key("Records");
  w.Char('[');
  bool first = true;
  for (const RecordCheck& r : recorder.records()) {
    if (!first) w.Char(',');
    first = false;
    w.IntList(std::array<int64_t, 2>{static_cast<int64_t>(r.level), r.elapsed});
  }
  w.Char(']');
  w.Key("Frames");
  Frames(w, recorder);
  w.Char('}');
  return out;
}

}  // namespace porteka::replay
