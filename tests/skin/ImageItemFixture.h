// Placing a picture item in one call, for the tests.
#pragma once

#include "skin/ImageItem.h"

namespace skintest {

inline void Place(skin::TImageItem& item, int left, int top, int width, int height) {
  item.SetLeft(left);
  item.SetTop(top);
  item.SetWidth(width);
  item.SetHeight(height);
}

}  // namespace skintest
