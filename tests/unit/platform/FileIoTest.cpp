#include "platform/FileIo.h"

#include <gtest/gtest.h>

#include <fstream>
#include <functional>
#include <iterator>
#include <optional>
#include <set>

#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>

#include "support/FakeFileSystem.h"
#include "support/FileBytes.h"
#include "support/TempDir.h"

namespace orven {
namespace {

using test::readFile;
using test::writeFile;

namespace fs = std::filesystem;
using test::FakeFileSystem;
using test::TempDir;
using Names = std::set<std::string>;

Names entries(const fs::path& folder) {
    Names names;
    for (const auto& e : fs::directory_iterator(folder)) {
        names.insert(e.path().filename().string());
    }
    return names;
}

unsigned modeOf(const fs::path& path) {
    return static_cast<unsigned>(fs::status(path).permissions()) & 07777;
}

// The process umask for one scope.
class ScopedUmask {
  public:
    explicit ScopedUmask(mode_t mask) : m_old(::umask(mask)) {}
    ~ScopedUmask() { ::umask(m_old); }

  private:
    mode_t m_old;
};

TEST(FileIoRead, WholeFilesHeadsAndWhatIsNoFile) {
    TempDir dir;
    writeFile(dir / "five", "12345");
    writeFile(dir / "empty", "");
    const std::string big(200000, 'b');  // more than one read's worth
    writeFile(dir / "big", big);
    fs::create_directory(dir / "folder");
    ASSERT_EQ(::mkfifo((dir / "fifo").c_str(), 0600), 0);  // no writer: a blocking open hangs
    struct Case {
        const char* what;
        ReadResult got;
        ReadStatus status;
        std::string bytes;
    };
    const Case cases[] = {
        {"whole", FileIo::readWhole(dir / "five"), ReadStatus::Ok, "12345"},
        {"at the limit", FileIo::readWhole(dir / "five", 5), ReadStatus::Ok, "12345"},
        {"over the limit", FileIo::readWhole(dir / "five", 4), ReadStatus::TooLarge, ""},
        {"big", FileIo::readWhole(dir / "big"), ReadStatus::Ok, big},
        {"empty", FileIo::readWhole(dir / "empty"), ReadStatus::Ok, ""},
        {"missing", FileIo::readWhole(dir / "none"), ReadStatus::Missing, ""},
        {"folder", FileIo::readWhole(dir / "folder"), ReadStatus::Failed, ""},
        {"fifo", FileIo::readWhole(dir / "fifo"), ReadStatus::Failed, ""},
        {"head", FileIo::readHead(dir / "five", 3), ReadStatus::Ok, "123"},
        {"head of a big file", FileIo::readHead(dir / "big", 70000), ReadStatus::Ok,
         big.substr(0, 70000)},
        {"head of a shorter file", FileIo::readHead(dir / "five", 9), ReadStatus::Ok, "12345"},
        {"head of a fifo", FileIo::readHead(dir / "fifo", 3), ReadStatus::Failed, ""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.got.status, c.status) << c.what;
        EXPECT_EQ(c.got.bytes, c.bytes) << c.what;
    }
}

// Files under /proc report no size; the reader must not trust the size it was told.
TEST(FileIoRead, FileLongerThanItsReportedSizeIsReadToItsEnd) {
    const fs::path file = "/proc/self/environ";
    if (!fs::exists(file)) {
        GTEST_SKIP() << "no /proc";
    }
    ASSERT_EQ(fs::file_size(file), 0u);
    const ReadResult read = FileIo::readWhole(file);
    ASSERT_TRUE(read.ok());
    EXPECT_EQ(read.bytes, readFile(file));
    EXPECT_GT(read.bytes.size(), 1u);
    EXPECT_EQ(FileIo::readWhole(file, 1).status, ReadStatus::TooLarge);
}

TEST(FileIoReplace, ExistingFileKeepsItsModeNewOneGetsTheModeLessTheUmask) {
    struct Case {
        const char* what;
        std::optional<unsigned> existing;
        unsigned newFileMode;
        mode_t umask;
        unsigned expected;
    };
    const Case cases[] = {
        {"new", std::nullopt, 0644, 022, 0644},
        {"new and private", std::nullopt, 0600, 022, 0600},
        {"new under a narrow umask", std::nullopt, 0644, 027, 0640},
        {"existing, group-readable", 0640, 0600, 022, 0640},
        {"existing, read-only", 0444, 0644, 022, 0444},
        {"existing, wider than the umask", 0666, 0644, 077, 0666},
    };
    for (const Case& c : cases) {
        TempDir dir;
        const fs::path file = dir / "settings.ini";
        if (c.existing) {
            writeFile(file, "old");
            fs::permissions(file, static_cast<fs::perms>(*c.existing));
        }
        {
            const ScopedUmask mask(c.umask);
            ASSERT_TRUE(FileIo::replaceAtomically(file, "new", c.newFileMode)) << c.what;
        }
        EXPECT_EQ(readFile(file), "new") << c.what;
        EXPECT_EQ(modeOf(file), c.expected) << c.what;
        EXPECT_EQ(entries(dir.path()), Names{"settings.ini"}) << c.what;
    }
}

TEST(FileIoReplace, SymbolicLinksAreWrittenThrough) {
    TempDir dir;
    fs::create_directory(dir / "real");
    writeFile(dir / "real/x.ini", "old");
    fs::permissions(dir / "real/x.ini", fs::perms::owner_read | fs::perms::owner_write);
    fs::create_symlink("real/x.ini", dir / "link.ini");
    fs::create_symlink(dir / "link.ini", dir / "chain.ini");
    fs::create_symlink("real/made.ini", dir / "dangling.ini");
    fs::create_symlink("loop2", dir / "loop1");
    fs::create_symlink("loop1", dir / "loop2");
    const Names links = {"chain.ini", "dangling.ini", "link.ini", "loop1", "loop2", "real"};

    ASSERT_TRUE(FileIo::replaceAtomically(dir / "chain.ini", "new"));
    EXPECT_EQ(readFile(dir / "real/x.ini"), "new");
    EXPECT_EQ(modeOf(dir / "real/x.ini"), 0600u);
    ASSERT_TRUE(FileIo::replaceAtomically(dir / "dangling.ini", "made"));
    EXPECT_EQ(readFile(dir / "real/made.ini"), "made");
    EXPECT_FALSE(FileIo::replaceAtomically(dir / "loop1", "x"));

    EXPECT_EQ(entries(dir.path()), links);
    for (const char* link : {"chain.ini", "link.ini", "dangling.ini", "loop1"}) {
        EXPECT_TRUE(fs::is_symlink(dir / link)) << link;
    }
    EXPECT_EQ(entries(dir / "real"), (Names{"made.ini", "x.ini"}));
}

TEST(FileIoReplace, EveryFailureLeavesTheOldStateAndNoTemporaryFile) {
    struct Case {
        const char* what;
        std::string target;
        std::function<void(FakeFileSystem&, const fs::path&)> fault;
    };
    const auto none = [](FakeFileSystem&, const fs::path&) {};
    const Case cases[] = {
        {"the write fails", "record.vminf",
         [](FakeFileSystem& files, const fs::path& dir) { files.setWritesFail(dir); }},
        {"the next write fails", "record.vminf",
         [](FakeFileSystem& files, const fs::path&) { files.failWrites(1); }},
        {"no such folder", "missing/x.ini", none},
        {"a folder at the path", "folder", none},
        {"a fifo at the path", "fifo", none},
    };
    for (const Case& c : cases) {
        TempDir dir;
        writeFile(dir / "record.vminf", "old contents");
        fs::create_directory(dir / "folder");
        writeFile(dir / "folder/keep", "kept");
        ASSERT_EQ(::mkfifo((dir / "fifo").c_str(), 0600), 0);
        const Names before = entries(dir.path());
        FakeFileSystem files;
        c.fault(files, dir.path());

        EXPECT_FALSE(FileIo::replaceAtomically(files, dir / c.target, std::string(9000, 'n')))
            << c.what;
        EXPECT_EQ(readFile(dir / "record.vminf"), "old contents") << c.what;
        EXPECT_EQ(readFile(dir / "folder/keep"), "kept") << c.what;
        EXPECT_EQ(entries(dir.path()), before) << c.what;
    }
}

// The rename has happened when the folder flush fails; reporting failure would claim the old
// file is still there.
TEST(FileIoReplace, FailedFolderFlushStillCountsAsReplaced) {
    TempDir dir;
    FakeFileSystem files;
    files.setFolderFlushFails(dir.path());
    EXPECT_FALSE(files.flushFolder(dir.path()));
    EXPECT_TRUE(FileIo::replaceAtomically(files, dir / "list.datco", "new"));
    EXPECT_EQ(readFile(dir / "list.datco"), "new");
}

TEST(FileIoWrite, ShortWriteThenErrorFails) {
    TempDir dir;
    writeFile(dir / "record.vminf", "old contents");
    // A file size limit makes the kernel take part of the write and refuse the rest, for root
    // as well.
    rlimit saved{};
    ::getrlimit(RLIMIT_FSIZE, &saved);
    auto* const oldHandler = ::signal(SIGXFSZ, SIG_IGN);
    rlimit small = saved;
    small.rlim_cur = 1024;
    ::setrlimit(RLIMIT_FSIZE, &small);
    const bool written = FileIo::replaceAtomically(dir / "record.vminf", std::string(4096, 'n'));
    ::setrlimit(RLIMIT_FSIZE, &saved);
    ::signal(SIGXFSZ, oldHandler);

    EXPECT_FALSE(written);
    EXPECT_EQ(readFile(dir / "record.vminf"), "old contents");
    EXPECT_EQ(entries(dir.path()), Names{"record.vminf"});
}

TEST(FileIoFlush, NeedsAFolderToFlush) {
    TempDir dir;
    writeFile(dir / "voice.aac", "data");
    EXPECT_TRUE(FileIo::flushFolder(dir.path()));
    EXPECT_FALSE(FileIo::flushFolder(dir / "voice.aac"));
    EXPECT_FALSE(FileIo::flushFolder(dir / "missing"));
}

}  // namespace
}  // namespace orven
