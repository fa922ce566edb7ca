// What a control is to a screen reader: the role it announces. A control
// with no role is left out of its window's accessible children (pictures
// that only decorate, a label that only stores a value). Kept free of the
// platform's headers, so that every control can name its role.
#pragma once

#include <cstdint>

namespace ui {

enum TAccessibleRole : std::uint8_t {
  arNone,
  arPushButton,
  arLink,
  arStaticText,
  arProgressBar,
};

// What changed about a control, for the clients that listen (the
// platform's accessibility events).
enum class TAccessibleChange : std::uint8_t {
  kName,
  kValue,
  kState,
  kShown,
  kHidden,
  kFocus,
};

}  // namespace ui
