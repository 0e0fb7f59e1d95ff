#pragma once

#include <QDialog>
#include <QImage>

namespace porteka {

// The title card, shown at start-up before the main window and again as the
// version information: a borderless 128 x 128 picture that goes away at any
// mouse press on it or when it loses the focus. Keys do nothing.
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
  QImage picture_;
  bool wasActive_ = false;
};

}  // namespace porteka
