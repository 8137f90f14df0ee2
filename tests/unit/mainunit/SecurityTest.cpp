#include "MainUnitFixture.h"

namespace orven::mainunit::test {
namespace {

// Whatever a client sends, nothing outside the served folder is read, listed, written or
// deleted.
class SecurityTest : public MainUnitTest {
  protected:
    void SetUp() override {
        writeFile(dir / "outside" / "secret.txt", "secret");
        addMessage(kBox, "202401050930_FRI_0101_00001");
        std::filesystem::create_directory_symlink(dir / "outside", real("/rusuroku/link"));
        std::filesystem::create_symlink(dir / "outside" / "secret.txt", real(kBox) / "s.txt");
        logIn();
    }
};

TEST_F(SecurityTest, ReadingAndListingStayInside) {
    for (const char* path :
         {"../outside/secret.txt", "/../outside/secret.txt", "/rusuroku/../../outside/secret.txt",
          "/rusuroku/link/secret.txt", "/rusuroku/0101/s.txt", "/rusuroku/0101/.", ""}) {
        EXPECT_EQ(client->retrieve(std::string("RETR ") + path).first.code, 550) << path;
        EXPECT_EQ(client->command(std::string("SIZE ") + path).code, 550) << path;
    }
    EXPECT_EQ(client->command("CWD /rusuroku/link").code, 550);
    EXPECT_EQ(client->command("CWD /../../..").code, 250);  // ".." stops at the root
    EXPECT_EQ(client->command("PWD").text, "257 \"/\" is the current directory");
    EXPECT_EQ(client->retrieve("NLST /rusuroku/link").first.code, 550);
    EXPECT_EQ(client->retrieve("NLST /rusuroku").data, "0101\r\n");  // the link is not shown
}

TEST_F(SecurityTest, WritingAndDeletingStayInside) {
    for (const char* path : {"../escape.txt", "/rusuroku/link/new.txt", "/nowhere/new.txt",
                             "/rusuroku/0101/.hidden", "/rusuroku", "/rusuroku/*.txt"}) {
        EXPECT_EQ(client->store(std::string("STOR ") + path, "x").first.code, 553) << path;
    }
    EXPECT_EQ(client->command("DELE /rusuroku/link/secret.txt").code, 550);
    EXPECT_EQ(client->command("DELE ../outside/secret.txt").code, 550);
    EXPECT_EQ(readFile(dir / "outside" / "secret.txt"), "secret");
    EXPECT_FALSE(std::filesystem::exists(dir / "escape.txt"));

    // A plain file can be stored in any folder of the tree, and taken back.
    EXPECT_EQ(client->store("STOR /rusuroku/0101/memo.txt", "memo").last.code, 226);
    EXPECT_EQ(client->retrieve("RETR /rusuroku/0101/memo.txt").data, "memo");
    EXPECT_EQ(client->command("DELE /rusuroku/0101/memo.txt").code, 250);
    EXPECT_EQ(client->command("DELE /rusuroku/0101").code, 550);  // not a folder
}

}  // namespace
}  // namespace orven::mainunit::test
