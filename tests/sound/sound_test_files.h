#pragma once

// Reading the committed sounds and other files in the sound tests.

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace porteka::test {

inline std::vector<uint8_t> ReadBytes(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

inline std::vector<uint8_t> ReadAsset(const std::string& name) {
  return ReadBytes(std::filesystem::path(PORTEKA_ASSETS_DIR) / name);
}

}  // namespace porteka::test
