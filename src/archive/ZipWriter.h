// The zip writer: builds one zip archive, entry by entry, into a file, an
// open file handle or a block of memory. Each entry is deflated, or stored
// when its name says the data is compressed already, and may be encrypted
// with the traditional zip encryption when the archive has a password.
//
// The interface is a set of plain operations on an opaque handle that report
// every outcome as a result code (0 for success, texts from
// zip_result_text); nothing throws across it. One handle is used by one
// thread at a time.
#pragma once

#include <windows.h>

#include <atomic>
#include <cstdint>

using ZipResult = std::uint32_t;

// Result codes, grouped by byte: general failures, failures caused by the
// caller, failures inside the writer.
namespace zip_result {
inline constexpr ZipResult ok = 0x00000000;
inline constexpr ZipResult duplicate_handle = 0x00000100;
inline constexpr ZipResult open_file = 0x00000200;
inline constexpr ZipResult alloc_memory = 0x00000300;
inline constexpr ZipResult write_file = 0x00000400;
inline constexpr ZipResult not_found = 0x00000500;
inline constexpr ZipResult more_data = 0x00000600;
inline constexpr ZipResult corrupt = 0x00000700;
inline constexpr ZipResult read_file = 0x00000800;
inline constexpr ZipResult bad_arguments = 0x00010000;
inline constexpr ZipResult not_memory = 0x00020000;
inline constexpr ZipResult memory_size = 0x00030000;
inline constexpr ZipResult previous_error = 0x00040000;
inline constexpr ZipResult ended = 0x00050000;
inline constexpr ZipResult size_mismatch = 0x00060000;
inline constexpr ZipResult partially_unzipped = 0x00070000;
inline constexpr ZipResult mixed_mode = 0x00080000;
inline constexpr ZipResult not_initialised = 0x01000000;
inline constexpr ZipResult unseekable = 0x02000000;
inline constexpr ZipResult size_changed = 0x04000000;
inline constexpr ZipResult flate_error = 0x05000000;
// Given to zip_result_text, stands for zip_last_result.
inline constexpr ZipResult last = 0x00000001;
}  // namespace zip_result

struct TZip;

// What the create operations hand out. The kind tells a writer's handle
// from a reader's; this module only makes writers.
struct ZipHandleRecord {
  std::int32_t kind;
  TZip* zip;
};
using ZipHandle = ZipHandleRecord*;
inline constexpr std::int32_t kZipHandleWriter = 2;

// The result of the most recent operation of any handle in the process.
extern ZipResult zip_last_result;

// Creates (or truncates) the archive file. Null on failure, with the reason
// in zip_last_result. A null or empty password means no encryption.
ZipHandle zip_create_file(const wchar_t* path, const char* password) noexcept;
// Writes at the handle's current position; the handle stays the caller's.
ZipHandle zip_create_handle(HANDLE file, const char* password) noexcept;
// An archive in memory of at most size - 1 bytes: in the caller's buffer, or
// with a null buffer in a zero-filled block the writer obtains and frees.
ZipHandle zip_create_memory(void* buffer, std::uint32_t size, const char* password) noexcept;

ZipResult zip_add_file(ZipHandle handle, const wchar_t* name, const wchar_t* path) noexcept;
ZipResult zip_add_handle(ZipHandle handle, const wchar_t* name, HANDLE file) noexcept;
// As zip_add_handle; the size counts only for a handle that cannot seek (0: unknown).
ZipResult zip_add_handle_sized(ZipHandle handle, const wchar_t* name, HANDLE file,
                               std::uint32_t size) noexcept;
ZipResult zip_add_memory(ZipHandle handle, const wchar_t* name, const void* data,
                         std::uint32_t length) noexcept;
ZipResult zip_add_folder(ZipHandle handle, const wchar_t* name) noexcept;

// Lets a flag that another thread may set end the add under way: once it is
// set, the next read of the source ends that add with read_file, so a stop
// takes at most one read however large the file (null: no such flag). The
// flag must outlive the handle or the next call of this function.
void zip_set_stop_flag(ZipHandle handle, const std::atomic<bool>* stop) noexcept;

// Ends the archive if needed and gives the memory archive's bytes, valid
// until zip_close.
ZipResult zip_get_memory(ZipHandle handle, void** data, std::uint32_t* length) noexcept;

// Ends the archive if needed, releases everything and destroys the handle.
ZipResult zip_close(ZipHandle handle) noexcept;

// Copies at most size - 1 characters of the code's text and a NUL; answers
// the full text's length. A null buffer or size 0 copies nothing.
std::uint32_t zip_result_text(ZipResult code, char* buffer, std::uint32_t size) noexcept;
