// Program entry: one copy at a time, then the main window and its message
// loop. The same program is also its own crash handler (crash/CrashReporter.h),
// started by the tool with a switch that no user gives it.
#include <windows.h>

#include "app/CrashHandlerServices.h"
#include "app/MainWindow.h"
#include "app/UniqueInstance.h"
#include "archive/TemporaryFiles.h"
#include "crash/CrashReporter.h"

int WINAPI wWinMain(HINSTANCE /*instance*/, HINSTANCE /*previous*/, PWSTR commandLine,
                    int /*show*/) {
  if (crash::IsCrashHandlerStart(commandLine)) {
    return crash::RunCrashHandler(commandLine, app::RealCrashHandlerServices());
  }
  crash::InstallCrashReporter();
  archive::WatchTemporaryFiles({crash::TemporaryFileCreated, crash::TemporaryFileGone});

  if (!CheckUniqueInstance(L"BRKV8_Portable", L"TfrmBRKPortable")) return 0;

  TfrmBRKPortable frmBRKPortable;
  crash::StartCrashHandlerWhenIdle();
  return ui::RunMainForm(frmBRKPortable);
}
