#include "app/FailureReason.h"

#include <array>
#include <cstdio>

namespace app {

namespace {

// Each one line at the window's width in English; a longer path is
// shortened in its middle where it is shown.
constexpr std::array<TReasonMessage, 9> kMessages = {{
    {L"M_ReasonNoInstall", L"The Brightkeep install folder was not found."},
    {L"M_ReasonEmptyInstall", L"The install folder holds no files: %s"},
    {L"M_ReasonFolderUnreadable", L"A folder could not be read: %s"},
    {L"M_ReasonFileUnreadable", L"A file could not be read: %s"},
    {L"M_ReasonFileInUse", L"A file is in use by another program: %s"},
    {L"M_ReasonDiskFull", L"The disk is full: %s"},
    {L"M_ReasonTargetGone", L"The target drive is not available: %s"},
    {L"M_ReasonTargetUnwritable", L"The target folder cannot be written: %s"},
    {L"M_ReasonInternal", L"An internal error occurred (code %s)."},
}};

enum : std::size_t {
  kNoInstall,
  kEmptyInstall,
  kFolderUnreadable,
  kFileUnreadable,
  kFileInUse,
  kDiskFull,
  kTargetGone,
  kTargetUnwritable,
  kInternal,
};

// What stands for "%s" in an internal failure: the writer's code, or the
// system's where the writer had none; enough for a report to the maker.
std::wstring InternalCode(const archive::TJobResult& result) {
  wchar_t text[16] = {};
  if (result.zipCode != 0) {
    std::swprintf(text, std::size(text), L"0x%08X", static_cast<unsigned>(result.zipCode));
  } else {
    std::swprintf(text, std::size(text), L"%u", static_cast<unsigned>(result.systemCode));
  }
  return text;
}

}  // namespace

std::span<const TReasonMessage> ReasonMessages() {
  return kMessages;
}

TReasonMessage ReasonMessage(const archive::TJobResult& result) {
  switch (result.kind) {
    case archive::jrSucceeded:
    case archive::jrStopped:
      return {};
    case archive::jrNoSource:
      return kMessages[kNoInstall];
    case archive::jrSourceEmpty:
      return kMessages[kEmptyInstall];
    case archive::jrFolderUnreadable:
      return kMessages[kFolderUnreadable];
    case archive::jrFileUnreadable:
      return kMessages[archive::IsSharingViolation(result.systemCode) ? kFileInUse
                                                                      : kFileUnreadable];
    case archive::jrDiskFull:
      return kMessages[kDiskFull];
    case archive::jrTargetGone:
      return kMessages[kTargetGone];
    case archive::jrTargetUnwritable:
      return kMessages[kTargetUnwritable];
    case archive::jrInternal:
      return kMessages[kInternal];
  }
  return kMessages[kInternal];
}

std::wstring FitPathInMiddle(const std::wstring& path, int width,
                             const std::function<int(const std::wstring&)>& measure) {
  if (measure(path) <= width) return path;
  constexpr std::wstring_view kEllipsis = L"\u2026";
  // As much of the start as fits before the last part, kept whole.
  const auto last = path.find_last_of(L'\\');
  if (last != std::wstring::npos && last > 0) {
    const std::wstring name = path.substr(last);
    for (std::size_t keep = last; keep-- > 0;) {
      std::wstring candidate = path.substr(0, keep) + std::wstring(kEllipsis) + name;
      if (measure(candidate) <= width) return candidate;
    }
  }
  // The last part alone is too long: cut the whole, keeping twice as much
  // of its end as of its start.
  for (std::size_t keep = path.size(); keep-- > 0;) {
    const std::size_t head = keep / 3;
    std::wstring candidate =
        path.substr(0, head) + std::wstring(kEllipsis) + path.substr(path.size() - (keep - head));
    if (measure(candidate) <= width) return candidate;
  }
  return std::wstring(kEllipsis);
}

TReasonLine FailureReasonLine(const archive::TJobResult& result, const TMessageLookup& message) {
  const TReasonMessage reason = ReasonMessage(result);
  if (reason.key.empty()) return {};
  const std::wstring text = message(reason.key, reason.english);
  // The first "%s" only: a file name may hold those two characters itself.
  const auto at = text.find(L"%s");
  if (at == std::wstring::npos) return {text, {}, {}};
  if (result.kind == archive::jrInternal) {
    return {text.substr(0, at) + InternalCode(result) + text.substr(at + 2), {}, {}};
  }
  return {text.substr(0, at), result.path, text.substr(at + 2)};
}

}  // namespace app
