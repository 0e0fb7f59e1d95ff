#pragma once

#include <cstdint>
#include <filesystem>
#include <string>

#include "game/game.h"
#include "records/player_file.h"

namespace porteka {

// The records check after a win on a fixed level (`gameLevel` 0, 1 or 2): true
// when `elapsedTime` beats the stored time strictly and the record can be
// saved, so the new-record dialog must open; a record that cannot be saved is
// not asked for. It reads without waiting for any lock, so the win never
// stalls behind another game's save. A missing file is created with the
// default records and a damaged one set aside (see UpdatePlayerFile) and
// replaced by them, at once when no other game is writing, otherwise by the
// save that follows; the time is then measured against the default. Any
// other level reads and writes nothing.
bool CheckRecord(const std::filesystem::path& file, Level gameLevel, int32_t elapsedTime);

// Puts `name` (UTF-8, as typed) and `elapsedTime` in the line of `gameLevel` and
// keeps the other two records, provided the time still beats the one the
// file holds now: another game may have saved a better one since the check.
// A file that has gone missing or was damaged meanwhile is mended first, so a
// complete three-line file is left behind. May wait a second for another
// game's lock: call it off the thread that draws. kUnchanged: no longer a
// record.
WriteResult SaveRecord(const std::filesystem::path& file, Level gameLevel, const std::string& name,
                       int32_t elapsedTime);

}  // namespace porteka
