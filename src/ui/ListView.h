// The system's list in report view: its column headers, kept here and
// mirrored into the window while it exists.
#pragma once

#include <string>
#include <vector>

#include "ui/WinControl.h"

namespace ui {

class TListView : public TWinControl {
 public:
  explicit TListView(TComponent* owner = nullptr);
  std::wstring_view ClassName() const override { return L"TListView"; }

  int ColumnCount() const { return static_cast<int>(columns_.size()); }
  const std::wstring& ColumnCaption(int index) const { return columns_.at(index).caption; }
  void SetColumnCaption(int index, const std::wstring& caption);
  void AddColumn(const std::wstring& caption, int width);

 protected:
  void CreateParams(TCreateParams& params) override;
  void HandleCreated() override;

 private:
  struct Column {
    std::wstring caption;
    int width = 50;
  };
  void InsertIntoWindow(int index);

  std::vector<Column> columns_;
};

}  // namespace ui
