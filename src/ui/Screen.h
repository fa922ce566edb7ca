// The screen's cursor table: cursor ids (TCursor) to cursor handles. The
// built-in ids start as the system's cursors and, like a program's own ids,
// can be replaced (a program may swap in its own hand cursor, say).
#pragma once

#include <windows.h>

#include "ui/Types.h"

namespace ui {

// The cursor for an id; crDefault and unknown ids give the arrow.
HCURSOR ScreenCursor(TCursor id);
// Replaces the cursor of an id; the table does not own shared system cursors.
void SetScreenCursor(TCursor id, HCURSOR cursor);

}  // namespace ui
