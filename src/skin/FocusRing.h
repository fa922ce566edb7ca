// The skin's keyboard focus cue: a pale ring with round, anti-aliased
// corners, in the light blue of the skin's button captions, so that it
// reads on the dark window background as on the buttons' own blue. It is
// computed, not drawn from a picture, so that it stays sharp whatever the
// size of the control it surrounds; straight edges fall on whole pixels.
#pragma once

#include "ui/Picture.h"
#include "ui/Types.h"

namespace ui {
class TCanvas;
}

namespace skin {

// The ring's colour: the Generate caption's light blue.
inline constexpr ui::TColor kFocusRingColor = 0x00FFE7B3;
// Two pixels: one would vanish against the buttons' one-pixel borders.
inline constexpr int kFocusRingThickness = 2;
// How far a ring drawn around a control reaches beyond it: one pixel of
// background between the control's edge and the ring, then the ring.
inline constexpr int kFocusRingGap = 1;
inline constexpr int kFocusRingReach = kFocusRingGap + kFocusRingThickness;

// A ring `thickness` pixels wide whose outer edge is the picture's edge,
// with corners of `radius` pixels; transparent inside and outside.
ui::TPicture FocusRingPicture(int width, int height, int radius, int thickness, ui::TColor color);

// Draws the skin's ring with its outer edge on `outer` (canvas
// coordinates), corners of `radius` and `thickness` pixels wide (the
// ring's own at 96 dpi; a control drawn for another resolution scales it).
void PaintFocusRing(ui::TCanvas& canvas, const ui::TRect& outer, int radius,
                    int thickness = kFocusRingThickness);

}  // namespace skin
