#include <QApplication>
#include <cstdio>
#include <cstring>

#include "game/close_on_signals.h"
#include "game/desktop_folder.h"
#include "game/display_check.h"
#include "game/form1.h"
#include "ui/settings_file.h"

namespace {

// --desktop, given by the desktop entry, is the game's one option; it is taken
// out of the arguments before Qt reads its own.
bool TakeDesktopOption(int& argc, char** argv) {
  bool found = false;
  int kept = 1;
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--desktop") == 0) {
      found = true;
    } else {
      argv[kept++] = argv[i];
    }
  }
  argc = kept;
  argv[argc] = nullptr;
  return found;
}

}  // namespace

int main(int argc, char** argv) {
  porteka::FallBackToXForMissingPlugins();
  // Qt aborts when it cannot reach a display; say so plainly and fail instead.
  if (const std::string problem = porteka::DisplayProblem(); !problem.empty()) {
    std::fprintf(stderr, "no display: %s; start the game from a desktop session\n", problem.c_str());
    return 1;
  }
  if (TakeDesktopOption(argc, argv)) porteka::EnterDesktopFolder();
  // A frame changes a few small rectangles 30 times a second. Sent through the
  // socket they cost the game a quarter less than through shared memory, which
  // waits on the X server after every frame.
  if (!qEnvironmentVariableIsSet("QT_XCB_NO_MITSHM")) qputenv("QT_XCB_NO_MITSHM", "1");
  // Whole-number scale factors only: the 16-pixel sprites then grow by whole
  // pixels and stay sharp, where 1.5 would smear or stagger them.
  QGuiApplication::setHighDpiScaleFactorRoundingPolicy(Qt::HighDpiScaleFactorRoundingPolicy::Round);
  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("porteka"));
  // On Wayland the compositor finds the window's icon and name through this.
  QGuiApplication::setDesktopFileName(QStringLiteral("porteka"));

  porteka::Form1 form1;
  // The zoom the player chose last time, before any window is shown.
  form1.UseSettingsFile(porteka::SettingsFilePath());
  const porteka::CloseOnSignals closeOnSignals(form1);
  form1.Form_Load();
  return 0;
}
