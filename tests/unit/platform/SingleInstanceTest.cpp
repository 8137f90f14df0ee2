#include "platform/SingleInstance.h"

#include <fstream>
#include <memory>

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include "support/FakeEnvironment.h"
#include "support/TempDir.h"

namespace orven {
namespace {

// Whether a forked child process gets the lock; the child ends at once.
bool childAcquires(const std::filesystem::path& lock) {
    const pid_t pid = fork();
    if (pid == 0) {
        _exit(SingleInstance(lock).tryAcquire() ? 1 : 0);
    }
    int status = 0;
    waitpid(pid, &status, 0);
    return WIFEXITED(status) && WEXITSTATUS(status) == 1;
}

TEST(SingleInstanceTest, OnlyOneHolderAcrossObjectsAndProcesses) {
    const test::TempDir dir;
    const std::filesystem::path lock = dir / "ORVEN-Zu";
    auto first = std::make_unique<SingleInstance>(lock);
    ASSERT_TRUE(first->tryAcquire());
    EXPECT_TRUE(first->tryAcquire());
    EXPECT_FALSE(childAcquires(lock));

    auto second = std::make_unique<SingleInstance>(lock);
    EXPECT_FALSE(second->tryAcquire());
    first.reset();
    EXPECT_TRUE(second->tryAcquire());
    EXPECT_FALSE(childAcquires(lock));
    second.reset();
    EXPECT_TRUE(childAcquires(lock));
}

TEST(SingleInstanceTest, LockLivesInTheRuntimeFolderElseInTheConfigFolder) {
    const test::TempDir dir;
    test::FakeEnvironment env;
    env.set("HOME", dir.path());
    env.set("ORVEN_HOME", dir / "new/home");
    const UserFolders folders(env.getenv());

    SingleInstance inConfig(folders);
    EXPECT_EQ(inConfig.lockPath(), dir / "new/home/ORVEN-Zu");
    EXPECT_TRUE(inConfig.tryAcquire());  // makes the missing config folder
    EXPECT_EQ(inConfig.error(), 0);
    EXPECT_TRUE(std::filesystem::exists(inConfig.lockPath()));

    env.set("XDG_RUNTIME_DIR", dir.path());
    EXPECT_EQ(SingleInstance::lockPathFor(folders), dir / "ORVEN-Zu");
}

TEST(SingleInstanceTest, ABrokenLockFileDoesNotKeepTheUserOut) {
    const test::TempDir dir;
    std::ofstream(dir / "file") << "x";
    SingleInstance lock(dir / "file/ORVEN-Zu");
    EXPECT_TRUE(lock.tryAcquire());
    EXPECT_NE(lock.error(), 0);
}

}  // namespace
}  // namespace orven
