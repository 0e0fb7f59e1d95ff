#include "game/board_3bv.h"

#include <array>

#include "game/neighbours.h"

namespace porteka {

int16_t Board3BV(const Settings& settings, const Board& board) {
  const int width = settings.BoardWidth;
  const int height = settings.BoardHeight;
  auto value = [&](int x, int y) { return board.ValueAt(x, y); };
  // Cells that some region's opening uncovers.
  std::array<bool, kArraySide * kArraySide> opened{};
  std::array<int16_t, kArraySide * kArraySide> stack{};
  int16_t clicks = 0;

  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      if (value(x, y) != 0 || opened[x + kArraySide * y]) continue;
      ++clicks;
      size_t top = 0;
      stack[top++] = static_cast<int16_t>(x + kArraySide * y);
      opened[x + kArraySide * y] = true;
      while (top > 0) {
        const int cell = stack[--top];
        const int cx = cell % kArraySide;
        const int cy = cell / kArraySide;
        for (const auto [dx, dy] : kNeighbours) {
          const int nx = cx + dx;
          const int ny = cy + dy;
          if (!settings.OnBoard(nx, ny) || opened[nx + kArraySide * ny]) continue;
          opened[nx + kArraySide * ny] = true;
          // The border's numbers open with the region; only empty cells carry it further.
          if (value(nx, ny) == 0) stack[top++] = static_cast<int16_t>(nx + kArraySide * ny);
        }
      }
    }
  }
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      if (value(x, y) <= 8 && !opened[x + kArraySide * y]) ++clicks;
    }
  }
  return clicks;
}

}  // namespace porteka
