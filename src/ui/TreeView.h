// The system's tree: node texts kept here in their flat order (each node
// followed by its descendants) and mirrored into the window while it exists.
#pragma once

#include <windows.h>

#include <commctrl.h>

#include <string>
#include <vector>

#include "ui/WinControl.h"

namespace ui {

class TTreeView : public TWinControl {
 public:
  explicit TTreeView(TComponent* owner = nullptr);
  std::wstring_view ClassName() const override { return L"TTreeView"; }

  int NodeCount() const { return static_cast<int>(nodes_.size()); }
  const std::wstring& NodeText(int index) const { return nodes_.at(index).text; }
  void SetNodeText(int index, const std::wstring& text);
  int NodeLevel(int index) const { return nodes_.at(index).level; }
  // Appends a node as the last child of `parent` (-1: a root node) and
  // returns its flat index.
  int AddNode(int parent, const std::wstring& text);

 protected:
  void CreateParams(TCreateParams& params) override;
  void HandleCreated() override;

 private:
  struct Node {
    std::wstring text;
    int level = 0;
    HTREEITEM item = nullptr;
  };
  HTREEITEM InsertIntoWindow(int index);

  std::vector<Node> nodes_;
};

}  // namespace ui
