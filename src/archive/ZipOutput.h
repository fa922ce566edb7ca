// Where the archive's bytes go: a file or handle, or a memory block. Every
// byte of the archive passes the output routine, which also encrypts while
// an encrypted entry's data is written. A failure is recorded in the state's
// out_error, so that the add that met it fails and later adds are refused.
#pragma once

#include <cstddef>
#include <cstdint>

#include "archive/ZipState.h"

// Writes the bytes and answers how many reached the output.
std::size_t zip_write(TZip& zip, const void* data, std::size_t size) noexcept;

// Writes what small writes to a file left waiting; false when it could not
// all be written (out_error then tells why).
bool zip_flush(TZip& zip) noexcept;

// Overwrites bytes that still wait to be written, when all of them do: a
// small entry's local header is patched without a seek. False otherwise.
bool zip_rewrite_pending(TZip& zip, std::uint64_t position, const void* data,
                         std::size_t size) noexcept;

// Positions the output at an archive offset (counted from base_offset).
bool zip_seek(TZip& zip, std::uint64_t position) noexcept;

// Forgets everything from an archive offset on: a seekable output is cut
// back there, so that a failed entry leaves no bytes behind. When it cannot
// be cut, the output stays where the archive ends (or, if it cannot be put
// back there either, the archive fails).
void zip_cut_back(TZip& zip, std::uint64_t position) noexcept;

// Reads from a source through the current file layer.
BOOL zip_file_read(HANDLE file, void* buffer, DWORD size, DWORD* done) noexcept;

// Whether a handle is a disk file that can seek; position, when given,
// receives its current offset.
bool zip_can_seek(HANDLE file, LARGE_INTEGER* position) noexcept;
