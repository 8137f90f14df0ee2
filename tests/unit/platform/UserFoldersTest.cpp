#include "platform/UserFolders.h"

#include <fstream>

#include <gtest/gtest.h>
#include <sys/stat.h>

#include "support/FakeEnvironment.h"
#include "support/TempDir.h"

namespace orven {
namespace {

namespace fs = std::filesystem;

class UserFoldersTest : public ::testing::Test {
  protected:
    UserFoldersTest() { env.set("HOME", home.path()); }

    test::TempDir home;
    test::FakeEnvironment env;
    UserFolders folders{env.getenv()};
};

TEST_F(UserFoldersTest, OrvenHomeElseTheXdgBaseFolders) {
    env.set("ORVEN_HOME", "/srv/orven");
    env.set("XDG_CONFIG_HOME", "/cfg");
    EXPECT_EQ(folders.settingsPath(), "/srv/orven/ORVEN.ini");
    EXPECT_EQ(folders.holdingFolder(), "/srv/orven/tmp");

    env.set("ORVEN_HOME", "");
    env.set("XDG_DATA_HOME", "relative/data");  // not absolute: ignored
    EXPECT_EQ(folders.settingsPath(), "/cfg/orven/ORVEN.ini");
    EXPECT_EQ(folders.holdingFolder(), home / ".local/share/orven/tmp");
}

// The window offers this file to the user: it must lie in the data folder, whichever it is.
TEST_F(UserFoldersTest, DialogueLogLiesInTheDataFolder) {
    env.set("XDG_DATA_HOME", "/data");
    EXPECT_EQ(folders.dialogueLogPath(), "/data/orven/ftp-dialogue.log");
    env.set("ORVEN_HOME", "/srv/orven");
    EXPECT_EQ(folders.dialogueLogPath(), "/srv/orven/ftp-dialogue.log");
}

TEST_F(UserFoldersTest, DocumentsFolderComesFromUserDirsThenDocumentsThenHome) {
    EXPECT_EQ(folders.documentsFolder(), home.path());
    fs::create_directories(home / "Documents");
    EXPECT_EQ(folders.documentsFolder(), home / "Documents");

    fs::create_directories(home / ".config");
    std::ofstream(home / ".config/user-dirs.dirs") << "XDG_DOCUMENTS_DIR=\"$HOME/old\"\n"
                                                      "# XDG_DOCUMENTS_DIR=\"/commented\"\n"
                                                      "XDG_DOCUMENTS_DIR=\"$HOME/文書\"\r\n"
                                                      "XDG_DESKTOP_DIR=\"/desk\"\n";
    EXPECT_EQ(folders.documentsFolder(), home / "文書");
}

TEST_F(UserFoldersTest, RuntimeFolderOnlyWhenUsable) {
    EXPECT_EQ(folders.runtimeFolder(), std::nullopt);
    for (const fs::path& bad : {home / "missing", fs::path("run")}) {
        env.set("XDG_RUNTIME_DIR", bad);
        EXPECT_EQ(folders.runtimeFolder(), std::nullopt) << bad;
    }
    env.set("XDG_RUNTIME_DIR", home.path());
    EXPECT_EQ(folders.runtimeFolder(), home.path());
}

TEST_F(UserFoldersTest, MakesPrivateFoldersWithTheirParents) {
    ASSERT_TRUE(UserFolders::makePrivateFolder(home / "a/b"));
    ASSERT_TRUE(UserFolders::makePrivateFolder(home / "a/b"));
    for (const fs::path& p : {home / "a", home / "a/b"}) {
        struct stat st {};
        ASSERT_EQ(stat(p.c_str(), &st), 0);
        EXPECT_EQ(st.st_mode & 0777, 0700u) << p;
    }
    std::ofstream(home / "file") << "x";
    EXPECT_FALSE(UserFolders::makePrivateFolder(home / "file/sub"));
}

}  // namespace
}  // namespace orven
