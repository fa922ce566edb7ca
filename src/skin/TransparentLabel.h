// The label the skinned windows use in place of the standard one, under
// the same class name: it starts transparent, so the window's background
// pictures show around and between the letters without every label saying
// so. A layout may still make it opaque.
#pragma once

#include "ui/Label.h"

namespace skin {

class TLabel : public ui::TLabel {
 public:
  explicit TLabel(ui::TComponent* owner = nullptr) : ui::TLabel(owner) {
    // Not through SetTransparent: nothing is painted yet to be repainted.
    SetControlStyle(ControlStyle() & ~ui::csOpaque);
  }
};

}  // namespace skin
