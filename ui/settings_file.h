#pragma once

#include <filesystem>

namespace porteka {

// The player's one setting, the zoom, lives in
// $XDG_CONFIG_HOME/porteka/porteka.conf (by default ~/.config/porteka/) as a
// line "zoom=K", K from 1 to 4. Losing the file costs only the setting.

// Where the settings file is; empty where there is no home to keep it in.
std::filesystem::path SettingsFilePath();

// The zoom kept in the file: 1 when the file is missing, damaged or unreadable.
int ReadZoomSetting(const std::filesystem::path& file);

// Keeps the zoom in the file, making its folder where needed; false when it
// cannot, and then nothing else is lost.
bool SaveZoomSetting(const std::filesystem::path& file, int zoom);

}  // namespace porteka
