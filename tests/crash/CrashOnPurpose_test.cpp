// A crash on purpose happens only for a request that names this very build:
// anything else, however close, is ignored.
#include "crash/CrashOnPurpose.h"

#include <gtest/gtest.h>

#include <ctime>

#include "crash/SystemFacts.h"

namespace crash {
namespace {

constexpr std::uint32_t kStamp = 0x6B1BA240;

TEST(CrashOnPurpose, TakesAKindAMomentAndThisBuildsStamp) {
  struct Case {
    const wchar_t* value;
    TPurposeKind kind;
    TPurposeMoment moment;
  };
  const Case cases[] = {
      {L"access@idle#6b1ba240", TPurposeKind::accessViolation, TPurposeMoment::idle},
      {L"stack@job#6B1BA240", TPurposeKind::stackOverflow, TPurposeMoment::job},
      {L"throw@early#6b1ba240", TPurposeKind::cppException, TPurposeMoment::early},
      {L"purecall@job#6b1ba240", TPurposeKind::pureVirtualCall, TPurposeMoment::job},
      {L"timer@idle#6b1ba240", TPurposeKind::faultInTimer, TPurposeMoment::idle},
      {L"handler@idle#6b1ba240", TPurposeKind::handlerCrash, TPurposeMoment::idle},
  };
  for (const Case& c : cases) {
    const auto request = ParseCrashOnPurpose(c.value, kStamp);
    ASSERT_TRUE(request.has_value()) << c.value;
    EXPECT_EQ(request->kind, c.kind) << c.value;
    EXPECT_EQ(request->moment, c.moment) << c.value;
  }
}

TEST(CrashOnPurpose, IgnoresEverythingElse) {
  const wchar_t* const ignored[] = {
      L"",
      L"1",
      L"access",
      L"access@idle",
      L"access@idle#",
      L"access@idle#6b1ba241",   // another build
      L"access@idle#06b1ba240",  // nine digits
      L"access@idle#6b1ba24",    // seven
      L"access@idle#6b1ba24g",
      L"access@idle#6b1ba240 ",
      L" access@idle#6b1ba240",
      L"Access@idle#6b1ba240",
      L"access@Idle#6b1ba240",
      L"access@later#6b1ba240",
      L"crash@idle#6b1ba240",
      L"access#6b1ba240@idle",
      L"create@job#6b1ba240",  // needs the message loop of the window's thread
      L"timer@early#6b1ba240",
      L"handler@job#6b1ba240",
  };
  for (const wchar_t* value : ignored) {
    EXPECT_FALSE(ParseCrashOnPurpose(value, kStamp).has_value()) << value;
  }
}

TEST(CrashOnPurpose, BuildStampIsTheProgramsLinkTime) {
  // Nonzero and not in the future of the machine that runs the test by
  // more than a day (a clock set back may make the build look younger).
  const std::uint32_t stamp = BuildStamp();
  EXPECT_NE(stamp, 0u);
  EXPECT_LT(stamp, static_cast<std::uint32_t>(std::time(nullptr)) + 86400u);
}

}  // namespace
}  // namespace crash
