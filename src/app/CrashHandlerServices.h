// What the crash handler needs of the application: where the user's local
// data lives, the user's language for the dialog, and Explorer.
#pragma once

#include "crash/CrashReporter.h"

namespace app {

crash::THandlerServices RealCrashHandlerServices();

}  // namespace app
