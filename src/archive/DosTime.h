// Time stamps of zip entries. Two forms travel in every header: the DOS date
// and time (local wall-clock fields, two-second steps, years 1980 to 2107),
// which every extractor reads, and Unix seconds in the extended timestamp,
// which carry UTC. Windows file times are 100 ns ticks since 1601 (UTC).
#pragma once

#include <cstdint>

namespace archive {

struct CalendarTime {
  int year = 1980;
  int month = 1;  // 1..12
  int day = 1;    // 1..31
  int hour = 0;
  int minute = 0;
  int second = 0;
};

// DOS date in the high 16 bits, DOS time in the low 16 bits. Years outside
// what the 7-bit year field can hold are clamped to its first or last moment
// rather than wrapped into another century.
std::uint32_t dos_date_time(const CalendarTime& t) noexcept;

// Seconds since 1970-01-01 UTC from a Windows file time, truncated toward zero.
std::int64_t unix_seconds_from_file_time(std::uint64_t ticks) noexcept;

}  // namespace archive
