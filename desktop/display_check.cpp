#include "desktop/display_check.h"

#include <QDir>
#include <QJsonArray>
#include <QJsonObject>
#include <QLibrary>
#include <QLibraryInfo>
#include <QPluginLoader>
#include <cstdio>
#include <cstdlib>
#include <dlfcn.h>

namespace porteka {
namespace {

bool IsSet(const char* name) {
  const char* value = std::getenv(name);
  return value != nullptr && *value != '\0';
}

// The display libraries are asked directly, the same ones Qt's plugins load
// anyway; where one is missing, its plugin cannot start either and Qt speaks.
class Library {
 public:
  explicit Library(const char* name) : handle_(dlopen(name, RTLD_NOW | RTLD_LOCAL)) {}
  ~Library() {
    if (handle_ != nullptr) dlclose(handle_);
  }
  Library(const Library&) = delete;
  Library& operator=(const Library&) = delete;

  template <typename Function>
  Function Get(const char* symbol) const {
    return handle_ == nullptr ? nullptr : reinterpret_cast<Function>(dlsym(handle_, symbol));
  }

 private:
  void* handle_;
};

// Reads the keys out of each plugin's metadata without loading the plugin.
bool PlatformPluginInstalled(const QString& key) {
  QStringList dirs = qEnvironmentVariable("QT_QPA_PLATFORM_PLUGIN_PATH").split(':', Qt::SkipEmptyParts);
  for (const QString& path : qEnvironmentVariable("QT_PLUGIN_PATH").split(':', Qt::SkipEmptyParts)) {
    dirs << path + QStringLiteral("/platforms");
  }
  dirs << QLibraryInfo::path(QLibraryInfo::PluginsPath) + QStringLiteral("/platforms");
  for (const QString& dir : dirs) {
    for (const QFileInfo& file : QDir(dir).entryInfoList(QDir::Files)) {
      if (!QLibrary::isLibrary(file.fileName())) continue;
      const QJsonObject metaData = QPluginLoader(file.filePath()).metaData().value(QStringLiteral("MetaData")).toObject();
      for (const QJsonValue& pluginKey : metaData.value(QStringLiteral("Keys")).toArray()) {
        if (pluginKey.toString().compare(key, Qt::CaseInsensitive) == 0) return true;
      }
    }
  }
  return false;
}

std::string XProblem() {
  if (!IsSet("DISPLAY")) return "DISPLAY is not set";
  Library xcb("libxcb.so.1");
  auto connect = xcb.Get<void* (*)(const char*, int*)>("xcb_connect");
  auto hasError = xcb.Get<int (*)(void*)>("xcb_connection_has_error");
  auto getSetup = xcb.Get<const void* (*)(void*)>("xcb_get_setup");
  auto rootCount = xcb.Get<int (*)(const void*)>("xcb_setup_roots_length");
  auto disconnect = xcb.Get<void (*)(void*)>("xcb_disconnect");
  if (!connect || !hasError || !getSetup || !rootCount || !disconnect) return {};
  int screen = 0;
  void* connection = connect(nullptr, &screen);
  // DISPLAY=:0.7 reaches the server, and Qt then aborts on the missing screen.
  // Newer libxcb refuses the connection for it (error 6), older ones do not.
  constexpr int kInvalidScreen = 6;
  const int error = hasError(connection);
  std::string problem;
  if (error == kInvalidScreen || (error == 0 && screen >= rootCount(getSetup(connection)))) {
    problem = "the X server named by DISPLAY has no screen " + std::to_string(screen);
  } else if (error != 0) {
    problem = "cannot connect to the X server named by DISPLAY";
  }
  disconnect(connection);
  return problem;
}

std::string WaylandProblem() {
  // A socket handed down is the compositor's; connecting here would use it up.
  if (IsSet("WAYLAND_SOCKET")) return {};
  const char* name = std::getenv("WAYLAND_DISPLAY");
  if ((name == nullptr || *name != '/') && !IsSet("XDG_RUNTIME_DIR")) return "XDG_RUNTIME_DIR is not set";
  Library wayland("libwayland-client.so.0");
  auto connect = wayland.Get<void* (*)(const char*)>("wl_display_connect");
  auto disconnect = wayland.Get<void (*)(void*)>("wl_display_disconnect");
  if (!connect || !disconnect) return "cannot load the Wayland client library";
  void* connection = connect(nullptr);
  if (connection == nullptr) return "no Wayland compositor answers at WAYLAND_DISPLAY";
  disconnect(connection);
  return {};
}

}  // namespace

void FallBackToXForMissingPlugins(const char* askedBy) {
  const QString asked = qEnvironmentVariable("QT_QPA_PLATFORM");
  if (asked.isEmpty()) return;
  // "wayland;xcb" asks for the first that starts; "vnc:size=800x600" passes options.
  for (const QString& entry : asked.split(';', Qt::SkipEmptyParts)) {
    if (PlatformPluginInstalled(entry.section(':', 0, 0))) return;
  }
  std::fprintf(stderr, "porteka: Qt has no platform plugin for %s%s; using X instead\n", askedBy,
               qPrintable(asked));
  qputenv("QT_QPA_PLATFORM", "xcb");
}

std::string DisplayProblem() {
  const QString platform = qEnvironmentVariable("QT_QPA_PLATFORM").section(';', 0, 0).section(':', 0, 0);
  if (platform.startsWith(QStringLiteral("wayland"))) return WaylandProblem();
  if (!platform.isEmpty() && !platform.startsWith(QStringLiteral("xcb"))) return {};  // offscreen, vnc...
  // Nothing asked for: X where DISPLAY is set (Xwayland sets it in a Wayland
  // session), else a Wayland compositor that answers.
  if (platform.isEmpty() && !IsSet("DISPLAY") && (IsSet("WAYLAND_DISPLAY") || IsSet("WAYLAND_SOCKET"))) {
    std::string problem = WaylandProblem();
    if (problem.empty()) qputenv("QT_QPA_PLATFORM", "wayland");
    return problem.empty() ? problem : "DISPLAY is not set and " + problem;
  }
  return XProblem();
}

}  // namespace porteka
