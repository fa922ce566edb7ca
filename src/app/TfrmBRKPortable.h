// The tool's main window: the form of class "TfrmBRKPortable", 463 x 303
// pixels, under which a second start of the tool finds the first copy.
#pragma once

#include "ui/Form.h"

class TfrmBRKPortable : public ui::TForm {
 public:
  TfrmBRKPortable();
};
