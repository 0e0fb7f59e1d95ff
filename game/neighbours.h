#pragma once

#include <array>
#include <cstddef>

namespace porteka {

struct CellStep {
  int dx;
  int dy;
};

// The 3 x 3 block around a cell, row by row from the top left, the cell itself
// fifth. Every walk around a cell takes this order: the order in which cells
// open decides which effect slot each flash takes, and so what a frame draws.
inline constexpr std::array<CellStep, 9> kBlock{
    {{-1, -1}, {0, -1}, {1, -1}, {-1, 0}, {0, 0}, {1, 0}, {-1, 1}, {0, 1}, {1, 1}}};

// The block without its centre: the eight neighbours, in the same order.
inline constexpr std::array<CellStep, 8> kNeighbours = [] {
  std::array<CellStep, 8> neighbours{};
  size_t n = 0;
  for (const CellStep step : kBlock) {
    if (step.dx != 0 || step.dy != 0) neighbours[n++] = step;
  }
  return neighbours;
}();

}  // namespace porteka
