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

#include <cstdint>

#include "archive/ZipPrepared.h"
#include "archive/ZipResult.h"

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
// Adds an entry whose data was read, and compressed unless the name says it
// is stored, elsewhere (see ZipPrepared.h): the archive gets the bytes that
// zip_add_file gives for the same file, and the add the same result.
ZipResult zip_add_prepared(ZipHandle handle, const wchar_t* name, ZipPreparedEntry& entry) noexcept;

// Ends the archive if needed and gives the memory archive's bytes, valid
// until zip_close.
ZipResult zip_get_memory(ZipHandle handle, void** data, std::uint32_t* length) noexcept;

// Ends the archive if needed, releases everything and destroys the handle.
ZipResult zip_close(ZipHandle handle) noexcept;

// The Windows error code behind the failure of this thread's most recent
// operation: 0 when it succeeded or when no system call failed (a bad
// argument, a fault of the writer). Where the result code says only that
// writing failed, this tells a full disk from a removed drive or a folder
// without rights. Kept per thread, so that handles on other threads do not
// overwrite it.
std::uint32_t zip_last_system_error() noexcept;

// Copies at most size - 1 characters of the code's text and a NUL; answers
// the full text's length. A null buffer or size 0 copies nothing.
std::uint32_t zip_result_text(ZipResult code, char* buffer, std::uint32_t size) noexcept;
