#include "input/virtual_keys.h"

#include <Qt>

#include "input/keyboard.h"
#include "input/mouse.h"

namespace porteka {

int16_t VirtualKeyCode(int qtKey) {
  switch (qtKey) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
      return kKeyEnter;
    case Qt::Key_Escape:
      return kKeyEscape;
    case Qt::Key_Space:
      return kKeySpace;
    case Qt::Key_A:
      return kKeyA;
    case Qt::Key_C:
      return kKeyC;
    case Qt::Key_X:
      return kKeyX;
    case Qt::Key_Z:
      return kKeyZ;
    case Qt::Key_Left:
      return kKeyLeft;
    case Qt::Key_Up:
      return kKeyUp;
    case Qt::Key_Right:
      return kKeyRight;
    case Qt::Key_Down:
      return kKeyDown;
    default:
      return 0;
  }
}

int16_t ShiftSum(Qt::KeyboardModifiers modifiers) {
  int16_t sum = 0;
  if (modifiers & Qt::ShiftModifier) sum |= 1;
  if (modifiers & Qt::ControlModifier) sum |= 2;
  if (modifiers & Qt::AltModifier) sum |= 4;
  return sum;
}

int16_t ButtonSum(Qt::MouseButtons buttons) {
  int16_t sum = 0;
  if (buttons & Qt::LeftButton) sum |= kLeftButton;
  if (buttons & Qt::RightButton) sum |= kRightButton;
  if (buttons & Qt::MiddleButton) sum |= kMiddleButton;
  return sum;
}

}  // namespace porteka
