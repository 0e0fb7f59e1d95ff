#pragma once

#include <filesystem>
#include <string_view>

namespace porteka {

// Replaces a file as a whole or not at all: the new bytes go to a temporary
// file beside it, are flushed to the disk, and only then is that renamed over
// the old one. A crash, a kill or a full disk leaves either the old file or
// the new one, never a half-written or empty one. On failure the temporary
// file is removed and false is returned; nothing is reported.
bool WriteFileAtomically(const std::filesystem::path& file, std::string_view bytes);

// The same, with a copy of another file's bytes as the new contents. False when
// `from` is not a regular file that can be read.
bool CopyFileAtomically(const std::filesystem::path& from, const std::filesystem::path& to);

}  // namespace porteka
