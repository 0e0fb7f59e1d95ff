#include "render/counter_strip.h"

#include <QFontMetrics>
#include <QPainter>

#include "dialogs/fonts.h"

namespace porteka {
namespace {

constexpr uint32_t kBackground = Rgb(0, 0, 0);

// Text is placed by the top of its line, as the strip was laid out.
void DrawTextAt(QPainter& painter, int x, int top, std::string_view text) {
  const QFontMetrics metrics(painter.font());
  painter.drawText(x, top + metrics.ascent(), QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size())));
}

}  // namespace

CounterStrip::CounterStrip(QWidget* parent) : PictureSurface(parent) {
  ResizeImage(kWidth, kHeight, kBackground);
}

void CounterStrip::DrawCounters(std::string_view timeText, std::string_view bombsText) {
  image().Fill(kBackground);
  QImage target(reinterpret_cast<uchar*>(image().pixels.data()), image().width, image().height,
                static_cast<qsizetype>(image().width) * 4, QImage::Format_RGB32);
  {
    QPainter painter(&target);
    painter.setFont(DesignFont(kGothic, 12));
    painter.setPen(Qt::white);
    DrawTextAt(painter, 142, 4, timeText);
    DrawTextAt(painter, 2, 4, bombsText);
  }
  Present();
}

}  // namespace porteka
