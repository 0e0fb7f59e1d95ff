#include "render/counter_strip.h"

#include <QFontMetrics>
#include <QPainter>

#include "ui/fonts.h"

namespace porteka {
namespace {

constexpr uint32_t kBackground = Rgb(0, 0, 0);

}  // namespace

CounterStrip::CounterStrip(QWidget* parent) : PictureSurface(parent) {
  Prepare(1);
  Present();  // blank until the first game
}

void CounterStrip::Prepare(int zoom) {
  textZoom_ = zoom;
  font_ = DesignFont(kGothic, 12, false, zoom);
  ascent_ = QFontMetrics(font_).ascent();
  ResizeImage(kWidth * zoom, kHeight * zoom, kBackground);
  target_ = QImage(reinterpret_cast<uchar*>(image().pixels.data()), image().width, image().height,
                   static_cast<qsizetype>(image().width) * 4, QImage::Format_RGB32);
}

// The strip's own pixels grow with the zoom; the picture shown is not zoomed
// again.
void CounterStrip::SetZoom(int zoom) {
  if (zoom == textZoom_) return;
  Prepare(zoom);
  Draw();
}

void CounterStrip::Draw(std::string_view timeText, std::string_view bombsText) {
  if (drawn_ && timeText == timeText_ && bombsText == bombsText_) return;
  drawn_ = true;
  timeText_ = timeText;
  bombsText_ = bombsText;
  Draw();
}

void CounterStrip::Draw() {
  image().Fill(kBackground);
  if (drawn_) {
    QPainter painter(&target_);
    painter.setFont(font_);
    painter.setPen(Qt::white);
    // Texts are placed by the top of their line, as the strip was laid out.
    const int z = textZoom_;
    painter.drawText(142 * z, 4 * z + ascent_,
                     QString::fromLatin1(timeText_.data(), static_cast<qsizetype>(timeText_.size())));
    painter.drawText(2 * z, 4 * z + ascent_,
                     QString::fromLatin1(bombsText_.data(), static_cast<qsizetype>(bombsText_.size())));
  }
  Present();
}

}  // namespace porteka
