// A button of a tool bar: a window-less control with a caption and a click.
#pragma once

#include "ui/CaptionButton.h"

namespace ui {

class TToolButton : public TCaptionButton {
 public:
  explicit TToolButton(TComponent* owner = nullptr) : TCaptionButton(owner) {}
  std::wstring_view ClassName() const override { return L"TToolButton"; }
};

}  // namespace ui
