#include "archive/JobResult.h"

#include <algorithm>
#include <array>

#include "archive/ZipResult.h"

namespace archive {

namespace {

// Windows error codes, by value: this file stays free of OS headers.

// The disk (or the user's quota on it) has no room left.
constexpr std::array<std::uint32_t, 2> kDiskFull = {
    112,  // ERROR_DISK_FULL
    39,   // ERROR_HANDLE_DISK_FULL
};

// The medium or the connection to it went away while the archive was
// written: a removed USB stick, an ejected card, a share that dropped.
constexpr std::array<std::uint32_t, 11> kDriveGone = {
    21,    // ERROR_NOT_READY: no medium, or a removed drive
    15,    // ERROR_INVALID_DRIVE
    55,    // ERROR_DEV_NOT_EXIST
    1167,  // ERROR_DEVICE_NOT_CONNECTED
    1617,  // ERROR_DEVICE_REMOVED
    1112,  // ERROR_NO_MEDIA_IN_DRIVE
    1110,  // ERROR_MEDIA_CHANGED
    1006,  // ERROR_FILE_INVALID: the volume was changed under an open file
    64,    // ERROR_NETNAME_DELETED
    53,    // ERROR_BAD_NETPATH
    59,    // ERROR_UNEXP_NET_ERR
};

// Another program holds the file in a way that keeps readers or writers out.
constexpr std::array<std::uint32_t, 2> kSharing = {
    32,  // ERROR_SHARING_VIOLATION
    33,  // ERROR_LOCK_VIOLATION
};

template <std::size_t N>
bool IsOneOf(const std::array<std::uint32_t, N>& codes, std::uint32_t code) {
  return std::find(codes.begin(), codes.end(), code) != codes.end();
}

// The kind a failure on the target's side has, by its system code.
TJobResultKind TargetKind(std::uint32_t systemCode) {
  if (IsOneOf(kDiskFull, systemCode)) return jrDiskFull;
  if (IsOneOf(kDriveGone, systemCode)) return jrTargetGone;
  return jrTargetUnwritable;
}

}  // namespace

bool IsSharingViolation(std::uint32_t systemCode) {
  return IsOneOf(kSharing, systemCode);
}

TJobResult TargetFailure(std::uint32_t systemCode, const std::wstring& targetFolder) {
  return {TargetKind(systemCode), targetFolder, 0, systemCode};
}

TJobResult WriterFailure(TWriterStep step, std::uint32_t zipCode, std::uint32_t systemCode,
                         const std::wstring& sourcePath, const std::wstring& targetFolder) {
  // A full disk is the disk's fault whatever the writer was doing: reading a
  // source never fills one.
  if (IsOneOf(kDiskFull, systemCode)) return {jrDiskFull, targetFolder, zipCode, systemCode};
  switch (zipCode) {
    case zip_result::open_file:
    case zip_result::read_file:
      // While adding, these come from the source; creating, from the target.
      if (step == TWriterStep::add) return {jrFileUnreadable, sourcePath, zipCode, systemCode};
      return {TargetKind(systemCode), targetFolder, zipCode, systemCode};
    case zip_result::write_file:
    case zip_result::previous_error:
    case zip_result::unseekable:
      return {TargetKind(systemCode), targetFolder, zipCode, systemCode};
    default:
      // Allocation failures, bad arguments and the writer's own faults: the
      // user can do nothing about the target or the install for these.
      return {jrInternal, std::wstring(), zipCode, systemCode};
  }
}

}  // namespace archive
