#include "platform/LocalFileSystem.h"

#include <fstream>

#include <gtest/gtest.h>

#include "support/FakeFileSystem.h"
#include "support/TempDir.h"

namespace orven {
namespace {

namespace fs = std::filesystem;
using test::TempDir;

TEST(LocalFileSystem, MissingFolderAnswersForItsParent) {
    TempDir dir;
    LocalFileSystem local;
    EXPECT_EQ(LocalFileSystem::nearestExisting(dir / "not/yet/../there"), dir.path());

    const auto missing = local.freeSpace(dir / "not/yet/there");
    ASSERT_TRUE(missing.has_value());
    // Other programs write meanwhile; the two answers only need to be close.
    const auto expected = static_cast<double>(fs::space(dir.path()).available);
    EXPECT_NEAR(static_cast<double>(*missing), expected, 64.0 * 1024 * 1024);
    EXPECT_EQ(local.freeSpace(""), std::nullopt);
}

TEST(LocalFileSystem, TempFolderIsLocalAndReachable) {
    TempDir dir;
    std::ofstream(dir / "file") << "x";
    LocalFileSystem local;
    EXPECT_FALSE(local.isNetworkPath(dir.path()));
    EXPECT_FALSE(local.isNetworkPath(dir / "missing/child"));
    EXPECT_TRUE(LocalFileSystem::isNetworkType(0xFF534D42));  // CIFS, negative as a long on 32 bits

    EXPECT_TRUE(local.isReachable(dir.path()));
    EXPECT_FALSE(local.isReachable(dir / "missing"));
    EXPECT_FALSE(local.isReachable(dir / "file"));
    EXPECT_TRUE(local.reconnect(dir.path()));
    EXPECT_FALSE(local.reconnect(dir / "missing"));
}

TEST(LocalFileSystem, FlushNeedsSomethingToOpen) {
    TempDir dir;
    LocalFileSystem local;
    EXPECT_TRUE(local.flushToDisk(dir.path()));
    EXPECT_FALSE(local.flushToDisk(dir / "missing"));
}

TEST(FakeFileSystem, DeepestSettingWinsAndReconnectFollowsTheScript) {
    test::FakeFileSystem fake;
    fake.setFreeSpace("/mnt", 100);
    fake.setFreeSpace("/mnt/share/", 5);
    EXPECT_EQ(fake.freeSpace("/mnt/share/x/y"), 5u);
    EXPECT_EQ(fake.freeSpace("/mnt/other"), 100u);
    EXPECT_EQ(fake.freeSpace("/mnt2"), test::FakeFileSystem::kDefaultFreeSpace);

    fake.setNetworkPath("/mnt/share");
    EXPECT_TRUE(fake.isNetworkPath("/mnt/share/a"));
    EXPECT_FALSE(fake.isNetworkPath("/mnt"));

    fake.setReachable("/mnt/share", false);
    EXPECT_FALSE(fake.reconnect("/mnt/share"));
    fake.reconnectSucceedsOnCall(3);
    EXPECT_FALSE(fake.reconnect("/mnt/share"));
    EXPECT_TRUE(fake.reconnect("/mnt/share"));
    EXPECT_TRUE(fake.isReachable("/mnt/share/sub"));
    EXPECT_EQ(fake.reconnectCalls(), 3);
}

// Faults hit only the folder they were set for, and a counted fault only as often as set.
TEST(FakeFileSystem, FileFaultsHoldWhereAndAsOftenAsSet) {
    TempDir dir;
    fs::create_directories(dir / "a");
    fs::create_directories(dir / "b");
    test::FakeFileSystem fake;
    fake.setWritesFail(dir / "a");
    EXPECT_FALSE(FileIo::replaceAtomically(fake, dir / "a/x", "1"));
    EXPECT_TRUE(FileIo::replaceAtomically(fake, dir / "b/x", "1"));

    fake.setWritesFail(dir / "a", false);
    fake.failWrites(1, 1);
    EXPECT_TRUE(FileIo::replaceAtomically(fake, dir / "a/x", "2"));
    EXPECT_FALSE(FileIo::replaceAtomically(fake, dir / "a/x", "3"));
    EXPECT_TRUE(FileIo::replaceAtomically(fake, dir / "a/x", "4"));
    EXPECT_EQ(fake.writes(), 5);

    fake.setReadsFail(dir / "b");
    EXPECT_EQ(fake.readWhole(dir / "b/x", FileIo::kNoLimit).status, ReadStatus::Failed);
    EXPECT_EQ(fake.readWhole(dir / "a/x", FileIo::kNoLimit).bytes, "4");

    fake.setFolderFlushFails(dir / "b");
    EXPECT_FALSE(fake.flushFolder(dir / "b"));
    EXPECT_TRUE(fake.flushFolder(dir / "a"));
}

}  // namespace
}  // namespace orven
