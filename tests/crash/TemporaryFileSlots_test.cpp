// The temporary files registered in the shared block, and their removal by
// the handler: only registered files that end in ".partial" are removed.
#include "crash/TemporaryFileSlots.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>

#include "../i18n/TempFolder.h"

namespace crash {
namespace {

using i18n::testing_support::TempFolder;

// The block as the tool maps it: zeroed memory.
std::unique_ptr<TSharedBlock> ZeroedBlock() {
  auto block = std::make_unique<TSharedBlock>();
  std::memset(block.get(), 0, sizeof *block);
  return block;
}

bool Exists(const std::wstring& path) {
  return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

TEST(TemporaryFiles, RemovesTheRegisteredPartialFilesThatExist) {
  TempFolder folder;
  const std::wstring live = folder.WriteBytes(L"BRK_Portable.zip.partial", "half");
  const std::wstring finished = folder.WriteBytes(L"done.zip.partial", "half");
  const std::wstring upper = folder.WriteBytes(L"OTHER.ZIP.PARTIAL", "half");
  const std::wstring gone = folder.File(L"gone.zip.partial");
  const std::wstring archive = folder.WriteBytes(L"BRK_Portable.zip", "whole");
  const std::wstring unregistered = folder.WriteBytes(L"stray.zip.partial", "half");
  auto block = ZeroedBlock();
  RegisterTemporaryFile(*block, live);
  RegisterTemporaryFile(*block, live);  // once is kept
  RegisterTemporaryFile(*block, finished);
  ForgetTemporaryFile(*block, finished);  // renamed into place: no longer the tool's
  RegisterTemporaryFile(*block, upper);
  RegisterTemporaryFile(*block, gone);

  const TRemoval removal = RemoveTemporaryFiles(*block);
  EXPECT_EQ(removal.removed, (std::vector<std::wstring>{live, upper}));
  EXPECT_EQ(removal.alreadyGone, std::vector<std::wstring>{gone});
  EXPECT_TRUE(removal.leftBehind.empty());
  EXPECT_FALSE(Exists(live));
  EXPECT_FALSE(Exists(upper));
  EXPECT_TRUE(Exists(finished));
  EXPECT_TRUE(Exists(archive));
  EXPECT_TRUE(Exists(unregistered));
  // Each is removed once: the slots are free again.
  EXPECT_TRUE(RemoveTemporaryFiles(*block).removed.empty());
}

TEST(TemporaryFiles, NeverRemovesAFileOfAnotherName) {
  TempFolder folder;
  const std::wstring names[] = {L"BRK_Portable.zip", L"partial", L".partial.zip", L"a.partial~"};
  auto block = ZeroedBlock();
  for (const std::wstring& name : names) {
    const std::wstring path = folder.WriteBytes(name, "keep");
    RegisterTemporaryFile(*block, path);
  }
  const TRemoval removal = RemoveTemporaryFiles(*block);
  EXPECT_TRUE(removal.removed.empty());
  for (const std::wstring& name : names) EXPECT_TRUE(Exists(folder.File(name))) << name.c_str();
}

TEST(TemporaryFiles, ReportsAFileThatCannotBeRemoved) {
  TempFolder folder;
  const std::wstring path = folder.WriteBytes(L"held.zip.partial", "half");
  auto block = ZeroedBlock();
  RegisterTemporaryFile(*block, path);
  // Held open without delete sharing, as by another program.
  HANDLE held =
      CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(held, INVALID_HANDLE_VALUE);
  const TRemoval removal = RemoveTemporaryFiles(*block);
  CloseHandle(held);
  EXPECT_EQ(removal.leftBehind, std::vector<std::wstring>{path});
  EXPECT_TRUE(Exists(path));
}

TEST(TemporaryFiles, KeepsNoPathItCannotKeepWholeAndNoMoreThanItsSlots) {
  auto block = ZeroedBlock();
  RegisterTemporaryFile(*block, std::wstring(kPathChars, L'x') + L".partial");
  for (int i = 0; i < kTemporaryFileSlots + 2; ++i) {
    RegisterTemporaryFile(*block, L"C:\\no such folder\\" + std::to_wstring(i) + L".partial");
  }
  EXPECT_EQ(RemoveTemporaryFiles(*block).alreadyGone.size(),
            static_cast<std::size_t>(kTemporaryFileSlots));
}

}  // namespace
}  // namespace crash
