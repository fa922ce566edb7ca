// One entry of a menu: its caption and its click. Menus are not shown by
// this tool's windows; the entry exists so that layouts and translations
// can name it.
#pragma once

#include <string>

#include "ui/Component.h"
#include "ui/Control.h"

namespace ui {

class TMenuItem : public TComponent {
 public:
  explicit TMenuItem(TComponent* owner = nullptr) : TComponent(owner) {}
  std::wstring_view ClassName() const override { return L"TMenuItem"; }

  const std::wstring& Caption() const { return caption_; }
  void SetCaption(const std::wstring& caption) { caption_ = caption; }

  TNotifyEvent OnClick;

 private:
  std::wstring caption_;
};

}  // namespace ui
