// Showing a picture drawn for one scale at another size, for a screen whose
// resolution has no set of pictures of its own (a scale between two sets
// uses the larger one, made smaller). Each new pixel is the mean of the area
// of the picture it covers, pixels partly covered counting by their share:
// a smooth, even result with no pixel dropped or doubled. The pixels are
// premultiplied, so see-through edges do not darken. Free of <windows.h>.
#pragma once

#include "ui/PngImage.h"

namespace ui {

// The image at width x height (both at least 1); the same image when its
// size is that already.
TPngImage ResampleImage(const TPngImage& image, int width, int height);

}  // namespace ui
