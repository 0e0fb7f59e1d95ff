#include <QApplication>
#include <cstdio>
#include <new>
#include <optional>
#include <string>
#include <vector>

#include "desktop/close_on_signals.h"
#include "desktop/command_line.h"
#include "desktop/desktop_folder.h"
#include "desktop/display_check.h"
#include "game/form1.h"
#include "desktop/out_of_memory.h"
#include "runs/run_check.h"
#include "ui/settings_file.h"

int main(int argc, char** argv) {
  porteka::CommandLine commandLine;
  if (const std::optional<int> status = porteka::ReadCommandLine(argc, argv, commandLine)) return *status;
  // A run that cannot be played is refused before any window opens, as the replay tool refuses it.
  std::optional<std::string> run;
  if (commandLine.watchFile) {
    std::string error;
    run = porteka::ReadRunToWatch(*commandLine.watchFile, error);
    if (!run) {
      std::fprintf(stderr, "scenario error: %s\n", error.c_str());
      return 2;
    }
  }
  porteka::FallBackToXForMissingPlugins(commandLine.platformOption ? "-platform " : "QT_QPA_PLATFORM=");
  // Qt aborts when it cannot reach a display; say so plainly and fail instead.
  if (const std::string problem = porteka::DisplayProblem(); !problem.empty()) {
    std::fprintf(stderr, "no display: %s; start the game from a desktop session\n", problem.c_str());
    return 1;
  }
  if (commandLine.desktop) porteka::EnterDesktopFolder();
  // A frame changes a few small rectangles 30 times a second. Sent through the
  // socket they cost the game a quarter less than through shared memory, which
  // waits on the X server after every frame.
  if (!qEnvironmentVariableIsSet("QT_XCB_NO_MITSHM")) qputenv("QT_XCB_NO_MITSHM", "1");
  // Whole-number scale factors only: the 16-pixel sprites then grow by whole
  // pixels and stay sharp, where 1.5 would smear or stagger them.
  QGuiApplication::setHighDpiScaleFactorRoundingPolicy(Qt::HighDpiScaleFactorRoundingPolicy::Round);
  porteka::KeepMemoryReserve();
  std::vector<char*> qtArgv;
  for (std::string& argument : commandLine.qtArguments) qtArgv.push_back(argument.data());
  qtArgv.push_back(nullptr);
  int qtArgc = static_cast<int>(qtArgv.size()) - 1;
  try {
    porteka::GameApplication app(qtArgc, qtArgv.data());
    QApplication::setApplicationName(QStringLiteral("porteka"));
    // On Wayland the compositor finds the window's icon and name through this.
    QGuiApplication::setDesktopFileName(QStringLiteral("porteka"));

    porteka::Form1 form1;
    // The zoom the player chose last time, before any window is shown.
    form1.UseSettingsFile(porteka::SettingsFilePath());
    const porteka::CloseOnSignals closeOnSignals(form1);
    if (run) {
      form1.StartUp();
      form1.WatchRun(*run);
      form1.MainLoop();
    } else {
      form1.Form_Load();
    }
  } catch (const std::bad_alloc&) {
    // The frame loop runs outside any event handler, so its failures end here.
    porteka::EndForLackOfMemory();
  }
  return 0;
}
