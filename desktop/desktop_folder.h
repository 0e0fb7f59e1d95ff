#pragma once

namespace porteka {

// The desktop entry starts the game with --desktop, usually in the home
// folder. The records file lives in the working directory, so such a start
// moves into a folder of the game's own: $XDG_DATA_HOME/porteka, by default
// ~/.local/share/porteka, made on first start. Where that cannot be done the
// game says so in one line on stderr and stays where it was started.
void EnterDesktopFolder();

}  // namespace porteka
