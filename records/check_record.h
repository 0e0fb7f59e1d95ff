#pragma once

#include <cstdint>
#include <filesystem>
#include <string>

#include "game/game.h"

namespace porteka {

// The records check after a win on a fixed level (`gameLevel` 0, 1 or 2): true
// when `elapsedTime` beats the stored time strictly and the record can be
// saved, so the new-record dialog must open; a record that cannot be saved is
// not asked for. A missing file is created with the default records. A damaged
// one is first kept as "<file>.bak1" beside the name the game was given (a link
// there is replaced, never followed), the older backups moving up to ".bak5",
// and then replaced. Writing is tried once: when it fails (an unwritable
// directory, a full disk) the answer is simply false and the game goes on. Any
// other level reads and writes nothing.
bool CheckRecord(const std::filesystem::path& file, Level gameLevel, int32_t elapsedTime);

// Puts `name` (UTF-8, as typed) and `elapsedTime` in the line of `gameLevel` and
// keeps the other two records. A file that has gone missing or was damaged
// meanwhile is treated as the check treats it, so a complete three-line file
// with the new record is still left behind. Failures are silent.
void SaveRecord(const std::filesystem::path& file, Level gameLevel, const std::string& name,
                int32_t elapsedTime);

}  // namespace porteka
