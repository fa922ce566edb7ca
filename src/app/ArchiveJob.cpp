#include "app/ArchiveJob.h"

#include <utility>

#include "ui/MessageWait.h"

namespace app {

namespace {

// How long a wait for the worker sleeps before it looks again, unless a
// report arrives first.
constexpr DWORD kReportSlice = 10;

class TZipFileJob : public TArchiveJob {
 public:
  explicit TZipFileJob(TArchiveJobSettings settings) {
    job_.SetZipFileName(std::move(settings.zipFileName));
    job_.SetSourceDir(std::move(settings.sourceDir));
    job_.SetOnFinish(std::move(settings.onFinish));
    job_.SetOnProgress(std::move(settings.onProgress));
  }
  // Waits here rather than only in the job's own destructor, so that a
  // WaitUntilFinished nested in this wait (the session ending during a
  // stop) finds this object whole.
  ~TZipFileJob() override {
    if (started_) WaitUntilFinished();
  }
  void Start() override {
    started_ = true;
    job_.Start();
  }
  bool IsFinished() const override { return job_.IsFinished(); }
  void SetStop(bool stop) override { job_.SetStop(stop); }
  void WaitUntilFinished() override {
    while (!job_.IsFinished()) {
      MsgWaitForMultipleObjectsEx(0, nullptr, kReportSlice, QS_SENDMESSAGE, MWMO_INPUTAVAILABLE);
      ui::ServeSentMessages();
    }
  }

 private:
  archive::TZipFile job_;
  bool started_ = false;
};

}  // namespace

std::unique_ptr<TArchiveJob> NewZipFileJob(TArchiveJobSettings settings) {
  return std::make_unique<TZipFileJob>(std::move(settings));
}

}  // namespace app
