#pragma once

#include <QPoint>
#include <QRect>

class QWidget;

namespace porteka {

// Where a window's frame goes on a screen's free area: moved as little as it
// takes to lie wholly inside, and where it is too big for that, with its
// top-left corner on the area, so its title bar and menus stay in reach.
QPoint KeptWithin(const QRect& frame, const QRect& area);

// Places a top-level window on its screen: centred (at start-up, before it is
// first shown) or kept within the free area (after a level change resized it).
// All placing of the main window goes through here, so a platform where a
// window cannot place itself can leave this out.
void PlaceOnScreen(QWidget* window, bool centre);

// Centres a dialog over its owner, or on the screen while the owner is hidden
// (the title card at start-up comes before the main window), and keeps it
// within the screen's free area.
void CentreOverOwner(QWidget* window, QWidget* owner);

}  // namespace porteka
