#pragma once

namespace porteka {

// Every window can be shown larger by a whole factor: each pixel of the art a
// k x k block, the dialogs laid out at k times their twips and fonts.
inline constexpr int kMinZoom = 1;
inline constexpr int kMaxZoom = 4;

// The factor the windows are shown at now. The main window sets it; the
// dialogs and the fonts read it as they lay themselves out.
int Zoom();
// Clamped to kMinZoom to kMaxZoom.
void SetZoom(int zoom);

}  // namespace porteka
