#pragma once

#include <QDialog>

#include "render/surface.h"

namespace porteka {

// The title card, shown at start-up before the main window and again as the
// version information: a borderless 128 x 128 picture that goes away at any
// mouse press on it or when it loses the focus. Keys do nothing. At a zoom of k
// it is k times as large, each pixel of the picture a k x k block.
class Form3 : public QDialog {
 public:
  explicit Form3(QWidget* owner);

 protected:
  void showEvent(QShowEvent* event) override;
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void changeEvent(QEvent* event) override;

 private:
  Surface picture_;
  bool wasActive_ = false;
};

}  // namespace porteka
