#include "dialogs/title_card.h"

#include <QKeyEvent>
#include <QPainter>

#include "ui/placement.h"

namespace porteka {

Form3::Form3(QWidget* owner)
    : QDialog(owner, Qt::Dialog | Qt::FramelessWindowHint), picture_(QStringLiteral(":/art/title.bmp")) {
  setWindowTitle(QStringLiteral("Form3"));
  setModal(true);
  setFixedSize(128, 128);
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
  painter.drawImage(QPoint(0, 0), picture_);
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
