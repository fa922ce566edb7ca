// The one short line under the failure text that says why a generation
// failed, in the user's language: the job hands over what went wrong as
// data (archive::TJobResult), and this chooses the words. Each kind has a
// message key with an English default; "%s" in a text stands for the file
// or folder concerned.
#pragma once

#include <functional>
#include <span>
#include <string>
#include <string_view>

#include "archive/JobResult.h"

namespace app {

// A message key and its English default, as the language files carry it.
struct TReasonMessage {
  std::wstring_view key;
  std::wstring_view english;
};

// The message for a result; a success or a stop has none (empty key).
TReasonMessage ReasonMessage(const archive::TJobResult& result);

// Every reason message, for the language files' checks.
std::span<const TReasonMessage> ReasonMessages();

using TMessageLookup =
    std::function<std::wstring(std::wstring_view key, std::wstring_view defaultText)>;

// A reason line in its parts, so that the window can shorten the path alone
// and keep the words whole.
struct TReasonLine {
  std::wstring before;
  std::wstring path;
  std::wstring after;

  std::wstring Text() const { return before + path + after; }
};

// The reason line for a result; all empty for a success or a stop.
TReasonLine FailureReasonLine(const archive::TJobResult& result, const TMessageLookup& message);

// path shortened in its middle until measure() finds it no wider than
// width: the start of the path, "…", and its end, which names the file and
// so is kept whole where it fits.
std::wstring FitPathInMiddle(const std::wstring& path, int width,
                             const std::function<int(const std::wstring&)>& measure);

inline std::wstring FailureReasonText(const archive::TJobResult& result,
                                      const TMessageLookup& message) {
  return FailureReasonLine(result, message).Text();
}

}  // namespace app
