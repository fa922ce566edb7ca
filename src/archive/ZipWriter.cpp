#include "archive/ZipWriter.h"

#include <bcrypt.h>

#include <algorithm>
#include <array>
#include <cstring>
#include <memory>
#include <string_view>

#include "archive/ZipNames.h"
#include "archive/ZipOutput.h"
#include "archive/ZipSource.h"
#include "archive/ZipState.h"

ZipResult zip_last_result = zip_result::ok;

namespace {

thread_local std::uint32_t t_system_error = 0;

using archive::ZipEntry;

constexpr std::int32_t kDeflateLevel = 8;

// Room for small writes to a file that wait to go out together.
constexpr std::size_t kPendingCapacity = 4 * kZipBufferSize;

// Worst growth of deflated data over its input (stored blocks cost five
// bytes per block, the trees a few hundred): an entry whose source comes this
// close to 4 GiB gets room for 64-bit sizes in its local header up front.
constexpr std::uint64_t kDeflateGrowthDivisor = 256;
constexpr std::uint64_t kDeflateGrowthSlack = 65536;

struct ResultText {
  ZipResult code;
  std::string_view text;
};

// The texts callers show or log; the misspelt one for 0x100 is what callers
// of this interface have always received, so it stays as it is.
constexpr std::array<ResultText, 22> kResultTexts = {{
    {zip_result::ok, "Success"},
    {zip_result::duplicate_handle, "Culdn't duplicate handle"},
    {zip_result::open_file, "Couldn't create/open file"},
    {zip_result::alloc_memory, "Failed to allocate memory"},
    {zip_result::write_file, "Error writing to file"},
    {zip_result::not_found, "File not found in the zipfile"},
    {zip_result::more_data, "Still more data to unzip"},
    {zip_result::corrupt, "Zipfile is corrupt or not a zipfile"},
    {zip_result::read_file, "Error reading file"},
    {zip_result::bad_arguments, "Caller: faulty arguments"},
    {zip_result::not_memory, "Caller: can only get memory of a memory zipfile"},
    {zip_result::memory_size, "Caller: not enough space allocated for memory zipfile"},
    {zip_result::previous_error, "Caller: there was a previous error"},
    {zip_result::ended, "Caller: additions to the zip have already been ended"},
    {zip_result::size_mismatch, "Zip-bug: the anticipated size turned out wrong"},
    {zip_result::partially_unzipped, "Caller: the file had already been partially unzipped"},
    {zip_result::mixed_mode, "Caller: mixing creation and opening of zip"},
    {zip_result::not_initialised, "Zip-bug: internal initialisation not completed"},
    {zip_result::unseekable, "Zip-bug: trying to seek the unseekable"},
    {zip_result::size_changed, "Zip-bug: tried to change mind, but not allowed"},
    {zip_result::flate_error, "Zip-bug: an internal error during flation"},
    {0xFFFFFFFF, "unknown zip result code"},
}};

std::string_view result_text(ZipResult code) {
  auto found = std::find_if(kResultTexts.begin(), kResultTexts.end() - 1,
                            [code](const ResultText& t) { return t.code == code; });
  return found->text;
}

ZipResult check_handle(ZipHandle handle, TZip*& zip) noexcept {
  if (!handle) return zip_result::bad_arguments;
  if (handle->kind != kZipHandleWriter) return zip_result::mixed_mode;
  zip = handle->zip;
  return zip_result::ok;
}

// --- the compressor's callbacks -----------------------------------------

std::uint32_t zip_read_source(TState& state, std::uint8_t* buffer, std::uint32_t size) {
  return zip_read_source_bytes(*static_cast<TZip*>(state.param), buffer, size);
}

bool zip_flush_output(void* param, const std::uint8_t* buffer, std::uint32_t* count) {
  if (*count == 0) return true;
  TZip& zip = *static_cast<TZip*>(param);
  std::size_t done = zip_write(zip, buffer, *count);
  zip.data_size += done;
  bool all = done == *count;
  if (!all && !zip.out_error) zip.out_error = zip_result::write_file;
  // Always taken, even when the write failed: the failure is recorded above,
  // and an encoder whose buffer never empties would write past its end.
  *count = 0;
  return all;
}

// --- the data of one entry ------------------------------------------------

bool deflate_data(TZip& zip, ZipEntry& entry) {
  if (!zip.compressor) zip.compressor = std::make_unique<TState>();
  TState& state = *zip.compressor;
  compress_entry(state, {&zip, kDeflateLevel, zip_read_source, zip_flush_output, zip.buffer.data(),
                         kZipBufferSize, &entry.internal_attributes, &entry.flags});
  return state.error == nullptr;
}

bool store_data(TZip& zip) {
  for (;;) {
    // Chunks end where the output reaches a multiple of the buffer size:
    // writes that start mid-page cost the file system about a third more.
    std::uint64_t at = zip.base_offset + zip.written + zip.data_size;
    std::uint32_t want = kZipBufferSize - std::uint32_t(at % kZipBufferSize);
    std::uint32_t got = zip_read_source_bytes(zip, zip.buffer.data(), want);
    if (got == 0) return true;
    std::size_t done = zip_write(zip, zip.buffer.data(), got);
    zip.data_size += done;
    if (done != got) return false;
  }
}

// Data read and compressed elsewhere, written as it comes; the source's
// CRC, length and read failure come with its end. After a failed write the
// rest is not asked for: the add fails whatever it holds.
bool prepared_data(TZip& zip, ZipEntry& entry) {
  ZipPreparedEntry& prepared = *zip.src_prepared;
  const std::uint8_t* data = nullptr;
  std::size_t size = 0;
  bool whole = true;
  while (whole && prepared.next(data, size)) {
    std::size_t done = zip_write(zip, data, size);
    zip.data_size += done;
    whole = done == size;
  }
  const ZipPreparedEnd end = prepared.end();
  if (end.read_result) zip_note_system_error(end.system_error);
  zip.src_crc = end.crc;
  zip.src_read = end.bytes_read;
  zip.src_error = end.read_result;
  entry.flags |= end.level_flags;
  return whole && end.data_ok;
}

bool write_bytes(TZip& zip, const archive::Bytes& bytes) {
  std::size_t done = zip_write(zip, bytes.data(), bytes.size());
  zip.written += done;
  return done == bytes.size();
}

// The 12 bytes that start an encrypted entry's data: 11 random bytes so that
// equal entries encrypt differently, then a check byte that lets a reader
// tell a wrong password (the high byte of the DOS time, since the sizes and
// CRC follow the data).
ZipResult write_encryption_header(TZip& zip, const ZipEntry& entry) {
  std::array<std::uint8_t, archive::kEncryptionHeaderSize> header;
  if (!BCRYPT_SUCCESS(BCryptGenRandom(nullptr, header.data(), ULONG(header.size() - 1),
                                      BCRYPT_USE_SYSTEM_PREFERRED_RNG))) {
    return zip_result::not_initialised;
  }
  header.back() = std::uint8_t(entry.dos_time >> 8);
  zip.keys.emplace(zip.password);
  zip.encrypting = true;
  bool whole = write_bytes(zip, archive::Bytes(header.begin(), header.end()));
  return whole ? zip_result::ok : zip_result::write_file;
}

// --- adding an entry ------------------------------------------------------

bool may_reach_4gib(std::int64_t size, std::uint16_t method, bool encrypted) {
  if (size < 0) return false;
  std::uint64_t worst = std::uint64_t(size) + (encrypted ? archive::kEncryptionHeaderSize : 0);
  if (method == archive::kMethodDeflated) {
    worst += std::uint64_t(size) / kDeflateGrowthDivisor + kDeflateGrowthSlack;
  }
  return worst >= archive::kMax32;
}

// The entry as its local header first announces it: sizes follow the data.
ZipEntry new_entry(const TZip& zip, std::string name, std::uint16_t method, bool encrypted) {
  ZipEntry entry;
  entry.name = std::move(name);
  entry.flags = archive::kFlagDataDescriptor;
  if (encrypted) entry.flags |= archive::kFlagEncrypted;
  if (archive::needs_utf8_flag(entry.name)) entry.flags |= archive::kFlagUtf8Name;
  entry.local_flags = entry.flags;
  entry.method = method;
  entry.dos_time = zip.src.dos_time;
  if (method == archive::kMethodStored && zip.src.size >= 0) {
    entry.compressed_size =
        std::uint64_t(zip.src.size) + (encrypted ? archive::kEncryptionHeaderSize : 0);
  }
  entry.uncompressed_size = zip.src.size >= 0 ? std::uint64_t(zip.src.size) : archive::kMax32;
  entry.external_attributes = zip.src.attributes;
  entry.local_offset = zip.written + zip.base_offset;
  entry.local_zip64 = may_reach_4gib(zip.src.size, method, encrypted);
  if (entry.local_zip64 || entry.local_offset >= archive::kMax32) {
    entry.version_needed = archive::kVersionNeededZip64;
  }
  archive::set_timestamps(entry, zip.src.mtime, zip.src.atime, zip.src.ctime);
  return entry;
}

// Puts the real CRC and sizes where readers find them: into the local
// header when the output can seek back to it, else into a data descriptor.
ZipResult seal_entry(TZip& zip, ZipEntry& entry, bool encrypted, std::uint64_t announced_size) {
  entry.crc = zip.src_crc;
  entry.compressed_size = zip.data_size + (encrypted ? archive::kEncryptionHeaderSize : 0);
  entry.uncompressed_size = zip.src_read;
  bool wide =
      entry.compressed_size >= archive::kMax32 || entry.uncompressed_size >= archive::kMax32;
  if (wide && !entry.local_zip64) return zip_result::write_file;  // no room to describe it

  if (zip.can_seek && !encrypted) {
    entry.flags &= std::uint16_t(~archive::kFlagDataDescriptor);
    entry.local_flags = entry.flags;
    archive::Bytes header;
    archive::append_local_header(header, entry);
    const std::uint64_t at = entry.local_offset - zip.base_offset;
    if (zip_rewrite_pending(zip, at, header.data(), header.size())) return zip_result::ok;
    if (!zip_seek(zip, at)) return zip_result::unseekable;
    bool whole = zip_write(zip, header.data(), header.size()) == header.size();
    if (!zip_seek(zip, zip.written)) return zip_result::unseekable;
    return whole ? zip_result::ok : zip_result::write_file;
  }
  if (entry.method == archive::kMethodStored && entry.compressed_size != announced_size) {
    return zip_result::size_changed;
  }
  archive::Bytes descriptor;
  archive::append_data_descriptor(descriptor, entry);
  if (!write_bytes(zip, descriptor)) return zip_result::write_file;
  entry.flags = entry.local_flags;
  return zip_result::ok;
}

ZipResult add_entry(TZip& zip, const wchar_t* name, const ZipSource& source) {
  if (zip.out_error) return zip_result::previous_error;
  if (zip.ended) return zip_result::ended;
  if (!name || !*name) return zip_result::bad_arguments;
  std::wstring converted = archive::zip_separators(name);
  bool folder = source.kind == ZipSource::Kind::folder;
  if (folder && !converted.ends_with(L'/')) converted += L'/';
  std::uint16_t method = folder || archive::zip_store_test(converted) ? archive::kMethodStored
                                                                      : archive::kMethodDeflated;
  if (ZipResult r = zip_open_source(zip, source, method)) return r;
  auto utf8 = archive::utf8_from_wide(converted);
  if (!utf8 || utf8->size() > archive::kMaxEntryNameBytes) return zip_result::bad_arguments;

  bool encrypted = !zip.password.empty() && !folder;
  // Stored data of unknown size behind a header that will never be patched
  // could only end in a wrong announced size: refuse it before any byte.
  bool patchable = zip.can_seek && !encrypted;
  if (method == archive::kMethodStored && zip.src.size < 0 && !patchable) {
    return zip_result::size_changed;
  }
  ZipEntry entry = new_entry(zip, std::move(*utf8), method, encrypted);
  std::uint64_t announced_size = entry.compressed_size;
  archive::Bytes header;
  archive::append_local_header(header, entry);
  zip.entry_start = zip.written;
  if (!write_bytes(zip, header)) return zip_result::write_file;
  if (zip.out_error) return zip.out_error;
  if (encrypted) {
    if (ZipResult r = write_encryption_header(zip, entry)) return r;
  }

  zip.data_size = 0;
  bool data_ok = true;
  if (zip.src_prepared) {
    data_ok = prepared_data(zip, entry);
  } else if (!folder) {
    data_ok = method == archive::kMethodDeflated ? deflate_data(zip, entry) : store_data(zip);
  }
  zip.encrypting = false;
  zip_close_source(zip);
  zip.src.size = std::int64_t(zip.src_read);
  zip.written += zip.data_size;
  if (zip.out_error) return zip.out_error;
  if (zip.src_error) return zip.src_error;
  if (!data_ok) return zip_result::write_file;

  if (ZipResult r = seal_entry(zip, entry, encrypted, announced_size)) return r;
  // Written out before the add answers, so that its result tells.
  if (!zip_flush(zip) && !zip.out_error) return zip_result::write_file;
  if (zip.out_error) return zip.out_error;
  zip.entries.push_back(std::move(entry));
  return zip_result::ok;
}

ZipResult add(ZipHandle handle, const wchar_t* name, const ZipSource& source) noexcept {
  zip_clear_system_error();
  TZip* zip = nullptr;
  ZipResult r = check_handle(handle, zip);
  if (r) return zip_last_result = r;
  try {
    r = add_entry(*zip, name, source);
  } catch (...) {  // only allocations throw here
    r = zip_result::alloc_memory;
  }
  zip->encrypting = false;
  zip_close_source(*zip);
  if (r && zip->entry_start) zip_cut_back(*zip, *zip->entry_start);
  zip->entry_start.reset();
  if (!zip_flush(*zip) && !r) r = zip_result::write_file;
  return zip_last_result = r;
}

// --- ending the archive ---------------------------------------------------

ZipResult end_archive(TZip& zip) {
  std::uint64_t start = zip.written;
  bool failed = false;
  archive::Bytes record;
  for (const ZipEntry& entry : zip.entries) {
    record.clear();
    archive::append_central_header(record, entry);
    if (!failed) failed = !write_bytes(zip, record);
  }
  if (!failed) failed = !zip_flush(zip);
  std::uint64_t count = zip.entries.size();
  zip.entries.clear();
  zip.entries.shrink_to_fit();
  ZipResult r = zip_result::ok;
  if (failed) {
    r = zip_result::write_file;
  } else {
    record.clear();
    archive::append_end_records(record, count, zip.written - start, start + zip.base_offset);
    if (!write_bytes(zip, record) || !zip_flush(zip)) r = zip_result::write_file;
  }
  zip.ended = true;
  return r;
}

// The central directory and end records, unless an earlier call wrote them.
ZipResult end_unless_ended(TZip& zip) noexcept {
  if (zip.ended) return zip_result::ok;
  try {
    return end_archive(zip);
  } catch (...) {
    return zip_result::alloc_memory;
  }
}

ZipHandle make_handle(std::unique_ptr<TZip> zip) {
  // The handle owns the state from here until zip_close.
  auto handle = std::make_unique<ZipHandleRecord>(ZipHandleRecord{kZipHandleWriter, zip.release()});
  return handle.release();
}

template <typename Open>
ZipHandle create(const char* password, Open open) noexcept {
  zip_clear_system_error();
  try {
    auto zip = std::make_unique<TZip>();
    if (password) zip->password = password;
    ZipResult r = open(*zip);
    zip_last_result = r;
    return r ? nullptr : make_handle(std::move(zip));
  } catch (...) {
    zip_last_result = zip_result::alloc_memory;
    return nullptr;
  }
}

}  // namespace

void zip_note_system_error() noexcept {
  // Read before the thread-local is touched: reaching it may go through
  // TlsGetValue, which clears the last error when it succeeds.
  const DWORD why = GetLastError();
  if (t_system_error == 0) t_system_error = why;
}

void zip_note_system_error(std::uint32_t code) noexcept {
  if (t_system_error == 0) t_system_error = code;
}

// Every operation starts without a reason; its first failing system call
// gives it one.
void zip_clear_system_error() noexcept {
  t_system_error = 0;
}

std::uint32_t zip_last_system_error() noexcept {
  return t_system_error;
}

ZipHandle zip_create_file(const wchar_t* path, const char* password) noexcept {
  return create(password, [path](TZip& zip) {
    if (!path) return zip_result::bad_arguments;
    zip.owned_out.reset(CreateFileW(zip_long_path(path).c_str(), GENERIC_WRITE, 0, nullptr,
                                    CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!zip.owned_out) {
      zip_note_system_error();
      return zip_result::open_file;
    }
    zip.out_handle = zip.owned_out.get();
    zip.can_seek = true;
    zip.pending.reserve(kPendingCapacity);
    return zip_result::ok;
  });
}

ZipHandle zip_create_handle(HANDLE file, const char* password) noexcept {
  return create(password, [file](TZip& zip) {
    if (!file || file == INVALID_HANDLE_VALUE) return zip_result::bad_arguments;
    zip.out_handle = file;
    LARGE_INTEGER position{};
    zip.can_seek = zip_can_seek(file, &position);
    zip.base_offset = zip.can_seek ? std::uint64_t(position.QuadPart) : 0;
    zip.pending.reserve(kPendingCapacity);
    return zip_result::ok;
  });
}

ZipHandle zip_create_memory(void* buffer, std::uint32_t size, const char* password) noexcept {
  return create(password, [buffer, size](TZip& zip) {
    if (size == 0) return zip_result::memory_size;
    if (buffer) {
      zip.mem_data = static_cast<std::uint8_t*>(buffer);
    } else {
      zip.out_map = std::make_unique<std::uint8_t[]>(size);  // failing, it answers 0x300
      zip.mem_data = zip.out_map.get();
    }
    zip.mem_size = size;
    zip.can_seek = true;
    return zip_result::ok;
  });
}

ZipResult zip_add_file(ZipHandle handle, const wchar_t* name, const wchar_t* path) noexcept {
  return add(handle, name, {.kind = ZipSource::Kind::file, .path = path});
}

ZipResult zip_add_handle(ZipHandle handle, const wchar_t* name, HANDLE file) noexcept {
  return add(handle, name, {.kind = ZipSource::Kind::handle, .handle = file});
}

ZipResult zip_add_handle_sized(ZipHandle handle, const wchar_t* name, HANDLE file,
                               std::uint32_t size) noexcept {
  return add(handle, name, {.kind = ZipSource::Kind::handle, .handle = file, .given_size = size});
}

ZipResult zip_add_memory(ZipHandle handle, const wchar_t* name, const void* data,
                         std::uint32_t length) noexcept {
  return add(handle, name, {.kind = ZipSource::Kind::memory, .data = data, .length = length});
}

ZipResult zip_add_folder(ZipHandle handle, const wchar_t* name) noexcept {
  return add(handle, name, {.kind = ZipSource::Kind::folder});
}

ZipResult zip_add_prepared(ZipHandle handle, const wchar_t* name,
                           ZipPreparedEntry& entry) noexcept {
  return add(handle, name, {.kind = ZipSource::Kind::prepared, .prepared = &entry});
}

ZipResult zip_get_memory(ZipHandle handle, void** data, std::uint32_t* length) noexcept {
  zip_clear_system_error();
  TZip* zip = nullptr;
  ZipResult r = check_handle(handle, zip);
  if (r) {
    if (data) *data = nullptr;
    if (length) *length = 0;
    return zip_last_result = r;
  }
  // A directory that could not be written is reported: the bytes handed
  // out would otherwise pass for a complete archive.
  ZipResult ending = end_unless_ended(*zip);
  if (data) *data = zip->mem_data;
  if (length) *length = std::uint32_t(zip->written);
  return zip_last_result = zip->mem_data ? ending : zip_result::not_memory;
}

ZipResult zip_close(ZipHandle handle) noexcept {
  zip_clear_system_error();
  TZip* zip = nullptr;
  ZipResult r = check_handle(handle, zip);
  if (r) return zip_last_result = r;
  std::unique_ptr<ZipHandleRecord> owned_handle(handle);
  std::unique_ptr<TZip> owned_zip(zip);
  return zip_last_result = end_unless_ended(*zip);
}

std::uint32_t zip_result_text(ZipResult code, char* buffer, std::uint32_t size) noexcept {
  std::string_view text = result_text(code == zip_result::last ? zip_last_result : code);
  if (buffer && size > 0) {
    std::size_t n = std::min<std::size_t>(text.size(), size - 1);
    std::memcpy(buffer, text.data(), n);
    buffer[n] = '\0';
  }
  return std::uint32_t(text.size());
}
