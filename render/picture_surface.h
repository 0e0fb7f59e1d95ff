#pragma once

#include <QWidget>
#include <functional>

#include "render/surface.h"
#include "render/zoomed_picture.h"

namespace porteka {

// A shown picture surface. Drawing goes into a retained image; Present puts it
// on the screen, and the screen keeps what was last presented across repaints,
// even while a dialog interrupts the drawing of the next frame. Only the part
// that changed is sent to the window system. At a zoom of k every pixel shows
// as a k x k block, and on scaled screens the blocks grow again by nearest
// neighbour, so the 16-pixel sprites stay sharp.
class PictureSurface : public QWidget {
 public:
  explicit PictureSurface(QWidget* parent);

  int zoom() const { return picture_.zoom(); }
  // Shows what was last presented at the new zoom at once; a surface with an
  // image of its own takes the size to match.
  virtual void SetZoom(int zoom);

  Surface& image() { return image_; }
  const Surface& image() const { return image_; }
  // A new size clears the image to the background colour; the surface takes
  // that size times its zoom.
  void ResizeImage(int width, int height, uint32_t background);
  // Shows what has been drawn into the image.
  void Present();
  // Shows another retained image instead of its own (the board painter's).
  void ShowSurface(const Surface* surface) { shown_ = surface; }
  const Surface& shown() const { return shown_ != nullptr ? *shown_ : image_; }

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  Surface image_;
  const Surface* shown_ = nullptr;
  ZoomedPicture picture_;
  uint32_t background_ = 0xff808080u;
};

// The board surface: presses, moves (with or without buttons, also beyond the
// surface while a button pressed on it is held) and double clicks go to the
// main window's handlers, with the buttons as the board counts them and the
// positions in pixels of the board as drawn: divided by the zoom, so the
// rules see the same positions at every zoom.
class BoardSurface : public PictureSurface {
 public:
  struct Handlers {
    std::function<void(float x, float y)> mouseDown;
    std::function<void(int16_t button, float x, float y)> mouseMove;
    std::function<void()> dblClick;
  };
  BoardSurface(QWidget* parent, Handlers handlers);

 protected:
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;

 private:
  Handlers handlers_;
};

// The face button: a picture that starts a new game when clicked. A double
// click is one click: its second press is not a press of its own.
class FaceButton : public PictureSurface {
 public:
  FaceButton(QWidget* parent, std::function<void()> clicked);

 protected:
  void mousePressEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;

 private:
  std::function<void()> clicked_;
  bool pressed_ = false;
};

}  // namespace porteka
