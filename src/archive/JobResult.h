// How a generation ended, as data: whether the archive is in place, and if
// not, why (what kind of failure, which file or folder, and the codes behind
// it). The job fills it from its own checks and from the zip writer's result
// codes; the window chooses the words, in the user's language. Nothing here
// is text for the user, so the job never has to know a language.
//
// No OS calls: the classification is plain code, tested on its own.
#pragma once

#include <cstdint>
#include <string>
#include <utility>

namespace archive {

enum TJobResultKind : std::uint8_t {
  jrSucceeded,
  // The user stopped the job; nothing was written.
  jrStopped,
  // The install folder is unknown, or is not an existing folder. path: the
  // folder as the job was given it (may be empty).
  jrNoSource,
  // The install folder holds no files at all. path: the folder.
  jrSourceEmpty,
  // A folder below the install folder could not be listed. path: relative
  // to the install folder.
  jrFolderUnreadable,
  // A file below the install folder could not be opened or read (a
  // sharing violation: another program holds it). path: relative to the
  // install folder.
  jrFileUnreadable,
  // The target's disk has no room left. path: the target's folder.
  jrDiskFull,
  // The target's drive went away (a removed USB stick, a lost share).
  // path: the target's folder.
  jrTargetGone,
  // The archive could not be created, written or put in place for another
  // reason (no rights, a read-only medium, the old archive held open).
  // path: the target's folder.
  jrTargetUnwritable,
  // Anything else: a fault inside the tool or no memory. path: empty.
  jrInternal,
};

struct TJobResult {
  TJobResult() = default;
  TJobResult(TJobResultKind kind, std::wstring path = {}, std::uint32_t zipCode = 0,
             std::uint32_t systemCode = 0)
      : kind(kind), path(std::move(path)), zipCode(zipCode), systemCode(systemCode) {}

  TJobResultKind kind = jrSucceeded;
  std::wstring path;
  // The zip writer's result code, 0 when the failure was the job's own.
  std::uint32_t zipCode = 0;
  // The Windows error code behind the failure, 0 when there was none.
  std::uint32_t systemCode = 0;

  bool Succeeded() const { return kind == jrSucceeded; }
};

// Where in the job a writer call failed: on the target's side (creating or
// ending the archive) or while a source file was added.
enum class TWriterStep : std::uint8_t { create, add, close };

// The result for a failed writer call. sourcePath is the file being added
// (relative to the install folder), targetFolder the folder of the target.
TJobResult WriterFailure(TWriterStep step, std::uint32_t zipCode, std::uint32_t systemCode,
                         const std::wstring& sourcePath, const std::wstring& targetFolder);

// The result for a failed system call on the target's side (its folder not
// made, the finished archive not put in place).
TJobResult TargetFailure(std::uint32_t systemCode, const std::wstring& targetFolder);

// Windows error codes that mean "held by another program": a file that is
// in use rather than missing or forbidden.
bool IsSharingViolation(std::uint32_t systemCode);

}  // namespace archive
