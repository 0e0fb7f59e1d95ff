// Writes the game's three sounds as RIFF WAVE files into the folder given
// (the committed copies live in assets/): make_sounds <folder>

#include <cstdio>
#include <filesystem>
#include <fstream>

#include "sound/wave_image.h"
#include "tools/sounds/sound_recipes.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s <output folder>\n", argv[0]);
    return 2;
  }
  const std::filesystem::path folder = argv[1];
  for (const porteka::GeneratedSound& sound :
       {porteka::MakeOpenSound(), porteka::MakeExplosionSound(), porteka::MakeMarkSound()}) {
    const std::vector<uint8_t> image = porteka::WriteWaveImage(sound.format, sound.samples);
    const std::filesystem::path path = folder / sound.fileName;
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(image.data()), static_cast<std::streamsize>(image.size()));
    out.close();
    if (!out) {
      std::fprintf(stderr, "cannot write %s\n", path.c_str());
      return 1;
    }
  }
  return 0;
}
