// A flat window-less button with a caption and a click.
#pragma once

#include "ui/CaptionButton.h"

namespace ui {

class TSpeedButton : public TCaptionButton {
 public:
  explicit TSpeedButton(TComponent* owner = nullptr) : TCaptionButton(owner) {}
  std::wstring_view ClassName() const override { return L"TSpeedButton"; }
};

}  // namespace ui
