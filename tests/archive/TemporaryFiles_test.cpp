// The job announces its temporary archive from the moment it exists until
// it is gone, however the generation ends: whoever watches (the crash
// reporter) can then remove it after a crash, and never touches a file the
// job no longer owns.
#include "archive/TemporaryFiles.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "JobTestSupport.h"

namespace {

using jobtest::Exists;
using jobtest::RunJob;
using jobtest::ScratchFolder;
using jobtest::StopAt;

struct TNote {
  bool created;
  std::wstring path;
  bool existed;
};
// Written on the job's worker, read once the job is destroyed.
std::vector<TNote> g_notes;

void NoteCreated(const std::wstring& path) noexcept {
  g_notes.push_back({true, path, Exists(path)});
}
void NoteGone(const std::wstring& path) noexcept {
  g_notes.push_back({false, path, Exists(path)});
}

TEST(TemporaryFiles, TheJobAnnouncesItsArchiveWhileItExistsHoweverItEnds) {
  const StopAt ends[] = {StopAt::never, StopAt::addPass, StopAt::insideAFile};
  for (const StopAt end : ends) {
    ScratchFolder tree;
    for (int i = 0; i < 4; ++i) {
      tree.Write(L"src\\f" + std::to_wstring(i) + L".bin", jobtest::NoisyBytes(200000, i));
    }
    const std::wstring target = tree / L"BRK_Portable.zip";
    g_notes.clear();
    archive::WatchTemporaryFiles({NoteCreated, NoteGone});
    RunJob(tree / L"src", target, end);
    archive::WatchTemporaryFiles({});

    const int which = static_cast<int>(end);
    ASSERT_EQ(g_notes.size(), 2u) << which;
    EXPECT_TRUE(g_notes[0].created);
    EXPECT_TRUE(g_notes[0].path.ends_with(archive::TemporaryArchivePath(target))) << which;
    EXPECT_TRUE(g_notes[0].existed) << which;
    EXPECT_FALSE(g_notes[1].created);
    EXPECT_EQ(g_notes[1].path, g_notes[0].path);
    EXPECT_FALSE(g_notes[1].existed) << which;
    EXPECT_EQ(Exists(target), end == StopAt::never) << which;
  }
}

TEST(TemporaryFiles, AJobStoppedBeforeItWritesAnnouncesNothing) {
  ScratchFolder tree;
  tree.Write(L"src\\a.txt", "a");
  g_notes.clear();
  archive::WatchTemporaryFiles({NoteCreated, NoteGone});
  RunJob(tree / L"src", tree / L"BRK_Portable.zip", StopAt::walk);
  archive::WatchTemporaryFiles({});
  EXPECT_TRUE(g_notes.empty());
}

}  // namespace
