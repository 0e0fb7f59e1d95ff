#include "dialogs/title_card.h"

#include <QKeyEvent>
#include <QPainter>

#include "render/sheet_loader.h"
#include "render/zoomed_picture.h"
#include "ui/placement.h"
#include "ui/zoom.h"

namespace porteka {

namespace {

constexpr int kSide = 128;

}  // namespace

Form3::Form3(QWidget* owner)
    : QDialog(owner, Qt::Dialog | Qt::FramelessWindowHint),
      picture_(Zoomed(ToSurface(QImage(QStringLiteral(":/art/title.bmp"))), Zoom())) {
  setWindowTitle(QStringLiteral("Form3"));
  setModal(true);
  setFixedSize(kSide * Zoom(), kSide * Zoom());
  setAttribute(Qt::WA_OpaquePaintEvent);
}

void Form3::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  CentreOverOwner(this, parentWidget());
  activateWindow();
  raise();
}

void Form3::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.fillRect(rect(), Qt::black);
  painter.drawImage(QPoint(0, 0), AsImage(picture_));
}

void Form3::mousePressEvent(QMouseEvent*) { accept(); }

// Not even Escape: the card waits for the mouse.
void Form3::keyPressEvent(QKeyEvent* event) { event->accept(); }

// Closing when another window takes the focus; the card must have had the
// focus first, since a window manager may take a moment to hand it over.
void Form3::changeEvent(QEvent* event) {
  QDialog::changeEvent(event);
  if (event->type() != QEvent::ActivationChange) return;
  if (isActiveWindow()) {
    wasActive_ = true;
  } else if (wasActive_ && isVisible()) {
    accept();
  }
}

}  // namespace porteka
