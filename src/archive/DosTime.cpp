#include "archive/DosTime.h"

namespace archive {
namespace {

constexpr int kFirstDosYear = 1980;  // year field 0
constexpr int kLastDosYear = 2107;   // year field 127, the largest 7 bits hold

constexpr std::int64_t kTicksPerSecond = 10'000'000;                    // 100 ns ticks
constexpr std::int64_t kTicksFrom1601To1970 = 116'444'736'000'000'000;  // 369 years

}  // namespace

std::uint32_t dos_date_time(const CalendarTime& t) noexcept {
  CalendarTime c = t;
  if (c.year < kFirstDosYear) {
    c = CalendarTime{};
  } else if (c.year > kLastDosYear) {
    c = CalendarTime{kLastDosYear, 12, 31, 23, 59, 59};
  }
  std::uint32_t date = std::uint32_t((c.year - kFirstDosYear) & 0x7F) << 9 |
                       std::uint32_t(c.month & 0x0F) << 5 | std::uint32_t(c.day & 0x1F);
  std::uint32_t time = std::uint32_t(c.hour & 0x1F) << 11 | std::uint32_t(c.minute & 0x3F) << 5 |
                       std::uint32_t((c.second / 2) & 0x1F);
  return date << 16 | time;
}

std::int64_t unix_seconds_from_file_time(std::uint64_t ticks) noexcept {
  return (static_cast<std::int64_t>(ticks) - kTicksFrom1601To1970) / kTicksPerSecond;
}

}  // namespace archive
