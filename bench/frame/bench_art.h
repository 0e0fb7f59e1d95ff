#pragma once

#include <optional>
#include <string_view>

#include "render/board_painter.h"

namespace porteka::bench {

// The committed art under assets/, read with QImage; nothing when a sheet is
// missing or has the wrong size.
std::optional<SpriteSheets> RealSheets();

// Sheets by name: "real", or the tests' stand-in art of about the same density.
std::optional<SpriteSheets> SheetsNamed(std::string_view name);

}  // namespace porteka::bench
