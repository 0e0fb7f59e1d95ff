#include "tools/art/palette_quantizer.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <map>
#include <vector>

namespace porteka::art {

namespace {

struct ColourCount {
  QRgb colour;
  int64_t count;
};

// Fully transparent pixels are all the same pixel, whatever colour they carry.
QRgb Normalised(QRgb colour) { return qAlpha(colour) == 0 ? 0u : colour; }

int Channel(QRgb colour, int channel) {
  switch (channel) {
    case 0: return qRed(colour);
    case 1: return qGreen(colour);
    case 2: return qBlue(colour);
    default: return qAlpha(colour);
  }
}

// The eye is most sensitive to green and least to blue.
constexpr std::array<int64_t, 4> kWeights = {3, 4, 2, 3};

int64_t Distance(QRgb a, QRgb b) {
  int64_t sum = 0;
  for (int c = 0; c < 4; ++c) {
    const int64_t d = Channel(a, c) - Channel(b, c);
    sum += kWeights[c] * d * d;
  }
  return sum;
}

std::vector<ColourCount> Histogram(const QImage& picture) {
  std::map<QRgb, int64_t> counts;
  for (int y = 0; y < picture.height(); ++y) {
    for (int x = 0; x < picture.width(); ++x) ++counts[Normalised(picture.pixel(x, y))];
  }
  std::vector<ColourCount> histogram;
  histogram.reserve(counts.size());
  for (const auto& [colour, count] : counts) histogram.push_back({colour, count});
  return histogram;
}

struct Box {
  std::vector<ColourCount> colours;
  int64_t population = 0;
  int widestChannel = 0;
  int widestRange = 0;

  void Measure() {
    population = 0;
    widestRange = -1;
    for (const auto& entry : colours) population += entry.count;
    for (int c = 0; c < 4; ++c) {
      int low = 255;
      int high = 0;
      for (const auto& entry : colours) {
        low = std::min(low, Channel(entry.colour, c));
        high = std::max(high, Channel(entry.colour, c));
      }
      const int range = (high - low) * static_cast<int>(kWeights[c]);
      if (range > widestRange) {
        widestRange = range;
        widestChannel = c;
      }
    }
  }

  QRgb Average() const {
    std::array<int64_t, 4> sums{};
    for (const auto& entry : colours) {
      for (int c = 0; c < 4; ++c) sums[c] += Channel(entry.colour, c) * entry.count;
    }
    auto mean = [&](int c) { return static_cast<int>((sums[c] + population / 2) / population); };
    return qRgba(mean(0), mean(1), mean(2), mean(3));
  }
};

std::vector<QRgb> MedianCut(std::vector<ColourCount> histogram, int maxColours) {
  std::vector<Box> boxes(1);
  boxes[0].colours = std::move(histogram);
  boxes[0].Measure();
  while (static_cast<int>(boxes.size()) < maxColours) {
    // Split where a wide spread of colour meets many pixels.
    int chosen = -1;
    double bestScore = 0.0;
    for (size_t i = 0; i < boxes.size(); ++i) {
      if (boxes[i].colours.size() < 2) continue;
      const double score = static_cast<double>(boxes[i].widestRange) * std::sqrt(double(boxes[i].population));
      if (chosen < 0 || score > bestScore) {
        chosen = static_cast<int>(i);
        bestScore = score;
      }
    }
    if (chosen < 0) break;
    Box& box = boxes[chosen];
    const int channel = box.widestChannel;
    std::sort(box.colours.begin(), box.colours.end(), [channel](const ColourCount& a, const ColourCount& b) {
      const int ca = Channel(a.colour, channel);
      const int cb = Channel(b.colour, channel);
      return ca != cb ? ca < cb : a.colour < b.colour;
    });
    int64_t running = 0;
    size_t split = 1;
    for (size_t i = 0; i + 1 < box.colours.size(); ++i) {
      running += box.colours[i].count;
      split = i + 1;
      if (running * 2 >= box.population) break;
    }
    Box upper;
    upper.colours.assign(box.colours.begin() + static_cast<std::ptrdiff_t>(split), box.colours.end());
    box.colours.resize(split);
    box.Measure();
    upper.Measure();
    boxes.push_back(std::move(upper));
  }
  std::vector<QRgb> palette;
  for (const auto& box : boxes) palette.push_back(box.Average());
  std::sort(palette.begin(), palette.end());
  palette.erase(std::unique(palette.begin(), palette.end()), palette.end());
  return palette;
}

QImage Indexed(const QImage& picture, const std::vector<QRgb>& palette) {
  QImage indexed(picture.size(), QImage::Format_Indexed8);
  indexed.setColorTable(QList<QRgb>(palette.begin(), palette.end()));
  std::map<QRgb, int> nearest;
  for (int y = 0; y < picture.height(); ++y) {
    uchar* row = indexed.scanLine(y);
    for (int x = 0; x < picture.width(); ++x) {
      const QRgb colour = Normalised(picture.pixel(x, y));
      auto found = nearest.find(colour);
      if (found == nearest.end()) {
        int best = 0;
        for (size_t i = 1; i < palette.size(); ++i) {
          if (Distance(colour, palette[i]) < Distance(colour, palette[best])) best = static_cast<int>(i);
        }
        found = nearest.emplace(colour, best).first;
      }
      row[x] = static_cast<uchar>(found->second);
    }
  }
  return indexed;
}

}  // namespace

QImage ToIndexed(const QImage& picture, int maxColours) {
  std::vector<ColourCount> histogram = Histogram(picture);
  if (static_cast<int>(histogram.size()) <= maxColours) {
    std::vector<QRgb> palette;
    for (const auto& entry : histogram) palette.push_back(entry.colour);
    return Indexed(picture, palette);
  }
  return Indexed(picture, MedianCut(std::move(histogram), maxColours));
}

QImage MapToPalette(const QImage& picture, const QList<QRgb>& palette) {
  return Indexed(picture, std::vector<QRgb>(palette.begin(), palette.end()));
}

int CountColours(const QImage& picture) { return static_cast<int>(Histogram(picture).size()); }

}  // namespace porteka::art
