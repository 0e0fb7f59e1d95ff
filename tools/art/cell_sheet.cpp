#include "tools/art/cell_sheet.h"

#include "tools/art/bomb_drawing.h"
#include "tools/art/colour_math.h"
#include "tools/art/digit_glyphs.h"
#include "tools/art/fixed_random.h"
#include "tools/art/palette_quantizer.h"

#include <cmath>
#include <cstdlib>
#include <vector>

namespace porteka::art {

namespace {

constexpr int kLast = kCellSize - 1;

// Distance from the cell's edge: 0 on the outermost ring.
int Ring(int x, int y) { return std::min(std::min(x, y), std::min(kLast - x, kLast - y)); }

// The diamond rings around the middle of the cell: 1 for the four middle pixels.
int DiamondRing(int x, int y) { return (std::abs(2 * x - kLast) + std::abs(2 * y - kLast)) / 2; }

bool UpperLeft(int x, int y) { return x + y < kLast; }

void Put(QImage& sheet, int cell, int x, int y, QRgb colour) {
  sheet.setPixel(cell * kCellSize + x, y, colour);
}

// Brushed steel lit from the top left: a few flat bands with faint streaks,
// the way a hand-drawn metal plate would shade.
QRgb Steel(int x, int y) {
  static constexpr std::array<int, kCellSize> kStreaks = {0, 3, -2, 0, 4, 1, -3, 0, 2, -1, 3, 0, -2, 2, 0, -1};
  const int band = std::min(4, (x + y) * 5 / (2 * kLast + 1));
  const QRgb base = Mix(qRgb(204, 208, 216), qRgb(150, 155, 166), band / 4.0);
  const int streak = kStreaks[static_cast<size_t>(y)] * ((x * 7 + y * 3) % 5 < 3 ? 1 : 0);
  return qRgb(qRed(base) + streak, qGreen(base) + streak, qBlue(base) + streak);
}

void DrawRaisedPlate(QImage& sheet, int cell) {
  for (int y = 0; y < kCellSize; ++y) {
    for (int x = 0; x < kCellSize; ++x) {
      QRgb colour = Steel(x, y);
      const int ring = Ring(x, y);
      const bool lit = x == ring || y == ring;  // the ring's top or left side
      if ((x == 0 && y == kLast) || (x == kLast && y == 0)) {
        colour = qRgb(132, 136, 146);
      } else if (ring == 0) {
        colour = lit ? qRgb(240, 243, 247) : qRgb(58, 62, 72);
      } else if (ring == 1) {
        colour = lit ? qRgb(222, 226, 232) : qRgb(112, 117, 130);
      }
      Put(sheet, cell, x, y, colour);
    }
  }
  // The polished chamfer catches a glint at the lower right.
  for (int i : {12, 13}) {
    Put(sheet, cell, 14, i, qRgb(255, 255, 255));
    Put(sheet, cell, i, 14, qRgb(255, 255, 255));
  }
  Put(sheet, cell, 14, 11, qRgb(196, 200, 208));
  Put(sheet, cell, 11, 14, qRgb(196, 200, 208));
  Put(sheet, cell, 14, 14, qRgb(236, 238, 242));
  // Rivets: black domes with a dull highlight and a bright rim below right.
  for (int ry : {2, 12}) {
    for (int rx : {2, 12}) {
      Put(sheet, cell, rx, ry, qRgb(84, 86, 96));
      Put(sheet, cell, rx + 1, ry, qRgb(20, 20, 26));
      Put(sheet, cell, rx, ry + 1, qRgb(20, 20, 26));
      Put(sheet, cell, rx + 1, ry + 1, qRgb(0, 0, 0));
      if (rx + 2 < kLast - 1 && ry + 2 < kLast - 1) {
        Put(sheet, cell, rx + 2, ry + 1, Mix(Steel(rx + 2, ry + 1), qRgb(255, 255, 255), 0.45));
        Put(sheet, cell, rx + 1, ry + 2, Mix(Steel(rx + 1, ry + 2), qRgb(255, 255, 255), 0.45));
      }
    }
  }
}

// The raised diamond in the middle of a cover; an empty one keeps the steel.
void DrawDiamond(QImage& sheet, int cell, bool filled, QRgb light, QRgb dark) {
  for (int y = 0; y < kCellSize; ++y) {
    for (int x = 0; x < kCellSize; ++x) {
      const int d = DiamondRing(x, y);
      if (d == 5) {
        Put(sheet, cell, x, y, UpperLeft(x, y) ? qRgb(246, 248, 252) : qRgb(70, 74, 86));
      } else if (d == 6 && !UpperLeft(x, y)) {
        Put(sheet, cell, x, y, Scale(Steel(x, y), 0.82));
      } else if (d <= 4 && filled) {
        const int band = std::clamp((x + y - 6) / 3, 0, 3);
        Put(sheet, cell, x, y, Mix(light, dark, band / 3.0));
      }
    }
  }
  if (filled) {
    Put(sheet, cell, 6, 5, Mix(light, qRgb(255, 255, 255), 0.7));
    Put(sheet, cell, 5, 6, Mix(light, qRgb(255, 255, 255), 0.35));
    Put(sheet, cell, 7, 5, Mix(light, qRgb(255, 255, 255), 0.35));
  }
}

void DrawKeyboardMark(QImage& sheet, int cell) {
  for (int y = 0; y < kCellSize; ++y) {
    for (int x = 0; x < kCellSize; ++x) {
      const int band = std::min(3, (x + y) * 4 / (2 * kLast + 1));
      QRgb colour = Mix(qRgb(150, 255, 120), qRgb(40, 190, 56), band / 3.0);
      const int ring = Ring(x, y);
      const bool corner = (x == 0 || x == kLast) && (y == 0 || y == kLast);
      const bool innerCorner = (x == 1 || x == kLast - 1) && (y == 1 || y == kLast - 1);
      if (corner) {
        colour = qRgb(16, 84, 24);
      } else if (ring == 0 || innerCorner) {
        colour = qRgb(250, 255, 250);
      } else if (ring == 1) {
        colour = (x == 1 || y == 1) ? qRgb(200, 255, 190) : qRgb(28, 140, 44);
      }
      const int d = DiamondRing(x, y);
      if (d == 5) {
        colour = UpperLeft(x, y) ? qRgb(230, 255, 220) : qRgb(10, 96, 30);
      } else if (d <= 4) {
        colour = Mix(qRgb(70, 226, 80), qRgb(12, 150, 40), std::clamp((x + y - 6) / 3, 0, 3) / 3.0);
      }
      Put(sheet, cell, x, y, colour);
    }
  }
  Put(sheet, cell, 6, 5, qRgb(200, 255, 200));
  // Red corner ticks tell a keyboard mark from a flag at a glance.
  constexpr QRgb kRed = qRgb(236, 28, 36);
  constexpr QRgb kRedDark = qRgb(150, 10, 20);
  for (const auto& [x, y] : std::vector<std::pair<int, int>>{{2, 2}, {3, 2}, {4, 2}, {2, 3}, {2, 4}}) {
    Put(sheet, cell, x, y, kRed);
  }
  Put(sheet, cell, 3, 3, kRedDark);
  for (const auto& [x, y] : std::vector<std::pair<int, int>>{{13, 13}, {12, 13}, {11, 13}, {13, 12}, {13, 11}}) {
    Put(sheet, cell, x, y, kRed);
  }
  Put(sheet, cell, 12, 12, kRedDark);
}

constexpr QRgb kOpenFlat = qRgb(134, 136, 141);
constexpr QRgb kOpenShadow = qRgb(104, 106, 112);

void DrawOpenPlate(QImage& sheet, int cell) {
  for (int y = 0; y < kCellSize; ++y) {
    for (int x = 0; x < kCellSize; ++x) {
      QRgb colour = kOpenFlat;
      if (x == kLast || y == kLast) {
        colour = qRgb(92, 94, 100);
      } else if (x == 0 || y == 0) {
        colour = qRgb(152, 154, 159);
      }
      Put(sheet, cell, x, y, colour);
    }
  }
  for (int ry : {1, 13}) {
    for (int rx : {1, 13}) {
      Put(sheet, cell, rx, ry, qRgb(80, 82, 90));
      Put(sheet, cell, rx + 1, ry + 1, qRgb(172, 174, 180));
    }
  }
}

void DrawDigit(QImage& sheet, int cell, int digit) {
  const DigitGlyph& glyph = GlyphForDigit(digit);
  const QRgb ink = kDigitColours[static_cast<size_t>(digit - 1)];
  constexpr int kLeft = 3;
  constexpr int kTop = 2;
  auto inked = [&](int gx, int gy) {
    return gx >= 0 && gy >= 0 && gx < kGlyphWidth && gy < kGlyphHeight && glyph[gy][gx] == '#';
  };
  // A soft drop shadow first, so light digits stand off the grey.
  for (int gy = 0; gy <= kGlyphHeight; ++gy) {
    for (int gx = 0; gx <= kGlyphWidth; ++gx) {
      if (!inked(gx, gy) && inked(gx - 1, gy - 1)) Put(sheet, cell, kLeft + gx, kTop + gy, kOpenShadow);
    }
  }
  for (int gy = 0; gy < kGlyphHeight; ++gy) {
    for (int gx = 0; gx < kGlyphWidth; ++gx) {
      if (inked(gx, gy)) Put(sheet, cell, kLeft + gx, kTop + gy, ink);
    }
  }
}

struct RubbleStyle {
  QRgb ground;
  QRgb groundDark;
  std::array<QRgb, 3> stones;
  QRgb ember;
  int embers;
  uint64_t seed;
};

// A heap of broken stones: irregular polygons shaded as lumps, lit from the top left.
void DrawRubble(QImage& sheet, int cell, const RubbleStyle& style) {
  FixedRandom random(style.seed);
  for (int y = 0; y < kCellSize; ++y) {
    for (int x = 0; x < kCellSize; ++x) {
      Put(sheet, cell, x, y, random.Uniform() < 0.3 ? style.groundDark : style.ground);
    }
  }
  struct Stone {
    std::vector<std::pair<double, double>> corners;
  };
  auto inside = [](const Stone& stone, double px, double py) {
    bool in = false;
    const auto& c = stone.corners;
    for (size_t i = 0, j = c.size() - 1; i < c.size(); j = i++) {
      if ((c[i].second > py) != (c[j].second > py) &&
          px < (c[j].first - c[i].first) * (py - c[i].second) / (c[j].second - c[i].second) + c[i].first) {
        in = !in;
      }
    }
    return in;
  };
  for (int gy = 0; gy < 3; ++gy) {
    for (int gx = 0; gx < 3; ++gx) {
      const double cx = 2.6 + gx * 5.3 + random.Range(-1.2, 1.2);
      const double cy = 2.6 + gy * 5.3 + random.Range(-1.2, 1.2);
      const double radius = random.Range(2.3, 3.5);
      Stone stone;
      const int sides = 6 + random.Below(3);
      const double turn = random.Range(0.0, 6.2832);
      for (int i = 0; i < sides; ++i) {
        const double angle = turn + i * 6.2832 / sides;
        const double reach = radius * random.Range(0.65, 1.1);
        stone.corners.push_back({cx + std::cos(angle) * reach, cy + std::sin(angle) * reach * 0.85});
      }
      const QRgb body = style.stones[static_cast<size_t>(random.Below(3))];
      for (int y = 0; y < kCellSize; ++y) {
        for (int x = 0; x < kCellSize; ++x) {
          const double px = x + 0.5;
          const double py = y + 0.5;
          if (!inside(stone, px, py)) continue;
          QRgb colour = body;
          if (!inside(stone, px - 1, py) || !inside(stone, px, py - 1)) {
            colour = Scale(body, 1.3);
          } else if (!inside(stone, px + 1, py) || !inside(stone, px, py + 1)) {
            colour = Scale(body, 0.68);
          }
          Put(sheet, cell, x, y, colour);
        }
      }
    }
  }
  for (int i = 0; i < style.embers; ++i) {
    Put(sheet, cell, 1 + random.Below(kCellSize - 2), 1 + random.Below(kCellSize - 2), style.ember);
  }
  // Darken the right and bottom edge like the grid lines of the open plates.
  for (int i = 0; i < kCellSize; ++i) {
    Put(sheet, cell, kLast, i, Scale(sheet.pixel(cell * kCellSize + kLast, i), 0.7));
    if (i < kLast) Put(sheet, cell, i, kLast, Scale(sheet.pixel(cell * kCellSize + i, kLast), 0.7));
  }
}

}  // namespace

QImage PaintCellSheet() {
  QImage sheet(kCellSize * kCellCount, kCellSize, QImage::Format_ARGB32);
  sheet.fill(qRgb(0, 0, 0));

  DrawRaisedPlate(sheet, 0);
  DrawDiamond(sheet, 0, false, 0, 0);
  DrawRaisedPlate(sheet, 1);
  DrawDiamond(sheet, 1, true, qRgb(255, 92, 80), qRgb(170, 14, 24));
  DrawRaisedPlate(sheet, 2);
  DrawDiamond(sheet, 2, true, qRgb(150, 255, 255), qRgb(0, 160, 200));
  DrawKeyboardMark(sheet, 3);

  DrawOpenPlate(sheet, 4);
  for (int digit = 1; digit <= 8; ++digit) {
    DrawOpenPlate(sheet, 4 + digit);
    DrawDigit(sheet, 4 + digit, digit);
  }

  DrawOpenPlate(sheet, 13);
  DrawBomb(sheet, 13 * kCellSize + 7.0, 9.0, 6.2, false);
  // The smooth shading of the bomb would take more than its share of the
  // 256 colours; a few dozen look the same at this size.
  const QImage bomb = ToIndexed(sheet.copy(13 * kCellSize, 0, kCellSize, kCellSize), 40)
                          .convertToFormat(QImage::Format_ARGB32);
  for (int y = 0; y < kCellSize; ++y) {
    for (int x = 0; x < kCellSize; ++x) Put(sheet, 13, x, y, bomb.pixel(x, y));
  }

  DrawRubble(sheet, 14,
             {qRgb(46, 18, 14), qRgb(30, 10, 8), {qRgb(104, 44, 32), qRgb(84, 34, 26), qRgb(122, 58, 40)},
              qRgb(214, 84, 24), 3, 14});
  DrawRubble(sheet, 15,
             {qRgb(92, 82, 72), qRgb(74, 66, 58), {qRgb(150, 136, 118), qRgb(132, 118, 102), qRgb(168, 150, 130)},
              qRgb(0, 0, 0), 0, 15});
  return sheet;
}

}  // namespace porteka::art
