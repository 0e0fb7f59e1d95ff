#pragma once

#include <optional>
#include <string_view>

#include "render/board_painter.h"

namespace porteka::bench {

// The committed art under assets/, read with QImage; nothing when a sheet is
// missing or has the wrong size.
std::optional<SpriteSheets> RealSheets();

// Stand-in art of about the same density: a filled disc that grows or shrinks
// from frame to frame with sparse sparks around it, on black.
SpriteSheets SyntheticSheets();

// Sheets by name: "real" or "synthetic".
std::optional<SpriteSheets> SheetsNamed(std::string_view name);

}  // namespace porteka::bench
