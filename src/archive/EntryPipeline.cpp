#include "archive/EntryPipeline.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <mutex>
#include <new>
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
// is done with it. Its fields are guarded by the pipeline's lock.
struct TEntryPipeline::TSlot final : ZipPreparedEntry {
  TSlot(TEntryPipeline& pipeline, std::size_t index) : pipeline(pipeline), index(index) {}

  ZipResult open(std::uint16_t method, ZipSourceFacts& facts, std::uint32_t& systemError) override;
  bool next(const std::uint8_t*& data, std::size_t& size) override;
  ZipPreparedEnd end() override;

  TEntryPipeline& pipeline;
  const std::size_t index;

  // Set by the reader once the source is open, or could not be opened.
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

  // The piece the writer holds.
  TBlock handed;
  // The writer wants no more of it: the reader and compressor stop.
  bool abandoned = false;
};

// What the writer gets for an entry that no reader took before the cancel.
class TEntryPipeline::TCancelledEntry final : public ZipPreparedEntry {
 public:
  explicit TCancelledEntry(const TEntryPipeline& pipeline) : pipeline_(pipeline) {}
  ZipResult open(std::uint16_t, ZipSourceFacts&, std::uint32_t&) override {
    std::lock_guard guard(pipeline_.lock_);
    return pipeline_.cancelReason_;
  }
  bool next(const std::uint8_t*&, std::size_t&) override { return false; }
  ZipPreparedEnd end() override { return {.read_result = zip_result::read_file}; }

 private:
  const TEntryPipeline& pipeline_;
};

// One compressor's entry: where the compressor's reads and output go.
struct TEntryPipeline::TCompressCall {
  // The compressor's own output buffer; its size does not change the bytes.
  std::array<std::uint8_t, 16384> buffer;
  TEntryPipeline* pipeline = nullptr;
  TSlot* slot = nullptr;
  TBlock current;                    // input being taken into the window
  std::vector<std::uint8_t> output;  // compressed bytes not yet handed on
  bool cut = false;                  // cancelled or abandoned: the rest is dropped
  ZipResult failure = zip_result::ok;
};

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
  std::lock_guard guard(lock_);
  if (!cancelled_) {
    cancelled_ = true;
    cancelReason_ = reason;
  }
  readersWait_.wake_all();
  compressorsWait_.wake_all();
  writerWait_.wake_all();
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

void TEntryPipeline::Release(std::size_t size) {
  held_ -= size;
  readersWait_.wake_all();
  compressorsWait_.wake_all();
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
  std::lock_guard guard(lock_);
  readersWait_.wait_until(lock_, [this] {
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
  writerWait_.wake_all();
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
  {
    std::lock_guard guard(lock_);
    slot.method = method;
    slot.facts = facts;
    if (!source) slot.openFailure = openFailure;
    slot.opened = true;
    if (!source) {
      slot.inputDone = true;
      slot.outputDone = true;
    }
    compressorsWait_.wake_all();
    writerWait_.wake_all();
  }
  if (!source) return;

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
        if (!ReserveRead(slot, stored, 0)) {
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
          std::lock_guard guard(lock_);
          Release(want);
          throw;
        }
        got = source->Read(block.bytes.get(), std::uint32_t(want), failure);
        if (got == 0) {
          std::lock_guard guard(lock_);
          Release(want);
          break;
        }
      }
      block.size = got;
      crc = crc32_update(crc, block.bytes.get(), got);
      total += got;
      std::lock_guard guard(lock_);
      if (stored) {
        slot.output.push(std::move(block));
        writerWait_.wake_all();
      } else {
        slot.input.push(std::move(block));
        compressorsWait_.wake_all();
      }
    }
  } catch (...) {
    failure = {zip_result::alloc_memory};
  }
  source.reset();  // closed before the entry counts as read

  std::lock_guard guard(lock_);
  slot.crc = crc;
  slot.bytesRead = total;
  slot.readFailure = failure;
  slot.inputDone = true;
  if (stored) slot.outputDone = true;
  compressorsWait_.wake_all();
  writerWait_.wake_all();
}

// Waits until the reader may hold size more bytes of the entry, and charges
// them. False, charging nothing, when the entry is not wanted any more.
bool TEntryPipeline::ReserveRead(TSlot& slot, bool stored, std::size_t size) {
  std::lock_guard guard(lock_);
  readersWait_.wait_until(lock_, [&] {
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
    TSlot* slot = nullptr;
    {
      std::lock_guard guard(lock_);
      slot = TakeForCompressing();
    }
    if (slot == nullptr) return;
    call.slot = slot;
    call.cut = false;
    call.failure = zip_result::ok;
    call.output.clear();
    std::uint16_t internalAttributes = 0;
    std::uint16_t flags = 0;
    compress_entry(*state, {&call, settings_.level, &PullInput, &PushOutput, call.buffer.data(),
                            std::uint32_t(call.buffer.size()), &internalAttributes, &flags});
    Publish(call);
    std::lock_guard guard(lock_);
    if (call.current.bytes) Release(call.current.capacity);
    call.current = {};
    slot->dataOk = state->error == nullptr;
    slot->levelFlags = flags;
    slot->compressResult = call.failure;
    slot->outputDone = true;
    writerWait_.wake_all();
  }
}

// Under the lock: the next deflated entry, in order, once it is open.
TEntryPipeline::TSlot* TEntryPipeline::TakeForCompressing() {
  for (;;) {
    compressorsWait_.wait_until(lock_, [this] {
      // Entries the writer has passed (stored ones) need no compressor.
      nextCompress_ = std::max(nextCompress_, head_);
      return cancelled_ || nextCompress_ >= count_ ||
             (nextCompress_ < nextRead_ && SlotAt(nextCompress_).opened);
    });
    if (cancelled_ || nextCompress_ >= count_) return nullptr;
    TSlot& slot = SlotAt(nextCompress_++);
    if (!slot.openFailure.result && slot.method == kMethodDeflated) {
      slot.compressorTaken = true;
      return &slot;
    }
  }
}

std::uint32_t TEntryPipeline::PullInput(TState& state, std::uint8_t* buffer, std::uint32_t size) {
  TCompressCall& call = *static_cast<TCompressCall*>(state.param);
  TEntryPipeline& self = *call.pipeline;
  TSlot& slot = *call.slot;
  if (call.current.taken == call.current.size) {
    std::lock_guard guard(self.lock_);
    if (call.current.bytes) self.Release(call.current.capacity);
    call.current = {};
    self.compressorsWait_.wait_until(self.lock_, [&] {
      return self.cancelled_ || slot.abandoned || !slot.input.empty() || slot.inputDone;
    });
    if (self.cancelled_ || slot.abandoned) {
      call.cut = true;
      return 0;
    }
    if (slot.input.empty()) return 0;
    call.current = slot.input.pop();
    self.readersWait_.wake_all();
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

// Hands the compressed bytes gathered so far on to the writer, once the
// budget has room for them.
void TEntryPipeline::Publish(TCompressCall& call) {
  const std::size_t size = call.output.size();
  if (size == 0 || call.cut) {
    call.output.clear();
    return;
  }
  TSlot& slot = *call.slot;
  {
    std::lock_guard guard(lock_);
    compressorsWait_.wait_until(lock_, [&] {
      if (cancelled_ || slot.abandoned) return true;
      return IsHead(slot) ? slot.output.bytes() < kHeadAheadBlocks * settings_.block : Fits(size);
    });
    if (cancelled_ || slot.abandoned) {
      call.cut = true;
      call.output.clear();
      return;
    }
    Charge(size);
  }
  TBlock block;
  block.size = block.capacity = size;
  try {
    block.bytes.reset(new std::uint8_t[size]);
  } catch (...) {
    std::lock_guard guard(lock_);
    Release(size);
    call.cut = true;
    call.failure = zip_result::alloc_memory;
    call.output.clear();
    return;
  }
  std::memcpy(block.bytes.get(), call.output.data(), size);
  call.output.clear();
  std::lock_guard guard(lock_);
  slot.output.push(std::move(block));
  writerWait_.wake_all();
}

// --- the writer's side --------------------------------------------------------

ZipPreparedEntry& TEntryPipeline::Entry(std::size_t index) {
  std::lock_guard guard(lock_);
  writerWait_.wait_until(lock_, [&] { return cancelled_ || index < nextRead_; });
  if (index < head_ || index >= nextRead_) return *cancelledEntry_;
  return SlotAt(index);
}

void TEntryPipeline::Done(std::size_t index) {
  std::lock_guard guard(lock_);
  if (index != head_ || index >= nextRead_) return;
  TSlot& slot = SlotAt(index);
  slot.abandoned = true;
  readersWait_.wake_all();
  compressorsWait_.wake_all();
  writerWait_.wait_until(
      lock_, [&] { return slot.inputDone && (!slot.compressorTaken || slot.outputDone); });
  std::size_t held =
      sizeof(TSlot) + slot.input.bytes() + slot.output.bytes() + slot.handed.capacity;
  slots_[slotsFront_].reset();
  ++slotsFront_;
  ++head_;
  // The entries done leave the list now and then, not one by one.
  if (slotsFront_ >= 64 && 2 * slotsFront_ >= slots_.size()) {
    slots_.erase(slots_.begin(), slots_.begin() + std::ptrdiff_t(slotsFront_));
    slotsFront_ = 0;
  }
  Release(held);
  writerWait_.wake_all();
}

ZipResult TEntryPipeline::TSlot::open(std::uint16_t writtenMethod, ZipSourceFacts& sourceFacts,
                                      std::uint32_t& systemError) {
  std::lock_guard guard(pipeline.lock_);
  pipeline.writerWait_.wait_until(pipeline.lock_, [&] { return pipeline.cancelled_ || opened; });
  if (pipeline.cancelled_) return pipeline.cancelReason_;
  if (writtenMethod != method) return zip_result::bad_arguments;
  if (openFailure.result) {
    systemError = openFailure.systemError;
    return openFailure.result;
  }
  sourceFacts = facts;
  return zip_result::ok;
}

bool TEntryPipeline::TSlot::next(const std::uint8_t*& data, std::size_t& size) {
  std::lock_guard guard(pipeline.lock_);
  if (handed.bytes) pipeline.Release(handed.capacity);
  handed = {};
  pipeline.writerWait_.wait_until(
      pipeline.lock_, [&] { return pipeline.cancelled_ || !output.empty() || outputDone; });
  if (pipeline.cancelled_ || output.empty()) return false;
  handed = output.pop();
  // Room for the head's next blocks.
  pipeline.readersWait_.wake_all();
  pipeline.compressorsWait_.wake_all();
  data = handed.bytes.get();
  size = handed.size;
  return true;
}

ZipPreparedEnd TEntryPipeline::TSlot::end() {
  std::lock_guard guard(pipeline.lock_);
  if (handed.bytes) pipeline.Release(handed.capacity);
  handed = {};
  if (pipeline.cancelled_ || !outputDone || !inputDone) {
    abandoned = true;
    pipeline.readersWait_.wake_all();
    pipeline.compressorsWait_.wake_all();
    return {.read_result = pipeline.cancelled_ ? pipeline.cancelReason_ : zip_result::read_file};
  }
  return {.crc = crc,
          .bytes_read = bytesRead,
          .read_result = readFailure.result ? readFailure.result : compressResult,
          .system_error = readFailure.systemError,
          .data_ok = dataOk,
          .level_flags = levelFlags};
}

}  // namespace archive
