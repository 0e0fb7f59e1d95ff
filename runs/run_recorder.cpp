#include "runs/run_recorder.h"

#include <cmath>
#include <cstdio>

#include "runs/scenario.h"

namespace porteka {
namespace {

// About a second: the wait before the first move keeps its blink's parity.
constexpr uint32_t kLongestWait = 31;

bool OnSurface(const Game& game, float x, float y) {
  return x >= 0 && x < game.layout.boardWidth && y >= 0 && y < game.layout.boardHeight;
}

// Buttons that act: the left, the right and the middle one alone.
bool ButtonsAct(int16_t button) { return button == 1 || button == 2 || button == 4; }

// Single precision in as few digits as read back to the same value.
void AppendNumber(std::string& out, float v) {
  char buffer[32];
  std::snprintf(buffer, sizeof buffer, "%.9g", static_cast<double>(v));
  out += buffer;
}

}  // namespace

void RunRecorder::Begin(const Game& game) {
  state_ = State::kRecording;
  level_ = game.gro.GameLevel;
  width_ = game.gro.BoardWidth;
  height_ = game.gro.BoardHeight;
  bombs_.clear();
  for (int16_t y = 0; y < height_; ++y) {
    for (int16_t x = 0; x < width_; ++x) {
      if (Board::InArrays(x, y) && game.board.CellValue[x + kArraySide * y] == kBomb) bombs_.emplace_back(x, y);
    }
  }
  steps_.clear();
  pendingFrames_ = 0;
  pendingWaiting_ = game.board.GameState == GamePhase::Waiting;
  frames_ = 0;
  replayButtons_ = 0;

  // What the board inherits, made the same in the replay.
  if (!OnSurface(game, game.pointer.PointerX, game.pointer.PointerY)) {
    state_ = State::kNotKept;
    return;
  }
  if (game.pointer.PointerX != 0 || game.pointer.PointerY != 0) {
    steps_.push_back({Step::Kind::kMouseDown, 0, 0, 0, static_cast<float>(game.pointer.PointerX), static_cast<float>(game.pointer.PointerY)});
  }
  if (game.loop.CursorBlink != 0) pendingFrames_ = 1;
}

void RunRecorder::MouseDown(const Game& game, float x, float y) {
  if (state_ != State::kRecording) return;
  // Qt reports presses on the surface; the replay refuses any other.
  if (!OnSurface(game, x, y)) {
    state_ = State::kNotKept;
    return;
  }
  Push({Step::Kind::kMouseDown, 0, 0, 0, x, y});
}

void RunRecorder::MouseMove(const Game& game, int16_t button, float x, float y) {
  if (state_ != State::kRecording) return;
  if (!std::isfinite(x) || !std::isfinite(y) || button < 0 || button > 7) {
    state_ = State::kNotKept;
    return;
  }
  const bool changesNothing = game.board.GameState != GamePhase::Waiting && button == replayButtons_ &&
                              (!ButtonsAct(button) || !OnSurface(game, x, y));
  if (changesNothing) return;
  replayButtons_ = button;
  Push({Step::Kind::kMouseMove, button, 0, 0, x, y});
}

void RunRecorder::DblClick(const Game& game) {
  if (state_ != State::kRecording) return;
  // The rule reads the buttons of the last move, which the replay may not share yet.
  if (game.pointer.LastButton != replayButtons_) {
    state_ = State::kNotKept;
    return;
  }
  Push({Step::Kind::kDblClick, 0, 0, 0, 0, 0});
}

void RunRecorder::Key(int16_t keyCode, int16_t shift) {
  if (state_ != State::kRecording) return;
  if (shift < 0 || shift > 7) {
    state_ = State::kNotKept;
    return;
  }
  Push({Step::Kind::kKey, shift, keyCode, 0, 0, 0});
}

void RunRecorder::Frame() {
  if (state_ != State::kRecording) return;
  ++pendingFrames_;
  if (pendingWaiting_ && pendingFrames_ > kLongestWait) pendingFrames_ -= 2;
  if (frames_ + pendingFrames_ + kMaxRestFrames > replay::kMaxFrames) state_ = State::kNotKept;
}

void RunRecorder::After(const Game& game) {
  if (state_ != State::kRecording) return;
  pendingWaiting_ = game.board.GameState == GamePhase::Waiting;
  if (game.board.GameState != GamePhase::Over) return;
  CloseFrames();
  if (state_ == State::kRecording) state_ = State::kEnded;
}

void RunRecorder::Push(Step step) {
  CloseFrames();
  // Room for the frames that follow and those that let the board come to rest.
  if (steps_.size() + 3 > replay::kMaxEvents) {
    state_ = State::kNotKept;
    steps_ = {};
    return;
  }
  steps_.push_back(step);
}

void RunRecorder::CloseFrames() {
  if (pendingFrames_ == 0) return;
  steps_.push_back({Step::Kind::kFrames, 0, 0, pendingFrames_, 0, 0});
  frames_ += pendingFrames_;
  pendingFrames_ = 0;
}

std::string RunRecorder::Text(uint32_t restFrames) const {
  if (!kept()) return {};
  std::string out = "{\"level\":" + std::to_string(static_cast<int>(level_));
  if (level_ == Level::Custom) {
    out += ",\"width\":" + std::to_string(width_) + ",\"height\":" + std::to_string(height_) +
           ",\"bomb_count\":" + std::to_string(bombs_.size());
  }
  out += ",\"bombs\":[";
  for (size_t i = 0; i < bombs_.size(); ++i) {
    if (i != 0) out += ',';
    out += "[" + std::to_string(bombs_[i].first) + "," + std::to_string(bombs_[i].second) + "]";
  }
  out += "],\n\"events\":[";
  bool first = true;
  const auto frames = [&](uint32_t n) {
    out += first ? "\n" : ",\n";
    first = false;
    out += "{\"do\":\"frames\",\"n\":" + std::to_string(n) + "}";
  };
  for (const Step& step : steps_) {
    if (step.kind == Step::Kind::kFrames) {
      frames(step.frames);
      continue;
    }
    out += first ? "\n" : ",\n";
    first = false;
    switch (step.kind) {
      case Step::Kind::kMouseDown:
        out += "{\"do\":\"mousedown\",\"x\":";
        break;
      case Step::Kind::kMouseMove:
        out += "{\"do\":\"mousemove\",\"button\":" + std::to_string(step.button) + ",\"x\":";
        break;
      case Step::Kind::kDblClick:
        out += "{\"do\":\"dblclick\"}";
        continue;
      case Step::Kind::kKey:
        out += "{\"do\":\"key\",\"code\":" + std::to_string(static_cast<uint16_t>(step.keyCode)) +
               ",\"shift\":" + std::to_string(step.button) + "}";
        continue;
      case Step::Kind::kFrames:
        break;
    }
    AppendNumber(out, step.x);
    out += ",\"y\":";
    AppendNumber(out, step.y);
    out += "}";
  }
  if (pendingFrames_ != 0) frames(pendingFrames_);
  if (restFrames != 0) frames(restFrames);
  out += "\n]}\n";
  return out;
}

}  // namespace porteka
