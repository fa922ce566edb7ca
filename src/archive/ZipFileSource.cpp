#include "archive/ZipFileSource.h"

#include <utility>

#include "archive/ZipOutput.h"
#include "archive/ZipSource.h"

namespace {

class TFileSource final : public archive::TPipelineSource {
 public:
  explicit TFileSource(ui::UniqueFileHandle file) : file_(std::move(file)) {}

  std::uint32_t Read(std::uint8_t* buffer, std::uint32_t size,
                     archive::TSourceFailure& failure) override {
    if (!file_) return 0;  // a folder: nothing to read
    DWORD done = 0;
    if (!zip_file_read(file_.get(), buffer, size, &done)) {
      // A pipe whose writer has finished reports its end as a broken pipe;
      // anything else is a failure that must not pass for the end.
      const DWORD why = GetLastError();
      if (why != ERROR_BROKEN_PIPE && why != ERROR_HANDLE_EOF)
        failure = {zip_result::read_file, why};
      return 0;
    }
    return done;
  }

 private:
  ui::UniqueFileHandle file_;
};

}  // namespace

std::unique_ptr<archive::TPipelineSource> zip_open_pipeline_source(
    const wchar_t* path, ZipSourceFacts& facts, archive::TSourceFailure& failure) {
  zip_clear_system_error();
  ui::UniqueFileHandle file;
  if (const ZipResult r = zip_open_path(path, file, facts)) {
    failure = {r, zip_last_system_error()};
    return nullptr;
  }
  return std::make_unique<TFileSource>(std::move(file));
}
