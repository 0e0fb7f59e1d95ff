#pragma once

#include <dlfcn.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <string_view>

namespace porteka::scratch {

// A fresh directory under the system's temporary folder, removed afterwards;
// the tests never touch the working directory or the source tree.
class TempDir {
 public:
  TempDir() {
    std::string pattern = (std::filesystem::temp_directory_path() / "porteka-records-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) std::abort();
    path_ = pattern;
  }
  ~TempDir() {
    // Tests make directories read-only; give them back before removing.
    namespace fs = std::filesystem;
    std::error_code error;
    for (const auto& entry : fs::recursive_directory_iterator(path_, error)) {
      if (entry.is_directory(error) && !entry.is_symlink(error)) {
        fs::permissions(entry.path(), fs::perms::owner_all, fs::perm_options::add, error);
      }
    }
    fs::remove_all(path_, error);
  }
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  const std::filesystem::path& path() const { return path_; }
  std::filesystem::path File() const { return path_ / "GoodTime.dat"; }

 private:
  std::filesystem::path path_;
};

inline void WriteBytes(const std::filesystem::path& file, std::string_view bytes) {
  std::ofstream(file, std::ios::binary | std::ios::trunc).write(bytes.data(), std::streamsize(bytes.size()));
}

inline std::string ReadBytes(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// How many names the directory holds, to catch a temporary file left behind.
inline long CountEntries(const std::filesystem::path& directory) {
  return std::distance(std::filesystem::directory_iterator(directory), std::filesystem::directory_iterator());
}

// The C library's own function, for a test program that stands in for it.
template <typename Function>
Function* NextSymbol(const char* name) {
  Function* real = nullptr;
  void* symbol = ::dlsym(RTLD_NEXT, name);
  std::memcpy(&real, &symbol, sizeof real);
  return real;
}

}  // namespace porteka::scratch
