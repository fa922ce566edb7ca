#include "archive/EntryPipeline.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <mutex>
#include <new>
#include <optional>
#include <utility>

#include "archive/Crc32.h"
#include "archive/Deflate.h"
#include "archive/ZipRecords.h"

namespace archive {

namespace {

// How far the readers may run ahead of the writer, in entries: far enough
// that a slow open never leaves the compressors idle, near enough that the
// entries in flight stay a small list.
constexpr std::size_t kMostEntriesAhead = 1024;
// Blocks of one entry read before its compressor has taken them: enough to
// cover a read's time, not so many that one large file fills the budget.
constexpr std::size_t kReadAheadBlocks = 4;
// Blocks of the entry being written that its compressor (or, for a stored
// entry, its reader) may hand on before the writer has taken them.
constexpr std::size_t kHeadAheadBlocks = 16;
// The read that finds a file's end, once as many bytes as the file had when
// it was opened have come: a file that grew meanwhile is read on.
constexpr std::uint32_t kEndProbeSize = 4096;

}  // namespace

// A piece of an entry's data, read or compressed; `capacity` is what it
// costs the budget.
struct TEntryPipeline::TBlock {
  std::unique_ptr<std::uint8_t[]> bytes;
  std::size_t size = 0;
  std::size_t capacity = 0;
  std::size_t taken = 0;  // bytes of it already used by the compressor
};

// First in, first out, in one vector: an entry that is empty, the common
// case, allocates nothing.
class TEntryPipeline::TBlockQueue {
 public:
  bool empty() const { return front_ == blocks_.size(); }
  std::size_t bytes() const { return bytes_; }
  void push(TBlock block) {
    bytes_ += block.capacity;
    blocks_.push_back(std::move(block));
  }
  TBlock pop() {
    TBlock block = std::move(blocks_[front_++]);
    bytes_ -= block.capacity;
    if (front_ == blocks_.size()) {
      blocks_.clear();
      front_ = 0;
    }
    return block;
  }

 private:
  std::vector<TBlock> blocks_;
  std::size_t front_ = 0;
  std::size_t bytes_ = 0;
};

// One entry in flight, from the moment a reader takes it until the writer
// is done with it. Its fields are guarded by the pipeline's lock, but for
// those the writer alone uses.
struct TEntryPipeline::TSlot final : ZipPreparedEntry {
  TSlot(TEntryPipeline& pipeline, std::size_t index) : pipeline(pipeline), index(index) {}

  ZipResult open(std::uint16_t method, ZipSourceFacts& facts, std::uint32_t& systemError) override;
  bool next(const std::uint8_t*& data, std::size_t& size) override;
  ZipPreparedEnd end() override;

  TEntryPipeline& pipeline;
  const std::size_t index;

  // Set by the reader with the entry's first data, or with its end.
  bool opened = false;
  std::uint16_t method = kMethodDeflated;
  TSourceFailure openFailure;
  ZipSourceFacts facts;
  // Blocks read for the compressor (deflated entries only).
  TBlockQueue input;
  // Set by the reader once it has read and closed the source.
  bool inputDone = false;
  std::uint32_t crc = 0;
  std::uint64_t bytesRead = 0;
  TSourceFailure readFailure;

  bool compressorTaken = false;
  // The data for the writer: compressed, or as read for a stored entry.
  TBlockQueue output;
  bool outputDone = false;
  bool dataOk = true;
  std::uint16_t levelFlags = 0;
  ZipResult compressResult = zip_result::ok;
  // The writer wants no more of it: the reader and compressor stop.
  bool abandoned = false;

  // The writer's own. Once the entry is complete (read and compressed), the
  // writer takes all of it at once and needs the lock no more until Done.
  bool complete = false;
  TBlockQueue taken;
  TBlock handed;                 // the piece the writer holds
  std::size_t releaseLater = 0;  // budget of pieces handed before, given back at the next lock
};

// What the writer gets for an entry that no reader took before the cancel.
class TEntryPipeline::TCancelledEntry final : public ZipPreparedEntry {
 public:
  explicit TCancelledEntry(TEntryPipeline& pipeline) : pipeline_(pipeline) {}
  ZipResult open(std::uint16_t, ZipSourceFacts&, std::uint32_t&) override;
  bool next(const std::uint8_t*&, std::size_t&) override { return false; }
  ZipPreparedEnd end() override { return {.read_result = zip_result::read_file}; }

 private:
  TEntryPipeline& pipeline_;
};

// One compressor's entry: where the compressor's reads and output go.
struct TEntryPipeline::TCompressCall {
  // The compressor's own output buffer; its size does not change the bytes.
  std::array<std::uint8_t, 16384> buffer;
  TEntryPipeline* pipeline = nullptr;
  TSlot* slot = nullptr;
  TBlock current;                    // input being taken into the window
  bool inputEnded = false;           // no input comes after `current`
  std::vector<std::uint8_t> output;  // compressed bytes not yet handed on
  bool cut = false;                  // cancelled or abandoned: the rest is dropped
  ZipResult failure = zip_result::ok;
};

// The pipeline's lock, held for the object's life. Wakes asked for while
// it is held happen once it is released: a thread woken inside the lock
// would at once wait again, for the lock its waker still holds.
class TEntryPipeline::TLocked {
 public:
  explicit TLocked(TEntryPipeline& pipeline) : pipeline_(pipeline) { pipeline_.lock_.lock(); }
  ~TLocked() {
    pipeline_.lock_.unlock();
    if (readers_) pipeline_.readersWait_.wake_all();
    if (compressors_) pipeline_.compressorsWait_.wake_all();
    if (writer_) pipeline_.writerWait_.wake_all();
  }
  TLocked(const TLocked&) = delete;
  TLocked& operator=(const TLocked&) = delete;

  void WakeReaders() { readers_ = true; }
  void WakeCompressors() { compressors_ = true; }
  void WakeWriter() { writer_ = true; }
  // The threads that wait for room, if any do.
  void WakeRoomWaiters() {
    if (pipeline_.roomWaiters_ == 0) return;
    readers_ = compressors_ = true;
  }
  void WakeWriterFor(const TSlot& slot) {
    if (pipeline_.IsHead(slot)) writer_ = true;
  }
  void Release(std::size_t size) {
    pipeline_.held_ -= size;
    WakeRoomWaiters();
  }
  template <typename Predicate>
  void Wait(TCondition& condition, Predicate ready) {
    condition.wait_until(pipeline_.lock_, ready);
  }
  // The same for a wait for room, which Release and the queues' consumers
  // wake.
  template <typename Predicate>
  void WaitForRoom(TCondition& condition, Predicate ready) {
    ++pipeline_.roomWaiters_;
    condition.wait_until(pipeline_.lock_, ready);
    --pipeline_.roomWaiters_;
  }

 private:
  TEntryPipeline& pipeline_;
  bool readers_ = false, compressors_ = false, writer_ = false;
};

ZipResult TEntryPipeline::TCancelledEntry::open(std::uint16_t, ZipSourceFacts&, std::uint32_t&) {
  TLocked locked(pipeline_);
  return pipeline_.cancelReason_;
}

TEntryPipeline::TEntryPipeline(std::size_t count, TPipelineFiles& files,
                               const TPipelineSettings& settings)
    : count_(count),
      files_(files),
      settings_(settings),
      cancelledEntry_(std::make_unique<TCancelledEntry>(*this)) {
  settings_.compressors = std::max(1u, settings_.compressors);
  settings_.readers = std::max(1u, settings_.readers);
  settings_.block = std::max<std::size_t>(settings_.block, kEndProbeSize);
  settings_.budget = std::max(settings_.budget, settings_.block);
}

TEntryPipeline::~TEntryPipeline() {
  Cancel();
  for (std::thread& thread : threads_) thread.join();
}

bool TEntryPipeline::Start() {
  unsigned readers = 0, compressors = 0;
  try {
    for (; readers < settings_.readers; ++readers) threads_.emplace_back([this] { ReaderLoop(); });
    for (; compressors < settings_.compressors; ++compressors) {
      threads_.emplace_back([this] { CompressorLoop(); });
    }
  } catch (...) {
    // Fewer threads than asked for still do the work, only slower.
  }
  if (readers == 0 || compressors == 0) {
    Cancel(zip_result::not_initialised);
    return false;
  }
  return true;
}

void TEntryPipeline::Cancel(ZipResult reason) noexcept {
  TLocked locked(*this);
  if (!cancelled_) {
    cancelled_ = true;
    stopping_ = true;
    cancelReason_ = reason;
  }
  locked.WakeReaders();
  locked.WakeCompressors();
  locked.WakeWriter();
}

std::size_t TEntryPipeline::PeakHeldBytes() const {
  std::lock_guard guard(lock_);
  return peakHeld_;
}

TEntryPipeline::TSlot& TEntryPipeline::SlotAt(std::size_t index) const {
  return *slots_[slotsFront_ + (index - head_)];
}

bool TEntryPipeline::IsHead(const TSlot& slot) const {
  return slot.index == head_;
}

bool TEntryPipeline::Fits(std::size_t size) const {
  return held_ + size <= settings_.budget;
}

void TEntryPipeline::Charge(std::size_t size) {
  held_ += size;
  peakHeld_ = std::max(peakHeld_, held_);
}

// --- readers ----------------------------------------------------------------

void TEntryPipeline::ReaderLoop() noexcept {
  std::array<std::uint8_t, kEndProbeSize> probe;
  for (;;) {
    TSlot* slot = nullptr;
    try {
      slot = TakeForReading();
    } catch (...) {
      Cancel(zip_result::alloc_memory);
    }
    if (slot == nullptr) return;
    ReadEntry(*slot, probe.data());
  }
}

TEntryPipeline::TSlot* TEntryPipeline::TakeForReading() {
  TLocked locked(*this);
  locked.WaitForRoom(readersWait_, [this] {
    if (cancelled_ || nextRead_ >= count_) return true;
    const std::size_t ahead = nextRead_ - head_;
    // The head's own entry is always taken, or nothing would move.
    return ahead == 0 || (ahead < kMostEntriesAhead && Fits(sizeof(TSlot)));
  });
  if (cancelled_ || nextRead_ >= count_) return nullptr;
  auto slot = std::make_unique<TSlot>(*this, nextRead_);
  slots_.push_back(std::move(slot));
  ++nextRead_;
  Charge(sizeof(TSlot));
  return slots_.back().get();
}

void TEntryPipeline::ReadEntry(TSlot& slot, std::uint8_t* probe) {
  std::uint16_t method = kMethodDeflated;
  ZipSourceFacts facts;
  TSourceFailure openFailure;
  std::unique_ptr<TPipelineSource> source;
  try {
    method = files_.Method(slot.index);
    source = files_.Open(slot.index, facts, openFailure);
    if (!source && !openFailure.result) openFailure.result = zip_result::open_file;
  } catch (...) {
    source.reset();
    openFailure = {zip_result::alloc_memory};
  }
  const bool stored = method == kMethodStored;
  // Under the lock: what the entry's consumers learn with its first data, or
  // with its end.
  const auto announce = [&](TLocked& locked) {
    if (slot.opened) return;
    slot.method = method;
    slot.facts = facts;
    slot.opened = true;
    locked.WakeCompressors();
  };
  if (!source) {
    TLocked locked(*this);
    slot.openFailure = openFailure;
    announce(locked);
    slot.inputDone = true;
    slot.outputDone = true;
    locked.WakeWriterFor(slot);
    return;
  }

  // Each block is handed on with the next one read, or with the end: a
  // small file's reader and consumer then meet once, not once a step.
  TBlock held;
  const auto handOn = [&](TLocked& locked, TBlock block) {
    if (stored) {
      slot.output.push(std::move(block));
      locked.WakeWriterFor(slot);
    } else {
      slot.input.push(std::move(block));
      locked.WakeCompressors();
    }
  };
  std::uint32_t crc = 0;
  std::uint64_t total = 0;
  TSourceFailure failure;
  try {
    for (;;) {
      // Reads of the size the file had when it was opened, in blocks; then
      // one small read that should find its end.
      const bool sized = facts.size >= 0 && total < std::uint64_t(facts.size);
      const std::size_t want =
          sized ? std::size_t(std::min<std::uint64_t>(settings_.block, facts.size - total))
                : (facts.size >= 0 ? 0 : settings_.block);
      TBlock block;
      std::uint32_t got = 0;
      if (want == 0) {
        if (stopping_) {
          failure = {zip_result::read_file};
          break;
        }
        got = source->Read(probe, kEndProbeSize, failure);
        if (got == 0) break;
        // The file grew since it was opened: what came is kept.
        if (!ReserveRead(slot, stored, got)) {
          failure = {zip_result::read_file};
          break;
        }
        block.capacity = got;
        block.bytes.reset(new std::uint8_t[got]);
        std::memcpy(block.bytes.get(), probe, got);
      } else {
        if (!ReserveRead(slot, stored, want)) {
          failure = {zip_result::read_file};
          break;
        }
        block.capacity = want;
        try {
          block.bytes.reset(new std::uint8_t[want]);
        } catch (...) {
          TLocked(*this).Release(want);
          throw;
        }
        got = source->Read(block.bytes.get(), std::uint32_t(want), failure);
        if (got == 0) {
          TLocked(*this).Release(want);
          break;
        }
      }
      block.size = got;
      crc = crc32_update(crc, block.bytes.get(), got);
      total += got;
      if (held.bytes) {
        TLocked locked(*this);
        announce(locked);
        handOn(locked, std::move(held));
      }
      held = std::move(block);
    }
  } catch (...) {
    failure = {zip_result::alloc_memory};
  }
  source.reset();  // closed before the entry counts as read

  TLocked locked(*this);
  announce(locked);
  if (held.bytes) handOn(locked, std::move(held));
  slot.crc = crc;
  slot.bytesRead = total;
  slot.readFailure = failure;
  slot.inputDone = true;
  if (stored) slot.outputDone = true;
  // A compressor waiting for more input is woken by the last block handed
  // on, or by the announcement.
  locked.WakeWriterFor(slot);
}

// Waits until the reader may hold size more bytes of the entry, and charges
// them. False, charging nothing, when the entry is not wanted any more.
bool TEntryPipeline::ReserveRead(TSlot& slot, bool stored, std::size_t size) {
  TLocked locked(*this);
  locked.WaitForRoom(readersWait_, [&] {
    if (cancelled_ || slot.abandoned) return true;
    const bool head = IsHead(slot);
    // A stored entry's blocks wait for the writer, a deflated one's for its
    // compressor.
    const std::size_t queued = stored ? slot.output.bytes() : slot.input.bytes();
    const std::size_t most =
        (stored && head ? kHeadAheadBlocks : kReadAheadBlocks) * settings_.block;
    if (!stored && queued >= most) return false;
    if (stored && head) return queued < most;
    return head || Fits(size);
  });
  if (cancelled_ || slot.abandoned) return false;
  Charge(size);
  return true;
}

// --- compressors ------------------------------------------------------------

void TEntryPipeline::CompressorLoop() noexcept {
  std::unique_ptr<TState> state;
  std::unique_ptr<TCompressCall> owned;
  try {
    state = std::make_unique<TState>();  // zeroed, as the compressor expects
    owned = std::make_unique<TCompressCall>();
    owned->output.reserve(settings_.block);
  } catch (...) {
    Cancel(zip_result::alloc_memory);
    return;
  }
  TCompressCall& call = *owned;
  call.pipeline = this;
  for (;;) {
    TSlot* slot = TakeForCompressing(call);
    if (slot == nullptr) return;
    std::uint16_t internalAttributes = 0;
    std::uint16_t flags = 0;
    compress_entry(*state, {&call, settings_.level, &PullInput, &PushOutput, call.buffer.data(),
                            std::uint32_t(call.buffer.size()), &internalAttributes, &flags});
    FinishCompressing(call, state->error == nullptr, flags);
  }
}

// The next deflated entry, in order, once it is open, with the input read
// for it so far.
TEntryPipeline::TSlot* TEntryPipeline::TakeForCompressing(TCompressCall& call) {
  TLocked locked(*this);
  for (;;) {
    locked.Wait(compressorsWait_, [this] {
      // Entries the writer has passed (stored ones) need no compressor.
      nextCompress_ = std::max(nextCompress_, head_);
      return cancelled_ || nextCompress_ >= count_ ||
             (nextCompress_ < nextRead_ && SlotAt(nextCompress_).opened);
    });
    if (cancelled_ || nextCompress_ >= count_) return nullptr;
    TSlot& slot = SlotAt(nextCompress_++);
    if (slot.openFailure.result || slot.method != kMethodDeflated) continue;
    slot.compressorTaken = true;
    call.slot = &slot;
    call.cut = false;
    call.failure = zip_result::ok;
    call.output.clear();
    call.current = {};
    if (!slot.input.empty()) {
      call.current = slot.input.pop();
      locked.WakeRoomWaiters();
    }
    call.inputEnded = slot.input.empty() && slot.inputDone;
    return &slot;
  }
}

std::uint32_t TEntryPipeline::PullInput(TState& state, std::uint8_t* buffer, std::uint32_t size) {
  TCompressCall& call = *static_cast<TCompressCall*>(state.param);
  TEntryPipeline& self = *call.pipeline;
  TSlot& slot = *call.slot;
  if (call.current.taken == call.current.size) {
    if (call.inputEnded) return 0;
    TLocked locked(self);
    if (call.current.bytes) locked.Release(call.current.capacity);
    call.current = {};
    locked.Wait(self.compressorsWait_, [&] {
      return self.cancelled_ || slot.abandoned || !slot.input.empty() || slot.inputDone;
    });
    if (self.cancelled_ || slot.abandoned) {
      call.cut = true;
      return 0;
    }
    if (slot.input.empty()) return 0;
    call.current = slot.input.pop();
    call.inputEnded = slot.input.empty() && slot.inputDone;
    locked.WakeRoomWaiters();
  }
  const std::uint32_t n =
      std::uint32_t(std::min<std::size_t>(size, call.current.size - call.current.taken));
  std::memcpy(buffer, call.current.bytes.get() + call.current.taken, n);
  call.current.taken += n;
  return n;
}

bool TEntryPipeline::PushOutput(void* param, const std::uint8_t* buffer, std::uint32_t* count) {
  TCompressCall& call = *static_cast<TCompressCall*>(param);
  std::uint32_t left = *count;
  *count = 0;
  while (left > 0 && !call.cut) {
    const std::size_t room = call.pipeline->settings_.block - call.output.size();
    const std::size_t n = std::min<std::size_t>(left, room);
    call.output.insert(call.output.end(), buffer, buffer + n);  // within the reserved block
    buffer += n;
    left -= std::uint32_t(n);
    if (call.output.size() == call.pipeline->settings_.block) call.pipeline->Publish(call);
  }
  return true;
}

// The compressed bytes gathered so far as a block of their own (empty when
// there are none, or when allocating it failed).
TEntryPipeline::TBlock TEntryPipeline::CopyOutput(TCompressCall& call) {
  TBlock block;
  const std::size_t size = call.output.size();
  if (size == 0 || call.cut) return block;
  block.bytes.reset(new (std::nothrow) std::uint8_t[size]);
  if (!block.bytes) {
    call.cut = true;
    call.failure = zip_result::alloc_memory;
    return block;
  }
  std::memcpy(block.bytes.get(), call.output.data(), size);
  block.size = block.capacity = size;
  return block;
}

// Under the lock: waits until the budget has room for the block, then
// charges it. False when the entry is not wanted any more.
bool TEntryPipeline::RoomForOutput(TLocked& locked, TCompressCall& call, std::size_t size) {
  TSlot& slot = *call.slot;
  locked.WaitForRoom(compressorsWait_, [&] {
    if (cancelled_ || slot.abandoned) return true;
    return IsHead(slot) ? slot.output.bytes() < kHeadAheadBlocks * settings_.block : Fits(size);
  });
  if (cancelled_ || slot.abandoned) {
    call.cut = true;
    return false;
  }
  Charge(size);
  return true;
}

// Hands a full block of compressed bytes on to the writer. The block is
// made before the budget has room for it: one block a compressor, like its
// working buffer.
void TEntryPipeline::Publish(TCompressCall& call) {
  TBlock block = CopyOutput(call);
  call.output.clear();
  if (!block.bytes) return;
  TLocked locked(*this);
  if (!RoomForOutput(locked, call, block.capacity)) return;
  call.slot->output.push(std::move(block));
  locked.WakeWriterFor(*call.slot);
}

// The last piece and the end of the entry reach the writer together.
void TEntryPipeline::FinishCompressing(TCompressCall& call, bool dataOk, std::uint16_t flags) {
  TBlock last = CopyOutput(call);
  call.output.clear();
  TSlot& slot = *call.slot;
  TLocked locked(*this);
  if (last.bytes && RoomForOutput(locked, call, last.capacity)) slot.output.push(std::move(last));
  if (call.current.bytes) locked.Release(call.current.capacity);
  call.current = {};
  slot.dataOk = dataOk;
  slot.levelFlags = flags;
  slot.compressResult = call.failure;
  slot.outputDone = true;
  locked.WakeWriterFor(slot);
}

// --- the writer's side --------------------------------------------------------

ZipPreparedEntry& TEntryPipeline::Entry(std::size_t index) {
  TLocked locked(*this);
  // Until the entry has something for the writer: its failure, its first
  // data or its end (for a small file, all of it at once).
  locked.Wait(writerWait_, [&] {
    if (cancelled_) return true;
    if (index >= nextRead_) return false;
    const TSlot& slot = SlotAt(index);
    return slot.opened && (slot.openFailure.result || !slot.output.empty() || slot.outputDone);
  });
  if (index < head_ || index >= nextRead_) return *cancelledEntry_;
  TSlot& slot = SlotAt(index);
  if (!cancelled_ && slot.inputDone && slot.outputDone) {
    // Nobody else touches it any more: the writer takes all of it.
    slot.complete = true;
    while (!slot.output.empty()) slot.taken.push(slot.output.pop());
  }
  return slot;
}

void TEntryPipeline::Done(std::size_t index) {
  TLocked locked(*this);
  if (index != head_ || index >= nextRead_) return;
  TSlot& slot = SlotAt(index);
  const auto finished = [&] {
    return slot.inputDone && (!slot.compressorTaken || slot.outputDone);
  };
  if (!finished()) {
    // Given up on: its reader and compressor stop at their next step.
    slot.abandoned = true;
    locked.WakeReaders();
    locked.WakeCompressors();
    locked.Wait(writerWait_, finished);
  }
  const std::size_t held = sizeof(TSlot) + slot.input.bytes() + slot.output.bytes() +
                           slot.taken.bytes() + slot.handed.capacity + slot.releaseLater;
  slots_[slotsFront_].reset();
  ++slotsFront_;
  ++head_;
  // The entries done leave the list now and then, not one by one.
  if (slotsFront_ >= 64 && 2 * slotsFront_ >= slots_.size()) {
    slots_.erase(slots_.begin(), slots_.begin() + std::ptrdiff_t(slotsFront_));
    slotsFront_ = 0;
  }
  locked.Release(held);  // also wakes the threads that wait for this entry's turn to pass
}

ZipResult TEntryPipeline::TSlot::open(std::uint16_t writtenMethod, ZipSourceFacts& sourceFacts,
                                      std::uint32_t& systemError) {
  // A complete entry's fields no longer change; otherwise, the lock.
  std::optional<TLocked> locked;
  if (!complete) {
    locked.emplace(pipeline);
    locked->Wait(pipeline.writerWait_, [&] { return pipeline.cancelled_ || opened; });
    if (pipeline.cancelled_) return pipeline.cancelReason_;
  }
  if (writtenMethod != method) return zip_result::bad_arguments;
  if (openFailure.result) {
    systemError = openFailure.systemError;
    return openFailure.result;
  }
  sourceFacts = facts;
  return zip_result::ok;
}

bool TEntryPipeline::TSlot::next(const std::uint8_t*& data, std::size_t& size) {
  releaseLater += handed.capacity;
  handed = {};
  if (complete) {
    if (taken.empty()) return false;
    handed = taken.pop();
  } else {
    TLocked locked(pipeline);
    locked.Release(releaseLater);
    releaseLater = 0;
    locked.Wait(pipeline.writerWait_,
                [&] { return pipeline.cancelled_ || !output.empty() || outputDone; });
    if (pipeline.cancelled_ || output.empty()) return false;
    handed = output.pop();
    // Room for the head's next blocks.
    locked.WakeRoomWaiters();
  }
  data = handed.bytes.get();
  size = handed.size;
  return true;
}

ZipPreparedEnd TEntryPipeline::TSlot::end() {
  releaseLater += handed.capacity;
  handed = {};
  if (!complete) {
    TLocked locked(pipeline);
    locked.Release(releaseLater);
    releaseLater = 0;
    if (pipeline.cancelled_ || !outputDone || !inputDone) {
      abandoned = true;
      locked.WakeReaders();
      locked.WakeCompressors();
      return {.read_result = pipeline.cancelled_ ? pipeline.cancelReason_ : zip_result::read_file};
    }
  }
  return {.crc = crc,
          .bytes_read = bytesRead,
          .read_result = readFailure.result ? readFailure.result : compressResult,
          .system_error = readFailure.systemError,
          .data_ok = dataOk,
          .level_flags = levelFlags};
}

}  // namespace archive
