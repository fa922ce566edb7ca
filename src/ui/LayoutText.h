// The window layout's text form, parsed into a tree. A layout is UTF-8:
//
//   TSomeForm frmMain {            a component: class, name, then its body
//     Caption = "Main window"      a property: name = value
//     Font = { Height = -12 Style = [fsBold] }    a group of sub-properties
//     TImage imgBg {               an owned component, placed on its parent
//       Picture = data "0954506E67496D616765..."  bytes as hex digits
//       Picture = picture "imgBg"   a picture the form's picture source
//                                   gives by name, at the form's resolution
//       OnMouseDown = imgBgMouseDown            a handler of the form, by name
//     }
//     TImageRect strip { Items = ( { Name = "a" } { Name = "b" } ) }
//   }                                            a collection: ( groups )
//
// Values: integers (decimal or 0x hex, with a sign), strings in double
// quotes (escapes \" \\ \n \t \uXXXX), identifiers (true, alClient, handler
// names), sets in [ ], groups in { }, collections in ( ), data, and picture
// names. "#" starts a comment to the line's end. Kept free of OS calls.
#pragma once

#include <cstdint>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace ui {

class ELayoutError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

struct TLayoutProperty;

struct TLayoutValue {
  enum Kind { Integer, String, Identifier, Set, Group, Collection, Data, PictureName };
  Kind kind = Integer;
  std::int64_t integer = 0;
  std::wstring text;                                // String, Identifier, PictureName
  std::vector<TLayoutValue> elements;               // Set
  std::vector<TLayoutProperty> properties;          // Group
  std::vector<std::vector<TLayoutProperty>> items;  // Collection
  std::vector<std::uint8_t> data;                   // Data
  int line = 0;
};

struct TLayoutProperty {
  std::wstring name;
  TLayoutValue value;
  int line = 0;
};

struct TLayoutObject {
  std::wstring className;
  std::wstring name;
  std::vector<TLayoutProperty> properties;
  std::vector<TLayoutObject> children;
  int line = 0;
};

// Throws ELayoutError with the line for any syntax error.
TLayoutObject ParseLayout(std::string_view text);

// UTF-8 to UTF-16; invalid sequences become U+FFFD.
std::wstring Utf8ToWide(std::string_view text);

}  // namespace ui
