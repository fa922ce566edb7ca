// Prepares the entries of one archive on several threads at once, for a
// writer that takes them one by one in the order of the listing, so that the
// archive is the one a single thread writes, byte for byte.
//
// Readers open, read and close the files, in listing order, ahead of the
// rest: a file's open and reads never wait for the compressor, nor the
// compressor for them. Compressors deflate the entries, each with a
// compressor state of its own, also in listing order, several entries at
// once; entries whose names say they are compressed already go from the
// reader to the writer as they are. The writer (the caller's thread) takes
// each entry's data as it comes.
//
// Memory stays bounded whatever the files' sizes. Data of entries that wait
// for their turn (read ahead, or compressed and not yet written) is held up
// to a fixed budget; a thread that would go beyond it waits until the writer
// has taken more. The entry being written never waits for the budget, so
// the pipeline always moves: its data streams from the reader through the
// compressor to the writer a few blocks at a time, however large the file.
//
// Cancel (a stop, or a failed entry) ends every thread at its next read or
// its next wait. Portable: the files come through TPipelineFiles.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <thread>
#include <vector>

#include "archive/ThreadSync.h"
#include "archive/ZipPrepared.h"

struct TState;

namespace archive {

// A failure met on a reader's thread: what the writer answers for it, and
// the Windows error code behind it (0: none).
struct TSourceFailure {
  ZipResult result = zip_result::ok;
  std::uint32_t systemError = 0;
};

// One entry's open source, read by one reader thread.
class TPipelineSource {
 public:
  virtual ~TPipelineSource() = default;
  // Reads up to size bytes into buffer and answers how many: 0 at the end,
  // and also after a failed read, which sets failure.
  virtual std::uint32_t Read(std::uint8_t* buffer, std::uint32_t size, TSourceFailure& failure) = 0;
};

// Where the entries come from. Called from several threads at once, each
// with another index.
class TPipelineFiles {
 public:
  // The method the entry is written with, as its name decides (stored or
  // deflated).
  virtual std::uint16_t Method(std::size_t index) = 0;
  // Opens the entry's source and fills facts; on failure answers null and
  // sets failure.
  virtual std::unique_ptr<TPipelineSource> Open(std::size_t index, ZipSourceFacts& facts,
                                                TSourceFailure& failure) = 0;

 protected:
  ~TPipelineFiles() = default;
};

struct TPipelineSettings {
  unsigned compressors = 1;
  unsigned readers = 1;
  // Bytes of entry data that may wait for the writer (see above).
  std::size_t budget = std::size_t(32) << 20;
  // The size of the reads of large files and of the compressed pieces.
  std::size_t block = std::size_t(256) << 10;
  std::int32_t level = 8;
};

class TEntryPipeline {
 public:
  TEntryPipeline(std::size_t count, TPipelineFiles& files, const TPipelineSettings& settings);
  // Cancels and waits for every thread.
  ~TEntryPipeline();
  TEntryPipeline(const TEntryPipeline&) = delete;
  TEntryPipeline& operator=(const TEntryPipeline&) = delete;

  // Starts the threads; false (and cancelled) when not at least one reader
  // and one compressor could be started.
  bool Start();

  // The entry for zip_add_prepared. Entries are taken in order, each once,
  // and each handed back with Done before the next is taken.
  ZipPreparedEntry& Entry(std::size_t index);
  // The writer has finished with the entry; its memory goes.
  void Done(std::size_t index);

  // Ends the preparation: every thread stops at its next read or wait, and
  // entries not yet prepared answer reason when opened. Any thread may
  // call it, any number of times (the first reason counts).
  void Cancel(ZipResult reason = zip_result::read_file) noexcept;

  // The most bytes of entry data held at once so far (the states of the
  // compressors and their working buffers are not counted).
  std::size_t PeakHeldBytes() const;

 private:
  struct TBlock;
  class TBlockQueue;
  struct TSlot;
  class TCancelledEntry;
  struct TCompressCall;
  class TLocked;

  void ReaderLoop() noexcept;
  void CompressorLoop() noexcept;
  TSlot* TakeForReading();
  void ReadEntry(TSlot& slot, std::uint8_t* probe);
  bool ReserveRead(TSlot& slot, bool stored, std::size_t size);
  TSlot* TakeForCompressing(TCompressCall& call);
  static std::uint32_t PullInput(TState& state, std::uint8_t* buffer, std::uint32_t size);
  static bool PushOutput(void* param, const std::uint8_t* buffer, std::uint32_t* count);
  TBlock CopyOutput(TCompressCall& call);
  bool RoomForOutput(TLocked& locked, TCompressCall& call, std::size_t size);
  void Publish(TCompressCall& call);
  void FinishCompressing(TCompressCall& call, bool dataOk, std::uint16_t flags);

  TSlot& SlotAt(std::size_t index) const;
  bool IsHead(const TSlot& slot) const;
  bool Fits(std::size_t size) const;
  void Charge(std::size_t size);

  const std::size_t count_;
  TPipelineFiles& files_;
  TPipelineSettings settings_;

  mutable TLock lock_;
  TCondition readersWait_, compressorsWait_, writerWait_;
  // Everything below is guarded by lock_.
  std::vector<std::unique_ptr<TSlot>> slots_;  // entries head_, head_ + 1, ... in order
  std::size_t slotsFront_ = 0;                 // slots_[slotsFront_] is the head's
  std::size_t head_ = 0;                       // the entry the writer is at
  std::size_t nextRead_ = 0;
  std::size_t nextCompress_ = 0;
  std::size_t held_ = 0;
  std::size_t peakHeld_ = 0;
  // Threads waiting for room: in the budget, in a queue, or for their turn.
  unsigned roomWaiters_ = 0;
  bool cancelled_ = false;
  ZipResult cancelReason_ = zip_result::read_file;
  // cancelled_, for a look without the lock (before a reader's last read).
  std::atomic<bool> stopping_ = false;

  std::unique_ptr<TCancelledEntry> cancelledEntry_;
  std::vector<std::thread> threads_;
};

}  // namespace archive
