// The archive job as the main window drives it: made with the target, the
// source folder and the two reports, started, watched until it has
// finished, stopped, destroyed. The window holds it through this interface
// so that its states can be driven by a job whose reports a test decides;
// the tool itself always makes the real one (TZipFile).
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "archive/ZipJob.h"

namespace app {

class TArchiveJob {
 public:
  virtual ~TArchiveJob() = default;
  virtual void Start() = 0;
  virtual bool IsFinished() const = 0;
  // Asks a running job to stop; its reports still come, during destruction.
  virtual void SetStop(bool stop) = 0;
  // Returns once the job's worker has ended, serving its reports (sent
  // messages) meanwhile but no other input. For when the process is about
  // to end and the job's clean-up must not be cut off.
  virtual void WaitUntilFinished() = 0;
};

struct TArchiveJobSettings {
  std::wstring zipFileName;
  std::wstring sourceDir;
  archive::TZipFinishEvent onFinish;
  archive::TZipProgressEvent onProgress;
};

using TArchiveJobFactory = std::function<std::unique_ptr<TArchiveJob>(TArchiveJobSettings)>;

// The real job: packs the source folder into the target on its own thread.
std::unique_ptr<TArchiveJob> NewZipFileJob(TArchiveJobSettings settings);

}  // namespace app
