#include <gtest/gtest.h>

#include <atomic>
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
    EXPECT_EQ(client().CountRemoteFiles({}, "/naisen/9999"), RemoteCount::kNoSuchDirectory);
    EXPECT_EQ(client().CountRemoteFiles({}, kBox), 0);  // NLST answered "550 No files"
    std::string text = "old";
    EXPECT_EQ(client().RunOperation({}, [&] { return client().ListLong(text, kBox, true); }),
              ListingResult::Listed);
    EXPECT_EQ(text, "");
    EXPECT_EQ(
        client().RunOperation({}, [&] { return client().ListLong(text, "/naisen/9999", true); }),
        ListingResult::NoSuchDirectory);
}

TEST_F(RemoteListingTest, LongListingGivesTheSizeInBlocks) {
    server.setData(
        "NLST -l *.vmdat",
        "-rw-r--r--   1 main unit     4000 Jan 05 2024 202401050930_FRI_0101_00001.vmdat\r\n"
        "-rw-r--r--   1 main unit     8192 Jan 05 2024 202401051000_FRI_0101_00002.vmdat\r\n");
    logInAndForget();
    std::int64_t size = -7;
    EXPECT_EQ(client().GetRemoteFileSize(size, kBox, {}, "202401051000_FRI_0101_00002.vmdat"),
              FileSizeResult::Found);
    EXPECT_EQ(size, 12288);
    EXPECT_EQ(commandsSinceLogIn().back(), "NLST -l *.vmdat");

    size = -7;
    EXPECT_EQ(client().GetRemoteFileSize(size, kBox, {}, "202401051100_FRI_0101_00003.vmdat"),
              FileSizeResult::NotListed);
    EXPECT_EQ(size, -7);
}

TEST_F(RemoteListingTest, FailedCwdReachesTheLongListingsCaller) {
    server.on("CWD", [](Session& s, const std::string&) { s.reply("421 Timeout."); });
    logInAndForget();
    std::string text;
    EXPECT_EQ(client().RunOperation({}, [&] { return client().ListLong(text, kBox, false); }),
              listingResultOf(421));
    EXPECT_EQ(client().RunOperation({}, [&] { return client().ListNames(text, kBox, true); }),
              ListingResult::CommandFailed);
    std::int64_t size = 0;
    EXPECT_EQ(client().GetRemoteFileSize(size, kBox, {}, "x.vmdat"), FileSizeResult::Failed);
}

// The names arrive in CP932 and leave in UTF-8; each output keeps to its own directory.
TEST_F(RemoteListingTest, BoxListWalksToTheRootAndListsBothKinds) {
    serveTree({{"/", "naisen\r\noutou\r\nrusuroku\r\n"},
               {"/rusuroku", "0101\r\n0102\r\n"},
               {"/naisen", "\xC3\xBD\xC4\r\n"}});
    logInAndForget();
    std::string root, extension, answering;
    EXPECT_EQ(client().GetBoxList(root, extension, answering), ListingResult::Listed);
    EXPECT_EQ(root, "naisen\r\noutou\r\nrusuroku\r\n");
    EXPECT_EQ(answering, "0101\r\n0102\r\n");
    EXPECT_EQ(extension, "ﾃｽﾄ\r\n");
    const Lines sent = commandsSinceLogIn();
    ASSERT_EQ(sent.size(), 13u);
    EXPECT_EQ(Lines(sent.begin(), sent.begin() + 5), Lines(5, "CWD ../"));
    EXPECT_EQ(sent[7], "CWD /rusuroku");
    EXPECT_EQ(sent[10], "CWD /naisen");
}

// A listing counts only when it is whole: a message that a cut listing leaves out would be
// taken for gone, and the deletion after download would take it from the main unit.
TEST_F(RemoteListingTest, OnlyAWholeListingCounts) {
    struct Case {
        const char* what;
        std::string data;
        const char* endReply;
        ListingResult expected;  // of the listings
        int count;               // of CountRemoteFiles
    };
    const std::string lines = "a.vminf\r\nb.vminf\r\n";
    constexpr auto kListed = ListingResult::Listed;
    constexpr auto kFailed = ListingResult::Failed;
    constexpr int kNoCount = RemoteCount::kFailed;
    const std::vector<Case> cases = {
        {"whole", lines, "226 Transfer complete.", kListed, 2},
        {"cut by the main unit", lines, "426 Connection closed; transfer aborted.", kFailed,
         kNoCount},
        {"ended by an error", lines, "451 Local error in processing.", kFailed, kNoCount},
        {"no end reply at all", lines, "", kFailed, kNoCount},
        {"one byte short of the limit", std::string(RemoteListing::kRawLimit - 1, 'n'),
         "226 Transfer complete.", kListed, 0},
        {"at the limit", std::string(RemoteListing::kRawLimit, 'n'), "226 Transfer complete.",
         kFailed, kNoCount},
    };
    const Case* current = nullptr;
    server.on("NLST", [&current](Session& s, const std::string&) {
        s.reply("150 Here comes the directory listing.");
        if (s.connectData()) {
            s.sendData(current->data);
        }
        s.closeData();
        if (*current->endReply != '\0') {
            s.reply(current->endReply);
        }
    });
    timing.replyTimeoutMs = 500;
    logInAndForget();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        current = &c;
        std::string text;
        EXPECT_EQ(client().RunOperation({}, [&] { return client().ListLong(text, kBox, false); }),
                  c.expected);
        EXPECT_EQ(client().RunOperation({}, [&] { return client().ListNames(text, kBox, true); }),
                  c.expected);
        EXPECT_EQ(client().CountRemoteFiles({}, kBox), c.count);
    }
}

// The text stops at a NUL byte; the box list keeps no more than its outputs hold, and a kind
// without boxes ("550 No files found.") is an empty list, not a failure.
TEST_F(RemoteListingTest, BoxListKeepsToItsOutputsAndTakesAnEmptyKind) {
    server.setData("NLST *.vminf", std::string("a.vminf\r\n\0b.vminf\r\n", 19));
    logInAndForget();
    std::string text;
    EXPECT_EQ(client().RunOperation({}, [&] { return client().ListNames(text, kBox, true); }),
              ListingResult::Listed);
    EXPECT_EQ(text, "a.vminf\r\n");

    auto cwd = std::make_shared<std::string>("/");
    server.on("CWD", [cwd](Session& s, const std::string& path) {
        *cwd = path == "../" ? *cwd : path;
        s.reply("250 Directory changed.");
    });
    server.on("NLST", [cwd](Session& s, const std::string&) {
        if (*cwd == "/naisen") {
            s.reply("550 No files found.");
        } else {
            s.transfer(std::string(200'000, 'n'));
        }
    });
    std::string root, extension, answering;
    EXPECT_EQ(client().GetBoxList(root, extension, answering), ListingResult::Listed);
    EXPECT_EQ(root.size(), 102'400u);
    EXPECT_EQ(answering.size(), 200'000u);
    EXPECT_EQ(extension, "");
}

// Only the main unit may deliver data: someone else on the machine who finds the port first
// is turned away, and the main unit's own connection is still taken.
TEST_F(RemoteListingTest, DataFromAStrangerIsRefused) {
    server.on("NLST", [](Session& s, const std::string&) {
        s.reply("150 Here comes the directory listing.");
        ASSERT_TRUE(s.connectStranger("127.0.0.2", "evil.vminf\r\n"));
        if (s.connectData()) {
            s.sendData("a.vminf\r\n");
        }
        s.closeData();
        s.reply("226 Transfer complete.");
    });
    logInAndForget();
    std::string text;
    EXPECT_EQ(client().RunOperation({}, [&] { return client().ListNames(text, kBox, false); }),
              ListingResult::Listed);
    EXPECT_EQ(text, "a.vminf\r\n");
}

// A main unit that keeps talking cannot hold the client: stray lines are drained only so far.
TEST_F(RemoteListingTest, EndlessStrayRepliesDoNotHoldTheClient) {
    std::atomic<bool> talking{false};
    server.on("CWD", [&talking](Session& s, const std::string&) {
        s.reply("250 Directory changed.");
        talking = true;
        const std::string line = "211-" + std::string(200, 'x') + "\r\n";
        for (int sent = 0; sent < 200'000; ++sent) {
            s.send(line);
        }
        talking = false;
    });
    timing.dataAcceptTimeoutMs = 200;
    logInAndForget();
    std::string text;
    client().RunOperation({}, [&] { return client().ListNames(text, kBox, false); });
    // The next operation begins by draining: it must not wait for the stream to end.
    client().RunOperation({}, [] { return TransferResult::Done; });
    EXPECT_TRUE(talking);
}

}  // namespace
}  // namespace orven::test
