// The file calls through which the zip writer moves entry data: reading
// sources, writing the archive and cutting it back after a failed entry.
// They are replaceable so that tests can make a disk fill up, a read fail at
// a chosen byte or a file refuse to shrink, which no real file system does
// on demand.
#pragma once

#include <windows.h>

struct ZipFileLayer {
  BOOL(WINAPI* read)(HANDLE file, LPVOID buffer, DWORD size, LPDWORD done, LPOVERLAPPED overlapped);
  BOOL(WINAPI* write)
  (HANDLE file, LPCVOID buffer, DWORD size, LPDWORD done, LPOVERLAPPED overlapped);
  BOOL(WINAPI* set_end)(HANDLE file) = SetEndOfFile;
};

// Process-wide; the system calls are the default.
void zip_use_file_layer(const ZipFileLayer& layer) noexcept;
void zip_use_system_files() noexcept;
