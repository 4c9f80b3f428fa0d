// SPDX-License-Identifier: GPL-3.0-or-later
// The one write routine: whatever stands at the path, nothing is destroyed.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>

#include "file_faults.h"
#include "records/checked_file.h"
#include "records/image_builder.h"

namespace kestrum {
namespace {

using testing::ReadWholeFile;
using testing::TempFolder;

void WriteBytes(const std::string& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}

// Entries of a folder, to see that no temporary file is left behind.
int EntryCount(const std::string& folder) {
  const auto entries = std::filesystem::directory_iterator(folder);
  return static_cast<int>(std::distance(begin(entries), end(entries)));
}

struct stat StatOf(const std::string& path) {
  struct stat info {};
  ::lstat(path.c_str(), &info);
  return info;
}

TEST(SafeWrite, TargetsThatAreNoWritableRegularFileAreRefusedAndKept) {
  const struct {
    const char* what;
    std::function<void(const std::string&)> make;
    const char* refusal;
  } cases[] = {
      {"FIFO", [](const std::string& p) { ::mkfifo(p.c_str(), 0644); }, " is not a regular file"},
      {"folder", [](const std::string& p) { ::mkdir(p.c_str(), 0755); }, " is not a regular file"},
      {"read-only file",
       [](const std::string& p) {
         WriteBytes(p, "kept");
         ::chmod(p.c_str(), 0444);
       },
       " is read-only"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    TempFolder folder;
    const std::string target = folder.File("target");
    c.make(target);
    const struct stat before = StatOf(target);

    const Result<> refused = WriteFileReplacing(target, "new");
    EXPECT_EQ(refused.error(), target + c.refusal);
    EXPECT_EQ(refused.failure().kind, FailureKind::kFile);

    const struct stat after = StatOf(target);
    EXPECT_EQ(after.st_mode, before.st_mode);
    EXPECT_EQ(after.st_ino, before.st_ino);
    if (S_ISREG(after.st_mode)) {
      EXPECT_EQ(ReadWholeFile(target), "kept");
    }
    EXPECT_EQ(EntryCount(folder.path()), 1);
  }
}

TEST(SafeWrite, AsRootADeviceStaysAndAReplacedFileKeepsItsOwner) {
  KESTRUM_SKIP_UNLESS_ROOT();
  TempFolder folder;
  const std::string device = folder.File("null");
  ASSERT_EQ(::mknod(device.c_str(), S_IFCHR | 0666, makedev(1, 3)), 0);
  EXPECT_EQ(WriteFileReplacing(device, "x").error(), device + " is not a regular file");
  EXPECT_TRUE(S_ISCHR(StatOf(device).st_mode));

  const std::string owned = folder.File("owned.Rn");
  WriteBytes(owned, "old");
  ASSERT_EQ(::chown(owned.c_str(), 1234, 1234), 0);
  ASSERT_EQ(WriteFileReplacing(owned, "new").error(), "");
  EXPECT_EQ(ReadWholeFile(owned), "new");
  EXPECT_EQ(StatOf(owned).st_uid, 1234u);
  EXPECT_EQ(StatOf(owned).st_gid, 1234u);
}

TEST(SafeWrite, ALinkIsFollowedAndItsTargetReplacedInItsOwnFolder) {
  TempFolder folder;
  ASSERT_EQ(::mkdir(folder.File("data").c_str(), 0755), 0);
  const std::string target = folder.File("data/run.Rn");
  WriteBytes(target, "old");
  ::chmod(target.c_str(), 0640);
  const std::string link = folder.File("link.Rn");
  ASSERT_EQ(::symlink("data/run.Rn", link.c_str()), 0);

  ASSERT_EQ(WriteFileReplacing(link, "new").error(), "");

  EXPECT_TRUE(S_ISLNK(StatOf(link).st_mode));
  EXPECT_EQ(ReadWholeFile(target), "new");
  EXPECT_EQ(StatOf(target).st_mode & 07777, 0640u);
  EXPECT_EQ(EntryCount(folder.path()), 2);
  EXPECT_EQ(EntryCount(folder.File("data")), 1);

  // A link to a file not yet there creates it.
  ASSERT_EQ(::symlink("data/later.Rn", folder.File("ahead.Rn").c_str()), 0);
  ASSERT_EQ(WriteFileReplacing(folder.File("ahead.Rn"), "made").error(), "");
  EXPECT_EQ(ReadWholeFile(folder.File("data/later.Rn")), "made");
}

TEST(SafeWrite, AnyNameTheFileSystemTakesAndNoNameAtAll) {
  TempFolder folder;
  const std::string longest = folder.File(std::string(255, 'n'));
  ASSERT_EQ(WriteFileReplacing(longest, "a").error(), "");
  ASSERT_EQ(WriteFileReplacing(longest, "b").error(), "");
  EXPECT_EQ(ReadWholeFile(longest), "b");
  EXPECT_EQ(WriteFileReplacing("", "x").error(), "no file name given");
  EXPECT_EQ(WriteFileReplacing(folder.path() + "/", "x").error(), "no file name given");
  EXPECT_EQ(EntryCount(folder.path()), 1);
}

TEST(SafeWrite, FailuresGiveTheReasonAndKeepTheOldFile) {
  TempFolder folder;
  const std::string path = folder.File("old.txt");
  WriteBytes(path, "previous contents");
  {
    testing::FullDisk full(4096);
    EXPECT_EQ(WriteFileReplacing(path, std::string(100000, 'x')).error(), "File too large");
  }
  EXPECT_EQ(ReadWholeFile(path), "previous contents");
  EXPECT_EQ(EntryCount(folder.path()), 1);

  char name[] = "/tmp/kestrum-locked-XXXXXX";
  ASSERT_NE(::mkdtemp(name), nullptr);
  const std::string locked = name;
  ASSERT_EQ(::chmod(locked.c_str(), 0555), 0);
  EXPECT_EQ(testing::AsPlainUser([&] { return WriteFileReplacing(locked + "/x.Rn", "x").error(); }),
            "the folder " + locked + " is not writable: Permission denied");
  ::rmdir(locked.c_str());
}

}  // namespace
}  // namespace kestrum
