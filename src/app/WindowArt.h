// The main window's pictures: drawn for five scales (100, 125, 150, 175 and
// 200 %, the screen resolutions 96, 120, 144, 168 and 192 dpi) by the art
// script (src/app/art/render.py) and compiled into the program as
// resources, one resource type per set ("ART96", "ART120", ...) and one
// resource per picture, named as the layout names it. A screen between two
// sets gets the larger set's picture made smaller to the size the layout
// has there; beyond the largest, that one made larger. Only the pictures
// of the set the window asks for are ever read.
#pragma once

#include <span>
#include <string>

#include "ui/Picture.h"

namespace app {

// The resolutions the sets are drawn for, smallest first.
inline constexpr int kArtSetDpis[] = {96, 120, 144, 168, 192};

// The set a screen of `dpi` uses: the smallest at least as fine, else the
// finest there is.
int ArtSetFor(int dpi, std::span<const int> sets = kArtSetDpis);

// The picture `name` for a screen of `dpi`; throws ui::EInvalidGraphic when
// the program has no such picture.
ui::TPicture WindowArtPicture(const std::wstring& name, int dpi);

}  // namespace app
