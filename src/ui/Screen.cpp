#include "ui/Screen.h"

#include <map>

namespace ui {

namespace {

std::map<TCursor, HCURSOR>& CursorTable() {
  static std::map<TCursor, HCURSOR> table;
  return table;
}

// The built-in ids and the system cursors they start as.
LPCWSTR SystemCursorFor(TCursor id) {
  switch (id) {
    case crArrow:
    case crDefault:
      return IDC_ARROW;
    case crCross:
      return IDC_CROSS;
    case crIBeam:
      return IDC_IBEAM;
    case crSizeNESW:
      return IDC_SIZENESW;
    case crSizeNS:
      return IDC_SIZENS;
    case crSizeNWSE:
      return IDC_SIZENWSE;
    case crSizeWE:
      return IDC_SIZEWE;
    case crHourGlass:
      return IDC_WAIT;
    case crNo:
      return IDC_NO;
    case crHandPoint:
      return IDC_HAND;
    case crSizeAll:
      return IDC_SIZEALL;
    default:
      return nullptr;
  }
}

}  // namespace

HCURSOR ScreenCursor(TCursor id) {
  auto& table = CursorTable();
  if (auto it = table.find(id); it != table.end()) return it->second;
  if (id == crNone) return nullptr;
  LPCWSTR system = SystemCursorFor(id);
  return LoadCursorW(nullptr, system != nullptr ? system : IDC_ARROW);
}

void SetScreenCursor(TCursor id, HCURSOR cursor) {
  CursorTable()[id] = cursor;
}

}  // namespace ui
