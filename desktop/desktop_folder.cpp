#include "desktop/desktop_folder.h"

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace porteka {
namespace {

// Relative paths in these variables are to be ignored, as the XDG base
// directory rules ask; without HOME the password database still knows it.
std::string HomeFolder() {
  const char* home = std::getenv("HOME");
  if (home != nullptr && home[0] == '/') return home;
  const passwd* entry = getpwuid(getuid());
  return entry != nullptr && entry->pw_dir != nullptr && entry->pw_dir[0] == '/' ? entry->pw_dir : "";
}

std::string DataFolder() {
  const char* dataHome = std::getenv("XDG_DATA_HOME");
  if (dataHome != nullptr && dataHome[0] == '/') return std::string(dataHome) + "/porteka";
  const std::string home = HomeFolder();
  return home.empty() ? home : home + "/.local/share/porteka";
}

// Every missing folder on the way, private to the user as the XDG rules ask.
bool MakeFolders(const std::string& path) {
  for (size_t slash = path.find('/', 1);; slash = path.find('/', slash + 1)) {
    const std::string part = path.substr(0, slash);
    if (mkdir(part.c_str(), 0700) != 0 && errno != EEXIST) return false;
    if (slash == std::string::npos) return true;
  }
}

}  // namespace

void EnterDesktopFolder() {
  const std::string folder = DataFolder();
  const char* problem = folder.empty() ? "no home folder is known" : nullptr;
  if (problem == nullptr && (!MakeFolders(folder) || chdir(folder.c_str()) != 0)) problem = std::strerror(errno);
  if (problem != nullptr) {
    std::fprintf(stderr, "porteka: cannot use the records folder %s (%s); records stay in the working directory\n",
                 folder.c_str(), problem);
  }
}

}  // namespace porteka
