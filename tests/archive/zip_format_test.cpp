// The portable parts of the zip writer: CRC-32, DOS and Unix times, entry
// names, external attributes and the records as bytes.
#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "archive/Crc32.h"
#include "archive/DosTime.h"
#include "archive/ZipAttributes.h"
#include "archive/ZipNames.h"
#include "archive/ZipRecords.h"

namespace {

using archive::Bytes;

std::uint32_t le32(const Bytes& b, std::size_t at) {
  return std::uint32_t(b[at]) | std::uint32_t(b[at + 1]) << 8 | std::uint32_t(b[at + 2]) << 16 |
         std::uint32_t(b[at + 3]) << 24;
}
std::uint16_t le16(const Bytes& b, std::size_t at) {
  return std::uint16_t(b[at] | b[at + 1] << 8);
}
std::uint64_t le64(const Bytes& b, std::size_t at) {
  return std::uint64_t(le32(b, at)) | std::uint64_t(le32(b, at + 4)) << 32;
}

// Bit by bit, straight from the definition: the reference for the table
// driven, eight-bytes-a-step version.
std::uint32_t crc32_bitwise(const std::vector<std::uint8_t>& data) {
  std::uint32_t c = 0xFFFFFFFF;
  for (std::uint8_t byte : data) {
    c ^= byte;
    for (int k = 0; k < 8; ++k) c = (c >> 1) ^ (0xEDB88320 & (0u - (c & 1)));
  }
  return ~c;
}

TEST(Crc32, MatchesTheCheckValueAndTheBitwiseDefinitionInAnyPieces) {
  const char* check = "123456789";
  EXPECT_EQ(archive::crc32_update(0, check, 9), 0xCBF43926u);
  EXPECT_EQ(archive::crc32_update(0, nullptr, 0), 0u);

  std::mt19937 rng(7);
  std::vector<std::uint8_t> data(1000);
  for (auto& b : data) b = std::uint8_t(rng());
  for (std::size_t split : {0, 1, 7, 8, 9, 500, 999, 1000}) {
    std::uint32_t crc = archive::crc32_update(0, data.data(), split);
    crc = archive::crc32_update(crc, data.data() + split, data.size() - split);
    EXPECT_EQ(crc, crc32_bitwise(data)) << "split at " << split;
  }
}

TEST(DosTime, PacksCalendarFieldsAndClampsYearsOutsideTheField) {
  struct Case {
    archive::CalendarTime time;
    std::uint32_t expected;
  } cases[] = {
      {{2014, 6, 15, 10, 20, 31}, 0x44CF528F},   // seconds field holds 15
      {{1980, 1, 1, 0, 0, 0}, 0x00210000},       // the first moment
      {{1970, 7, 4, 12, 0, 0}, 0x00210000},      // before 1980: the first moment
      {{2107, 12, 31, 23, 59, 58}, 0xFF9FBF7D},  // the last moment
      {{2200, 3, 1, 8, 0, 0}, 0xFF9FBF7D},       // after 2107: the last moment
  };
  for (const Case& c : cases) {
    EXPECT_EQ(archive::dos_date_time(c.time), c.expected) << c.time.year;
  }
}

TEST(DosTime, UnixSecondsFromFileTimesTruncateTowardZero) {
  constexpr std::uint64_t k1970 = 116'444'736'000'000'000;
  EXPECT_EQ(archive::unix_seconds_from_file_time(k1970), 0);
  EXPECT_EQ(archive::unix_seconds_from_file_time(k1970 + 13'885'344'000'000'000), 0x52C35A80);
  EXPECT_EQ(archive::unix_seconds_from_file_time(k1970 + 19'999'999), 1);
  EXPECT_EQ(archive::unix_seconds_from_file_time(k1970 - 5), 0);
  EXPECT_EQ(archive::unix_seconds_from_file_time(k1970 - 10'000'001), -1);
}

TEST(ZipNames, SeparatorsAndUtf8) {
  EXPECT_EQ(archive::zip_separators(L"a\\b.txt"), L"a/b.txt");
  EXPECT_EQ(archive::zip_separators(L"\\C:\\x"), L"/C:/x");

  struct Case {
    std::wstring text;
    std::string utf8;
  } cases[] = {
      {L"plain.txt", "plain.txt"},
      {L"caf\u00e9", "caf\xC3\xA9"},
      {L"\u65e5\u672c", "\xE6\x97\xA5\xE6\x9C\xAC"},
      {L"\U0001F600.png", "\xF0\x9F\x98\x80.png"},  // a surrogate pair in UTF-16
  };
  for (const Case& c : cases) {
    auto got = archive::utf8_from_wide(c.text);
    ASSERT_TRUE(got.has_value());
    EXPECT_EQ(*got, c.utf8);
    EXPECT_EQ(archive::needs_utf8_flag(*got), c.utf8 != "plain.txt");
  }
  for (wchar_t lone : {wchar_t(0xD800), wchar_t(0xDBFF), wchar_t(0xDC00), wchar_t(0xDFFF)}) {
    EXPECT_FALSE(archive::utf8_from_wide(std::wstring(L"a") + lone + L"b").has_value());
    EXPECT_FALSE(archive::utf8_from_wide(std::wstring(L"a") + lone).has_value());
  }
  std::wstring reversed_pair = {wchar_t(0xDE00), wchar_t(0xD83D)};
  EXPECT_FALSE(archive::utf8_from_wide(reversed_pair).has_value());
}

TEST(ZipNames, StoreTestLooksAtTheLastExtensionOnly) {
  struct Case {
    const wchar_t* name;
    bool stored;
  } cases[] = {
      {L"backup.ZIP", true}, {L"logs.Gz", true},       {L"a.Z", true},           {L"a.z", true},
      {L"x.tgz", true},      {L"y.arj", true},         {L"notes.txt", false},    {L"README", false},
      {L"a.zip.txt", false}, {L"dir.zip/file", false}, {L"archive.zipx", false}, {L".gz", true},
  };
  for (const Case& c : cases) EXPECT_EQ(archive::zip_store_test(c.name), c.stored) << c.name;
}

TEST(ZipAttributes, FileBitsAndExecutableHeaders) {
  EXPECT_EQ(archive::file_attributes(0x20, false, false), 0x81800020u);
  EXPECT_EQ(archive::file_attributes(0x21, false, false), 0x81000021u);
  EXPECT_EQ(archive::file_attributes(0x20, false, true), 0x81C00020u);
  EXPECT_EQ(archive::file_attributes(0x10, true, false), 0x41800010u);
  EXPECT_EQ(archive::file_attributes(0x2080 | 0x06, false, false), 0x81800006u);  // others dropped

  std::vector<std::uint8_t> head(archive::kExeProbeSize, 0);
  head[0] = 'M';
  head[1] = 'Z';
  head[0x3C] = 0x80;
  std::uint32_t offset = 0;
  EXPECT_TRUE(archive::exe_header_offset(head, 0x80 + 53, offset));
  EXPECT_EQ(offset, 0x80u);
  EXPECT_FALSE(archive::exe_header_offset(head, 0x80 + 52, offset));  // header cut short
  EXPECT_FALSE(archive::exe_header_offset(head, 40, offset));
  head[1] = 'X';
  EXPECT_FALSE(archive::exe_header_offset(head, 4096, offset));

  for (std::uint32_t sig : {0x00005A4Du, 0x0000454Eu, 0x0000454Cu, 0x00004550u}) {
    EXPECT_TRUE(archive::is_exe_signature(sig));
  }
  EXPECT_FALSE(archive::is_exe_signature(0x45500000));
  EXPECT_FALSE(archive::is_exe_signature(0x00014550));
}

archive::ZipEntry sample_entry() {
  archive::ZipEntry e;
  e.name = "dir/f.txt";
  e.method = archive::kMethodDeflated;
  e.flags = e.local_flags = 0x0002;
  e.dos_time = 0x44CF528F;
  e.crc = 0xCAFEBABE;
  e.compressed_size = 100;
  e.uncompressed_size = 300;
  e.external_attributes = 0x81800020;
  e.local_offset = 1234;
  archive::set_timestamps(e, 0x52C35A80, 0x11223344, -1);
  return e;
}

TEST(ZipRecords, ClassicHeadersWithinTheLimits) {
  archive::ZipEntry e = sample_entry();
  Bytes local;
  archive::append_local_header(local, e);
  ASSERT_EQ(local.size(), 30u + 9 + 17);
  EXPECT_EQ(le32(local, 0), 0x04034B50u);
  EXPECT_EQ(le16(local, 4), 20);
  EXPECT_EQ(le16(local, 6), 0x0002);
  EXPECT_EQ(le16(local, 8), 8);
  EXPECT_EQ(le16(local, 10), 0x528F);
  EXPECT_EQ(le16(local, 12), 0x44CF);
  EXPECT_EQ(le32(local, 14), 0xCAFEBABEu);
  EXPECT_EQ(le32(local, 18), 100u);
  EXPECT_EQ(le32(local, 22), 300u);
  EXPECT_EQ(le16(local, 26), 9);
  EXPECT_EQ(le16(local, 28), 17);
  Bytes ut(local.begin() + 39, local.end());
  EXPECT_EQ(ut, (Bytes{0x55, 0x54, 13, 0, 7, 0x80, 0x5A, 0xC3, 0x52, 0x44, 0x33, 0x22, 0x11, 0xFF,
                       0xFF, 0xFF, 0xFF}));

  Bytes central;
  archive::append_central_header(central, e);
  ASSERT_EQ(central.size(), 46u + 9 + 9);
  EXPECT_EQ(le32(central, 0), 0x02014B50u);
  EXPECT_EQ(le16(central, 4), 0x0B17);
  EXPECT_EQ(le16(central, 30), 9);
  EXPECT_EQ(le32(central, 38), 0x81800020u);
  EXPECT_EQ(le32(central, 42), 1234u);
  EXPECT_EQ(Bytes(central.begin() + 55, central.end()),
            (Bytes{0x55, 0x54, 5, 0, 7, 0x80, 0x5A, 0xC3, 0x52}));

  Bytes descriptor;
  archive::append_data_descriptor(descriptor, e);
  EXPECT_EQ(descriptor.size(), 16u);
  EXPECT_EQ(le32(descriptor, 0), 0x08074B50u);
}

TEST(ZipRecords, EmptyArchiveIsTheBareEndRecord) {
  Bytes end;
  archive::append_end_records(end, 0, 0, 0);
  Bytes expected(22, 0);
  expected[0] = 0x50, expected[1] = 0x4B, expected[2] = 0x05, expected[3] = 0x06;
  EXPECT_EQ(end, expected);
}

TEST(ZipRecords, Zip64FieldsAppearOnlyWhereValuesOverflow) {
  archive::ZipEntry e = sample_entry();
  e.local_zip64 = true;
  e.uncompressed_size = 0x100000005;
  e.compressed_size = 0x100000005;
  e.local_offset = 0x1'0000'0000;
  Bytes local;
  archive::append_local_header(local, e);
  ASSERT_EQ(local.size(), 30u + 9 + 20 + 17);
  EXPECT_EQ(le32(local, 18), 0xFFFFFFFFu);
  EXPECT_EQ(le32(local, 22), 0xFFFFFFFFu);
  EXPECT_EQ(le16(local, 28), 37);
  EXPECT_EQ(le16(local, 39), 0x0001);
  EXPECT_EQ(le16(local, 41), 16);
  EXPECT_EQ(le64(local, 43), 0x100000005u);
  EXPECT_EQ(le64(local, 51), 0x100000005u);

  Bytes descriptor;
  archive::append_data_descriptor(descriptor, e);
  ASSERT_EQ(descriptor.size(), 24u);
  EXPECT_EQ(le64(descriptor, 8), 0x100000005u);

  // Only the offset overflows: the central extra holds just the offset.
  e.uncompressed_size = 10;
  e.compressed_size = 12;
  Bytes central;
  archive::append_central_header(central, e);
  ASSERT_EQ(central.size(), 46u + 9 + 12 + 9);
  EXPECT_EQ(le32(central, 20), 12u);
  EXPECT_EQ(le32(central, 42), 0xFFFFFFFFu);
  EXPECT_EQ(le16(central, 30), 21);
  EXPECT_EQ(le16(central, 55), 0x0001);
  EXPECT_EQ(le16(central, 57), 8);
  EXPECT_EQ(le64(central, 59), 0x100000000u);
}

TEST(ZipRecords, EndRecordsPastTheClassicLimits) {
  struct Case {
    std::uint64_t count, size, offset;
    bool zip64;
  } cases[] = {
      {65535, 1000, 5000, false},  {65536, 1000, 5000, true}, {3, 1000, 0xFFFFFFFE, false},
      {3, 1000, 0xFFFFFFFF, true}, {3, 0xFFFFFFFF, 10, true},
  };
  for (const Case& c : cases) {
    Bytes end;
    archive::append_end_records(end, c.count, c.size, c.offset);
    ASSERT_EQ(end.size(), c.zip64 ? 56u + 20 + 22 : 22u) << c.count << " " << c.offset;
    std::size_t classic = end.size() - 22;
    EXPECT_EQ(le32(end, classic), 0x06054B50u);
    EXPECT_EQ(le16(end, classic + 8), c.count > 0xFFFF ? 0xFFFF : c.count);
    EXPECT_EQ(le32(end, classic + 12), c.size >= 0xFFFFFFFF ? 0xFFFFFFFF : c.size);
    EXPECT_EQ(le32(end, classic + 16), c.offset >= 0xFFFFFFFF ? 0xFFFFFFFF : c.offset);
    if (!c.zip64) continue;
    EXPECT_EQ(le32(end, 0), 0x06064B50u);
    EXPECT_EQ(le64(end, 4), 44u);
    EXPECT_EQ(le64(end, 24), c.count);
    EXPECT_EQ(le64(end, 32), c.count);
    EXPECT_EQ(le64(end, 40), c.size);
    EXPECT_EQ(le64(end, 48), c.offset);
    EXPECT_EQ(le32(end, 56), 0x07064B50u);
    EXPECT_EQ(le64(end, 64), c.offset + c.size);  // where the ZIP64 end record starts
    EXPECT_EQ(le32(end, 72), 1u);
  }
}

}  // namespace
