#pragma once

#include <optional>
#include <string>
#include <vector>

namespace porteka {

// What the command line asks for. A new option of the game is a field here and
// a row in kGameOptions (command_line.cpp).
struct CommandLine {
  // --desktop: the records live in the desktop's data folder.
  bool desktop = false;
  // --watch FILE: the game opens playing this run.
  std::optional<std::string> watchFile;
  // -platform NAME was given; it then stands in QT_QPA_PLATFORM.
  bool platformOption = false;
  // For QApplication: the program's name, then Qt's own options in the form Qt reads them.
  std::vector<std::string> qtArguments;
};

// Reads the command line, before anything needs a display. --help and
// --version print on stdout; an option the game does not know, or any other
// argument, prints what is wrong and the usage on stderr. Either way the exit
// status comes back and the game does not start. Qt's own options are handed
// on, except the two that choose the display, -platform and -display: they set
// QT_QPA_PLATFORM and DISPLAY, which the start-up checks then vet.
std::optional<int> ReadCommandLine(int argc, char** argv, CommandLine& line);

}  // namespace porteka
