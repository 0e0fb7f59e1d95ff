#include <QApplication>
#include <cstdio>
#include <cstdlib>
#include <dlfcn.h>

#include "dialogs/fonts.h"
#include "game/close_on_signals.h"
#include "game/form1.h"

namespace {

// Qt aborts when it cannot reach a display; say so plainly and fail instead.
// The X server is asked through libxcb, which Qt's own X plugin loads anyway.
const char* DisplayProblem() {
  const char* platform = std::getenv("QT_QPA_PLATFORM");
  if (platform != nullptr && *platform != '\0' && std::string_view(platform).rfind("xcb", 0) != 0) {
    return nullptr;  // offscreen, wayland, vnc...: Qt knows best
  }
  // The game is built with Qt's X plugin only; a Wayland session serves it
  // through Xwayland, which sets DISPLAY.
  const char* display = std::getenv("DISPLAY");
  if (display == nullptr || *display == '\0') return "DISPLAY is not set";

  void* xcb = dlopen("libxcb.so.1", RTLD_NOW | RTLD_LOCAL);
  if (xcb == nullptr) return nullptr;
  using Connect = void* (*)(const char*, int*);
  using HasError = int (*)(void*);
  using Disconnect = void (*)(void*);
  auto connect = reinterpret_cast<Connect>(dlsym(xcb, "xcb_connect"));
  auto hasError = reinterpret_cast<HasError>(dlsym(xcb, "xcb_connection_has_error"));
  auto disconnect = reinterpret_cast<Disconnect>(dlsym(xcb, "xcb_disconnect"));
  const char* problem = nullptr;
  if (connect != nullptr && hasError != nullptr && disconnect != nullptr) {
    void* connection = connect(nullptr, nullptr);
    if (hasError(connection) != 0) problem = "cannot connect to the X server named by DISPLAY";
    disconnect(connection);
  }
  dlclose(xcb);
  return problem;
}

}  // namespace

int main(int argc, char** argv) {
  if (const char* problem = DisplayProblem()) {
    std::fprintf(stderr, "no display: %s; start the game from a desktop session\n", problem);
    return 1;
  }
  // A frame changes a few small rectangles 30 times a second. Sent through the
  // socket they cost the game a quarter less than through shared memory, which
  // waits on the X server after every frame.
  if (!qEnvironmentVariableIsSet("QT_XCB_NO_MITSHM")) qputenv("QT_XCB_NO_MITSHM", "1");
  // Whole-number scale factors only: the 16-pixel sprites then grow by whole
  // pixels and stay sharp, where 1.5 would smear or stagger them.
  QGuiApplication::setHighDpiScaleFactorRoundingPolicy(Qt::HighDpiScaleFactorRoundingPolicy::Round);
  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("porteka"));
  porteka::InstallFontSubstitutes();

  porteka::Form1 form1;
  const porteka::CloseOnSignals closeOnSignals(form1);
  form1.Form_Load();
  return 0;
}
