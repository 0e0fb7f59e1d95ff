#pragma once

#include <string>

namespace porteka {

// Qt aborts, core and all, when the platform plugin it is asked for is not
// installed. Where QT_QPA_PLATFORM names only such plugins, point Qt at X
// instead and say so in one line on stderr, naming what asked for them
// (QT_QPA_PLATFORM, or -platform on the command line).
void FallBackToXForMissingPlugins(const char* askedBy);

// Qt also aborts when it cannot reach the display it starts on. Empty when the
// display can be reached, else the reason in plain words. With nothing asked
// for and no DISPLAY, a Wayland compositor that answers is taken instead.
std::string DisplayProblem();

}  // namespace porteka
