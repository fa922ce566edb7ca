// The system's drop-down list: its item texts, kept here and mirrored into
// the window while it exists.
#pragma once

#include <string>
#include <vector>

#include "ui/WinControl.h"

namespace ui {

class TComboBox : public TWinControl {
 public:
  explicit TComboBox(TComponent* owner = nullptr);
  std::wstring_view ClassName() const override { return L"TComboBox"; }

  int ItemCount() const { return static_cast<int>(items_.size()); }
  const std::wstring& Item(int index) const { return items_.at(index); }
  void SetItem(int index, const std::wstring& text);
  void AddItem(const std::wstring& text);
  int ItemIndex() const;
  void SetItemIndex(int index);

 protected:
  void CreateParams(TCreateParams& params) override;
  void HandleCreated() override;

 private:
  void AppendToWindow(const std::wstring& text);

  std::vector<std::wstring> items_;
  int itemIndex_ = -1;
};

}  // namespace ui
