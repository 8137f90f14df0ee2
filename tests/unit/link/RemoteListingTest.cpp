#include <gtest/gtest.h>

#include <memory>

#include "LinkFixture.h"
#include "link/RemoteListing.h"

namespace orven::test {
namespace {

using Session = ScriptedFtpServer::Session;
using Lines = std::vector<std::string>;

constexpr const char* kBox = "/rusuroku/0101";

class RemoteListingTest : public ScriptedLinkTest {
  protected:
    // Serves NLST by the directory the last CWD named, as a main unit does.
    void serveTree(std::map<std::string, std::string> listings) {
        auto cwd = std::make_shared<std::string>("/");
        server.on("CWD", [cwd](Session& s, const std::string& path) {
            if (path != "../") {
                *cwd = path;
            }
            s.reply("250 Directory changed.");
        });
        server.on("NLST", [cwd, listings](Session& s, const std::string&) {
            s.transfer(listings.at(*cwd));
        });
    }
};

TEST_F(RemoteListingTest, CountsOnlyLinesEndedByCr) {
    server.setData("NLST", "a.vminf\r\na.vmdat\r\nb.vminf");
    logInAndForget();
    EXPECT_EQ(client().CountRemoteFiles({}, kBox), 2);
    const Lines sent = commandsSinceLogIn();
    ASSERT_EQ(sent.size(), 3u);
    EXPECT_EQ(sent[0], "CWD /rusuroku/0101");
    EXPECT_EQ(sent[2], "NLST");
}

TEST_F(RemoteListingTest, MissingBoxAndEmptyBoxAreToldApart) {
    server.on("CWD", [](Session& s, const std::string& path) {
        s.reply(path == "/naisen/9999" ? "550 Failed to change directory." : "250 Okay.");
    });
    logInAndForget();
    EXPECT_EQ(client().CountRemoteFiles({}, "/naisen/9999"), -2);
    EXPECT_EQ(client().CountRemoteFiles({}, kBox), 0);  // NLST answered "550 No files"
    std::string text = "old";
    EXPECT_EQ(client().RunOperation({}, [&] { return client().ListLong(text, kBox, true); }), 1);
    EXPECT_EQ(text, "");
    EXPECT_EQ(
        client().RunOperation({}, [&] { return client().ListLong(text, "/naisen/9999", true); }),
        -2);
}

TEST_F(RemoteListingTest, LongListingGivesTheSizeInBlocks) {
    server.setData(
        "NLST -l *.vmdat",
        "-rw-r--r--   1 main unit     4000 Jan 05 2024 202401050930_FRI_0101_00001.vmdat\r\n"
        "-rw-r--r--   1 main unit     8192 Jan 05 2024 202401051000_FRI_0101_00002.vmdat\r\n");
    logInAndForget();
    std::int64_t size = -7;
    EXPECT_EQ(client().GetRemoteFileSize(size, kBox, {}, "202401051000_FRI_0101_00002.vmdat"), 1);
    EXPECT_EQ(size, 12288);
    EXPECT_EQ(commandsSinceLogIn().back(), "NLST -l *.vmdat");

    size = -7;
    EXPECT_EQ(client().GetRemoteFileSize(size, kBox, {}, "202401051100_FRI_0101_00003.vmdat"), 0);
    EXPECT_EQ(size, -7);
}

TEST_F(RemoteListingTest, FailedCwdReachesTheLongListingsCaller) {
    server.on("CWD", [](Session& s, const std::string&) { s.reply("421 Timeout."); });
    logInAndForget();
    std::string text;
    EXPECT_EQ(client().RunOperation({}, [&] { return client().ListLong(text, kBox, false); }), 421);
    EXPECT_EQ(client().RunOperation({}, [&] { return client().ListNames(text, kBox, true); }), 0);
    std::int64_t size = 0;
    EXPECT_EQ(client().GetRemoteFileSize(size, kBox, {}, "x.vmdat"), -1);
}

// The names arrive in CP932 and leave in UTF-8; each output keeps to its own directory.
TEST_F(RemoteListingTest, BoxListWalksToTheRootAndListsBothKinds) {
    serveTree({{"/", "naisen\r\noutou\r\nrusuroku\r\n"},
               {"/rusuroku", "0101\r\n0102\r\n"},
               {"/naisen", "\xC3\xBD\xC4\r\n"}});
    logInAndForget();
    std::string root, extension, answering;
    EXPECT_EQ(client().GetBoxList(root, extension, answering), 1);
    EXPECT_EQ(root, "naisen\r\noutou\r\nrusuroku\r\n");
    EXPECT_EQ(answering, "0101\r\n0102\r\n");
    EXPECT_EQ(extension, "ﾃｽﾄ\r\n");
    const Lines sent = commandsSinceLogIn();
    ASSERT_EQ(sent.size(), 13u);
    EXPECT_EQ(Lines(sent.begin(), sent.begin() + 5), Lines(5, "CWD ../"));
    EXPECT_EQ(sent[7], "CWD /rusuroku");
    EXPECT_EQ(sent[10], "CWD /naisen");
}

// A listing keeps no more than its buffer, and the text stops at a NUL byte.
TEST_F(RemoteListingTest, ListingsStopAtTheirBufferEnds) {
    std::string huge(RemoteListing::kRawLimit + 5000, 'n');
    server.setData("NLST", huge);
    server.setData("NLST *.vminf", std::string("a.vminf\r\n\0b.vminf\r\n", 19));
    logInAndForget();
    std::string text;
    EXPECT_EQ(client().RunOperation({}, [&] { return client().ListNames(text, kBox, false); }), 1);
    EXPECT_EQ(text.size(), RemoteListing::kRawLimit);
    EXPECT_EQ(client().RunOperation({}, [&] { return client().ListNames(text, kBox, true); }), 1);
    EXPECT_EQ(text, "a.vminf\r\n");

    huge.resize(200'000);
    server.setData("NLST", huge);
    std::string root, extension, answering;
    EXPECT_EQ(client().GetBoxList(root, extension, answering), 1);
    EXPECT_EQ(root.size(), 102'400u);
    EXPECT_EQ(answering.size(), 200'000u);
}

}  // namespace
}  // namespace orven::test
