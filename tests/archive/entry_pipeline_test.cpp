// The pipeline that prepares entries on several threads must hand the writer,
// entry by entry in listing order, exactly what one thread makes of the same
// files: the same compressed bytes, CRC, length and result; hold no more
// than its budget whatever the files' sizes; pass every failure on as its
// code; and end every thread promptly when cancelled.
#include "archive/EntryPipeline.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "CraftedInputs.h"
#include "DeflateHarness.h"
#include "archive/Crc32.h"
#include "archive/ZipRecords.h"

namespace {

using archive::TEntryPipeline;
using archive::TPipelineSettings;
using Bytes = std::vector<std::uint8_t>;

struct FakeFile {
  std::string name{};
  Bytes content{};
  std::uint16_t method = archive::kMethodDeflated;
  ZipResult openFailure = zip_result::ok;
  // A read that fails once this many bytes have been read.
  std::optional<std::size_t> failAt = {};
  // The Windows error code behind a failure to open or read.
  std::uint32_t systemError = 0;
  // The most bytes one read hands out (0: all asked for).
  std::uint32_t readSize = 0;
};

// Files in memory, read as the pipeline's readers read files: each source
// counts its reads, and those made after a cancel.
class FakeFiles final : public archive::TPipelineFiles {
 public:
  explicit FakeFiles(std::vector<FakeFile> files) : files_(std::move(files)) {}

  std::uint16_t Method(std::size_t index) override { return files_[index].method; }

  std::unique_ptr<archive::TPipelineSource> Open(std::size_t index, ZipSourceFacts& facts,
                                                 archive::TSourceFailure& failure) override {
    const FakeFile& file = files_[index];
    if (file.openFailure) {
      failure = {file.openFailure, file.systemError};
      return nullptr;
    }
    facts.size = std::int64_t(file.content.size());
    facts.mtime = std::int64_t(index);
    return std::make_unique<Source>(*this, file);
  }

  const std::vector<FakeFile>& files() const { return files_; }
  std::atomic<bool> cancelled = false;
  std::atomic<int> reads = 0;
  std::atomic<int> readsAfterCancel = 0;
  // Each read of a source first sleeps this long.
  std::chrono::milliseconds readDelay{0};

 private:
  class Source final : public archive::TPipelineSource {
   public:
    Source(FakeFiles& files, const FakeFile& file) : files_(files), file_(file) {}
    std::uint32_t Read(std::uint8_t* buffer, std::uint32_t size,
                       archive::TSourceFailure& failure) override {
      ++files_.reads;
      if (files_.cancelled) ++files_.readsAfterCancel;
      std::this_thread::sleep_for(files_.readDelay);
      if (file_.failAt && at_ >= *file_.failAt) {
        failure = {zip_result::read_file, file_.systemError};
        return 0;
      }
      std::size_t n = std::min<std::size_t>(size, file_.content.size() - at_);
      if (file_.readSize) n = std::min<std::size_t>(n, file_.readSize);
      if (file_.failAt) n = std::min(n, *file_.failAt - at_);
      std::memcpy(buffer, file_.content.data() + at_, n);
      at_ += n;
      return std::uint32_t(n);
    }

   private:
    FakeFiles& files_;
    const FakeFile& file_;
    std::size_t at_ = 0;
  };

  std::vector<FakeFile> files_;
};

// What the writer gets for one entry.
struct Received {
  ZipResult open = zip_result::ok;
  std::uint32_t openSystemError = 0;
  Bytes data;
  ZipPreparedEnd end;
  std::size_t pieces = 0;
};

// The writer's part for one entry, as zip_add_prepared takes it.
Received Receive(TEntryPipeline& pipeline, std::size_t index, std::uint16_t method) {
  Received got;
  ZipPreparedEntry& entry = pipeline.Entry(index);
  ZipSourceFacts facts;
  got.open = entry.open(method, facts, got.openSystemError);
  if (got.open == zip_result::ok) {
    EXPECT_EQ(facts.mtime, std::int64_t(index));
    const std::uint8_t* data = nullptr;
    std::size_t size = 0;
    while (entry.next(data, size)) {
      got.data.insert(got.data.end(), data, data + size);
      ++got.pieces;
    }
    got.end = entry.end();
  }
  pipeline.Done(index);
  return got;
}

std::vector<Received> WriteAll(TEntryPipeline& pipeline, const std::vector<FakeFile>& files) {
  std::vector<Received> all;
  for (std::size_t i = 0; i < files.size(); ++i)
    all.push_back(Receive(pipeline, i, files[i].method));
  return all;
}

// Opens the first entry and takes its first piece, as a writer that is
// under way with it.
ZipPreparedEntry& FirstEntryUnderWay(TEntryPipeline& pipeline) {
  ZipPreparedEntry& first = pipeline.Entry(0);
  ZipSourceFacts facts;
  std::uint32_t why = 0;
  EXPECT_EQ(first.open(archive::kMethodDeflated, facts, why), zip_result::ok);
  const std::uint8_t* data = nullptr;
  std::size_t size = 0;
  EXPECT_TRUE(first.next(data, size));
  return first;
}

// What one thread makes of the file: its deflated or stored bytes, CRC and
// length, as the writer makes them for zip_add_file.
void ExpectAsOneThreadMakesIt(const FakeFile& file, const Received& got) {
  SCOPED_TRACE(file.name);
  EXPECT_EQ(got.open, file.openFailure);
  if (file.openFailure) {
    EXPECT_EQ(got.openSystemError, file.systemError);
    return;
  }
  const std::size_t readable = file.failAt ? *file.failAt : file.content.size();
  const std::span<const std::uint8_t> read(file.content.data(), readable);
  EXPECT_EQ(got.end.read_result, file.failAt ? zip_result::read_file : zip_result::ok);
  EXPECT_EQ(got.end.system_error, file.failAt ? file.systemError : 0);
  EXPECT_EQ(got.end.bytes_read, readable);
  EXPECT_EQ(got.end.crc, archive::crc32_update(0, read.data(), read.size()));
  EXPECT_TRUE(got.end.data_ok);
  if (file.method == archive::kMethodStored) {
    EXPECT_TRUE(std::equal(got.data.begin(), got.data.end(), read.begin(), read.end()));
    EXPECT_EQ(got.end.level_flags, 0);
    return;
  }
  const auto state = deflate_test::make_state();
  const deflate_test::Compressed expected = deflate_test::compress(*state, read);
  EXPECT_EQ(got.data, expected.bytes);
  EXPECT_EQ(got.end.level_flags, expected.flags);
}

Bytes Text(std::size_t size, std::uint32_t seed) {
  return deflate_test::text_bytes(size, seed);
}
Bytes Noise(std::size_t size, std::uint32_t seed) {
  return deflate_test::random_bytes(size, seed);
}

// Empty, small, large (many blocks, many windows), incompressible, stored
// and oddly read files, mixed so that entries finish out of order.
std::vector<FakeFile> MixedFiles() {
  std::vector<FakeFile> files;
  files.push_back({.name = "large text", .content = Text(700000, 1)});
  for (int i = 0; i < 12; ++i) {
    files.push_back({.name = "small " + std::to_string(i), .content = Text(50 + i * 900, 10 + i)});
    files.push_back({.name = "empty " + std::to_string(i)});
  }
  files.push_back({.name = "noise", .content = Noise(300000, 2)});
  files.push_back(
      {.name = "stored", .content = Noise(200000, 3), .method = archive::kMethodStored});
  files.push_back({.name = "stored empty", .method = archive::kMethodStored});
  files.push_back({.name = "read a byte at a time", .content = Text(3000, 4), .readSize = 1});
  files.push_back({.name = "read unevenly", .content = Text(150000, 5), .readSize = 7777});
  files.push_back({.name = "last, large", .content = Text(400000, 6)});
  return files;
}

TEST(TEntryPipeline, HandsTheWriterWhatOneThreadMakesWhateverTheThreadsAndBudget) {
  struct Case {
    unsigned compressors, readers;
    std::size_t budget, block;
  };
  // A tight budget and small blocks make every thread wait for room.
  const Case cases[] = {{1, 1, 32 << 20, 256 << 10},
                        {2, 1, 32 << 20, 256 << 10},
                        {4, 2, 32 << 20, 256 << 10},
                        {3, 3, 40 << 10, 4 << 10},
                        {1, 4, 16 << 10, 4 << 10}};
  const std::vector<FakeFile> files = MixedFiles();
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.compressors << " compressors, " << c.readers
                                    << " readers, budget " << c.budget);
    FakeFiles source(files);
    TEntryPipeline pipeline(
        files.size(), source,
        {.compressors = c.compressors, .readers = c.readers, .budget = c.budget, .block = c.block});
    ASSERT_TRUE(pipeline.Start());
    const std::vector<Received> got = WriteAll(pipeline, files);
    for (std::size_t i = 0; i < files.size(); ++i) ExpectAsOneThreadMakesIt(files[i], got[i]);
  }
}

TEST(TEntryPipeline, HoldsNoMoreThanItsBudgetWhenALargeEntryWaitsBehindAnother) {
  // Two large entries, the second ready long before the first is written:
  // it may run ahead only as far as the budget, and the first, the one being
  // written, streams through a few blocks at a time.
  constexpr std::size_t kBlock = 16 << 10, kBudget = 256 << 10;
  std::vector<FakeFile> files = {
      {.name = "first", .content = Text(3 << 20, 1)},
      {.name = "second", .content = Noise(3 << 20, 2)},
      {.name = "stored", .content = Noise(2 << 20, 3), .method = archive::kMethodStored}};
  for (int i = 0; i < 50; ++i) files.push_back({.name = "small", .content = Text(3000, i)});
  FakeFiles source(files);
  TEntryPipeline pipeline(files.size(), source,
                          {.compressors = 3, .readers = 2, .budget = kBudget, .block = kBlock});
  ASSERT_TRUE(pipeline.Start());
  const std::vector<Received> got = WriteAll(pipeline, files);
  for (std::size_t i = 0; i < files.size(); ++i) ExpectAsOneThreadMakesIt(files[i], got[i]);
  EXPECT_GT(got[0].pieces, 10u);  // streamed, not handed over whole
  // Beyond the budget only the entry being written: its read-ahead, the
  // pieces its compressor hands on, and the blocks in the threads' hands.
  const std::size_t most = kBudget + (4 + 16 + 2 * 5) * kBlock;
  EXPECT_LE(pipeline.PeakHeldBytes(), most);
  EXPECT_GT(pipeline.PeakHeldBytes(), kBudget / 2);  // the budget was used
}

TEST(TEntryPipeline, PassesEachFailureOnAsItsCodeAndGoesOnWithTheNextEntries) {
  std::vector<FakeFile> files = {
      {.name = "locked",
       .content = Text(100, 1),
       .openFailure = zip_result::open_file,
       .systemError = 32},  // a sharing violation
      {.name = "fine", .content = Text(5000, 2)},
      {.name = "read fails midway",
       .content = Text(600000, 3),
       .failAt = 300000,
       .systemError = 1117},  // an I/O device error
      {.name = "read fails at once", .content = Text(600, 4), .failAt = 0},
      {.name = "stored, read fails",
       .content = Noise(90000, 5),
       .method = archive::kMethodStored,
       .failAt = 40000},
      {.name = "gone", .openFailure = zip_result::bad_arguments},
      {.name = "fine again", .content = Text(70000, 6)},
  };
  FakeFiles source(files);
  TEntryPipeline pipeline(files.size(), source, {.compressors = 2, .readers = 2, .block = 8192});
  ASSERT_TRUE(pipeline.Start());
  const std::vector<Received> got = WriteAll(pipeline, files);
  for (std::size_t i = 0; i < files.size(); ++i) ExpectAsOneThreadMakesIt(files[i], got[i]);
}

TEST(TEntryPipeline, RefusesAMethodOtherThanTheOneTheDataWasPreparedWith) {
  const std::vector<FakeFile> files = {{.name = "deflated", .content = Text(100, 1)}};
  FakeFiles source(files);
  TEntryPipeline pipeline(files.size(), source, {});
  ASSERT_TRUE(pipeline.Start());
  ZipSourceFacts facts;
  std::uint32_t why = 0;
  EXPECT_EQ(pipeline.Entry(0).open(archive::kMethodStored, facts, why), zip_result::bad_arguments);
  pipeline.Done(0);
}

TEST(TEntryPipeline, AnEntryTheWriterGivesUpOnEndsWithoutHoldingUpTheRest) {
  std::vector<FakeFile> files = {{.name = "abandoned", .content = Text(3 << 20, 1)},
                                 {.name = "next", .content = Text(40000, 2)}};
  FakeFiles source(files);
  TEntryPipeline pipeline(files.size(), source,
                          {.compressors = 2, .readers = 2, .budget = 64 << 10, .block = 8192});
  ASSERT_TRUE(pipeline.Start());
  FirstEntryUnderWay(pipeline).end();  // as after a failed write
  pipeline.Done(0);
  ExpectAsOneThreadMakesIt(files[1], Receive(pipeline, 1, archive::kMethodDeflated));
}

TEST(TEntryPipeline, CancelEndsEveryThreadAtItsNextReadAndTheWriterAtOnce) {
  // Slow reads of large files, a tight budget: when the cancel comes every
  // thread is reading, compressing or waiting for room.
  std::vector<FakeFile> files(8, {.name = "large", .content = Text(1 << 20, 1)});
  FakeFiles source(files);
  source.readDelay = std::chrono::milliseconds(2);
  constexpr unsigned kReaders = 3;
  {
    TEntryPipeline pipeline(
        files.size(), source,
        {.compressors = 2, .readers = kReaders, .budget = 256 << 10, .block = 16 << 10});
    ASSERT_TRUE(pipeline.Start());
    ZipPreparedEntry& first = FirstEntryUnderWay(pipeline);
    std::thread canceller([&] {
      std::this_thread::sleep_for(std::chrono::milliseconds(50));
      source.cancelled = true;
      pipeline.Cancel(zip_result::read_file);
    });
    // The writer waits for data that never comes: the cancel ends its wait.
    const std::uint8_t* data = nullptr;
    std::size_t size = 0;
    while (first.next(data, size)) {
    }
    canceller.join();
    EXPECT_EQ(first.end().read_result, zip_result::read_file);
    pipeline.Done(0);
    // Entries after the cancel answer its reason without waiting.
    ZipSourceFacts facts;
    std::uint32_t why = 0;
    EXPECT_EQ(pipeline.Entry(1).open(archive::kMethodDeflated, facts, why), zip_result::read_file);
    pipeline.Done(1);
  }
  // Each reader read once more at most, and most of the files were never read.
  EXPECT_LE(source.readsAfterCancel.load(), int(kReaders));
  EXPECT_LT(source.reads.load(), int(files.size() * (1 << 20) / (16 << 10)) / 2);
}

TEST(TEntryPipeline, EntriesOfACancelledPipelineAnswerTheReasonGiven) {
  const std::vector<FakeFile> files = {{.name = "one", .content = Text(10, 1)},
                                       {.name = "two", .content = Text(10, 2)}};
  FakeFiles source(files);
  TEntryPipeline pipeline(files.size(), source, {});
  pipeline.Cancel(zip_result::alloc_memory);
  pipeline.Cancel(zip_result::read_file);  // the first reason counts
  ASSERT_TRUE(pipeline.Start());
  ZipSourceFacts facts;
  std::uint32_t why = 0;
  for (std::size_t i = 0; i < files.size(); ++i) {
    EXPECT_EQ(pipeline.Entry(i).open(archive::kMethodDeflated, facts, why),
              zip_result::alloc_memory);
    pipeline.Done(i);
  }
}

}  // namespace
