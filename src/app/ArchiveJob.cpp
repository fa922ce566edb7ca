#include "app/ArchiveJob.h"

#include <utility>

namespace app {

namespace {

class TZipFileJob : public TArchiveJob {
 public:
  explicit TZipFileJob(TArchiveJobSettings settings) {
    job_.SetZipFileName(std::move(settings.zipFileName));
    job_.SetSourceDir(std::move(settings.sourceDir));
    job_.SetOnFinish(std::move(settings.onFinish));
    job_.SetOnProgress(std::move(settings.onProgress));
  }
  void Start() override { job_.Start(); }
  bool IsFinished() const override { return job_.IsFinished(); }
  void SetStop(bool stop) override { job_.SetStop(stop); }

 private:
  archive::TZipFile job_;
};

}  // namespace

std::unique_ptr<TArchiveJob> NewZipFileJob(TArchiveJobSettings settings) {
  return std::make_unique<TZipFileJob>(std::move(settings));
}

}  // namespace app
