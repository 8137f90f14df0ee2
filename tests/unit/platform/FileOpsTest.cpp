#include "platform/FileOps.h"

#include <fstream>
#include <iterator>

#include <gtest/gtest.h>

#include "support/FileBytes.h"
#include "support/TempDir.h"

namespace orven {
namespace {

using test::readFile;
using test::writeFile;

namespace fs = std::filesystem;
using test::TempDir;
using Names = std::vector<std::string>;

void makeTree(const fs::path& root) {
    writeFile(root / "a.vminf", "record");
    writeFile(root / "sub/b.aac", "voice");
    writeFile(root / "sub/deeper/c.wav", "wave");
}

void expectTree(const fs::path& root) {
    EXPECT_EQ(readFile(root / "a.vminf"), "record");
    EXPECT_EQ(readFile(root / "sub/b.aac"), "voice");
    EXPECT_EQ(readFile(root / "sub/deeper/c.wav"), "wave");
}

std::error_code fail(std::errc code) {
    return std::make_error_code(code);
}

TEST(FileOpsFindAnyCase, FindsTheExtensionInEitherCase) {
    TempDir dir;
    writeFile(dir / "0001.AAC", "x");
    writeFile(dir / "0002.wav", "x");
    EXPECT_EQ(FileOps::findAnyCase(dir / "0001.aac"), dir / "0001.AAC");
    EXPECT_EQ(FileOps::findAnyCase(dir / "0001.Aac"), dir / "0001.AAC");
    EXPECT_EQ(FileOps::findAnyCase(dir / "0002.WAV"), dir / "0002.wav");
    EXPECT_EQ(FileOps::findAnyCase(dir / "0002.wav"), dir / "0002.wav");
    EXPECT_EQ(FileOps::findAnyCase(dir / "0003.aac"), std::nullopt);
    EXPECT_EQ(FileOps::findAnyCase(dir / "0001.wav"), std::nullopt);
}

TEST(FileOpsGlob, MatchesLikeWindowsFind) {
    TempDir dir;
    for (const char* name : {"20240101_001_a.vmdat", "20240101_002_b.vmdat", "20231231_001_c.VMDAT",
                             "X.VMINF", "y.vminf", "y.vminf.bak", "noext"}) {
        writeFile(dir / name, "");
    }
    fs::create_directory(dir / "folder.vminf");
    EXPECT_EQ(FileOps::glob(dir.path(), "*.vminf"), (Names{"X.VMINF", "y.vminf"}));
    EXPECT_EQ(FileOps::glob(dir.path(), "2024*_001_*.vmdat"), Names{"20240101_001_a.vmdat"});
    EXPECT_EQ(FileOps::glob(dir.path(), "*_001_*.VMDAT"),
              (Names{"20231231_001_c.VMDAT", "20240101_001_a.vmdat"}));
    EXPECT_EQ(FileOps::glob(dir.path(), "*.*"),
              (Names{"20231231_001_c.VMDAT", "20240101_001_a.vmdat", "20240101_002_b.vmdat",
                     "X.VMINF", "noext", "y.vminf", "y.vminf.bak"}));
    EXPECT_EQ(FileOps::glob(dir / "missing", "*.*"), Names{});
}

TEST(FileOpsGlob, WildcardEdgeCases) {
    EXPECT_TRUE(FileOps::matchesPattern("aXbYb", "*a*b"));  // the last '*' must backtrack
    EXPECT_FALSE(FileOps::matchesPattern("abc", "*a*b"));
    EXPECT_TRUE(FileOps::matchesPattern("é.wav", "?.wav"));  // '?' is one character
    EXPECT_FALSE(FileOps::matchesPattern("ab.wav", "?.wav"));
    EXPECT_TRUE(FileOps::matchesPattern("readme", "readme.*"));
    EXPECT_FALSE(FileOps::matchesPattern("a.wav", "a.wa"));
}

TEST(FileOpsTree, CopyKeepsSourceContentsAndTimes) {
    TempDir dir;
    makeTree(dir / "src");
    writeFile(dir / "dst/a.vminf", "stale");
    const auto old = fs::file_time_type::clock::now() - std::chrono::hours(48);
    fs::last_write_time(dir / "src/sub/b.aac", old);

    EXPECT_TRUE(FileOps::copyRecursive(dir / "src", dir / "dst"));
    expectTree(dir / "src");
    expectTree(dir / "dst");
    EXPECT_EQ(fs::last_write_time(dir / "dst/sub/b.aac"), old);
    EXPECT_FALSE(FileOps::copyRecursive(dir / "src", dir / "src/sub/inner"));
    EXPECT_FALSE(fs::exists(dir / "src/sub/inner"));
}

TEST(FileOpsTree, FailedCopyLeavesNoPartialTarget) {
    TempDir dir;
    makeTree(dir / "src");
    ASSERT_EQ(::mkfifo((dir / "src/sub/pipe").c_str(), 0600), 0);
    EXPECT_FALSE(FileOps::copyRecursive(dir / "src", dir / "dst"));
    EXPECT_FALSE(fs::exists(dir / "dst"));
    expectTree(dir / "src");
}

TEST(FileOpsTree, MoveRenamesOrFallsBackToCopy) {
    TempDir dir;
    makeTree(dir / "src");
    EXPECT_TRUE(FileOps::moveRecursive(dir / "src", dir / "moved"));
    EXPECT_FALSE(fs::exists(dir / "src"));
    expectTree(dir / "moved");

    const auto crossDevice = [](const fs::path&, const fs::path&) {
        return fail(std::errc::cross_device_link);
    };
    EXPECT_TRUE(FileOps::moveRecursive(dir / "moved", dir / "other", crossDevice));
    EXPECT_FALSE(fs::exists(dir / "moved"));
    expectTree(dir / "other");
}

TEST(FileOpsTree, MoveKeepsSourceWhenItCannotComplete) {
    TempDir dir;
    makeTree(dir / "src");
    const auto denied = [](const fs::path&, const fs::path&) {
        return fail(std::errc::permission_denied);
    };
    EXPECT_FALSE(FileOps::moveRecursive(dir / "src", dir / "dst", denied));
    EXPECT_FALSE(fs::exists(dir / "dst"));

    ASSERT_EQ(::mkfifo((dir / "src/sub/pipe").c_str(), 0600), 0);
    const auto crossDevice = [](const fs::path&, const fs::path&) {
        return fail(std::errc::cross_device_link);
    };
    EXPECT_FALSE(FileOps::moveRecursive(dir / "src", dir / "dst", crossDevice));
    EXPECT_FALSE(fs::exists(dir / "dst"));
    expectTree(dir / "src");
    EXPECT_TRUE(fs::is_fifo(dir / "src/sub/pipe"));
}

TEST(FileOpsTree, RemoveTakesTheWholeTree) {
    TempDir dir;
    makeTree(dir / "src");
    EXPECT_TRUE(FileOps::removeRecursive(dir / "src"));
    EXPECT_FALSE(fs::exists(dir / "src"));
    EXPECT_TRUE(FileOps::removeRecursive(dir / "src"));
}

TEST(FileOpsFlush, NeedsAFileToFlush) {
    TempDir dir;
    std::ofstream(dir / "voice.aac") << "data";
    EXPECT_TRUE(FileOps::flushFile(dir / "voice.aac"));
    EXPECT_FALSE(FileOps::flushFile(dir / "missing.aac"));
}

}  // namespace
}  // namespace orven
