#include <gtest/gtest.h>

#include <memory>

#include "LinkFixture.h"

namespace orven::test {
namespace {

using Session = ScriptedFtpServer::Session;
using Lines = std::vector<std::string>;

constexpr const char* kRequest = "/rusuroku/0101/202401051200.datco";

class StoreTest : public ScriptedLinkTest {};

TEST_F(StoreTest, StoresTheBytesFromTheRoot) {
    const std::string bytes(5000, 'r');
    logInAndForget();
    EXPECT_EQ(client().PutFile(bytes, {}, kRequest), TransferResult::Done);
    EXPECT_EQ(server.uploads().at(kRequest), bytes);  // ended in order, or it would be cut
    const Lines sent = commandsSinceLogIn();
    ASSERT_EQ(sent.size(), 7u);
    EXPECT_EQ(Lines(sent.begin(), sent.begin() + 5), Lines(5, "CWD ../"));
    EXPECT_TRUE(sent[5].starts_with("PORT "));
    EXPECT_EQ(sent[6], std::string("STOR ") + kRequest);
}

TEST_F(StoreTest, RootWalkStopsAt550AndFailsOnAnythingElse) {
    server.on("CWD", [](Session& s, const std::string&) { s.reply("550 At the root."); });
    logInAndForget();
    EXPECT_EQ(client().PutFile("x", {}, kRequest), TransferResult::Done);
    EXPECT_EQ(commandsSinceLogIn()[0], "CWD ../");
    EXPECT_EQ(commandsSinceLogIn()[1].substr(0, 4), "PORT");

    server.on("CWD", [](Session& s, const std::string&) { s.reply("421 Timeout."); });
    EXPECT_EQ(client().PutFile("x", {}, "/outou/b.vmdat"), TransferResult::Failed);
    EXPECT_EQ(server.uploads().count("/outou/b.vmdat"), 0u);
}

TEST_F(StoreTest, RefusalsComeBackAsTheirCodes) {
    server.on("STOR", [](Session& s, const std::string& path) {
        if (path == "/outou/old.vmdat") {
            s.reply("553 File name not allowed.");
            return;
        }
        s.connectData();
        s.reply("150 Ok to send data.");
        s.receiveData();
        s.closeData();
        s.reply("450 Message is in use.");
    });
    server.on("DELE", [](Session& s, const std::string&) { s.reply("450 Message is in use."); });
    logInAndForget();
    EXPECT_EQ(client().PutFile("x", {}, "/outou/old.vmdat"), transferResultOf(553));
    EXPECT_EQ(client().PutFile("x", {}, "/outou/new.vmdat"), TransferResult::Refused);
    EXPECT_EQ(client().DeleteRemoteFile({}, "/naisen/0201/a.vminf"), TransferResult::Refused);
    EXPECT_EQ(commandsSinceLogIn().back(), "DELE /naisen/0201/a.vminf");
}

// A cancelled upload is reset, not ended: the main unit must not keep the part for the
// whole. Nothing of the data channel is left open.
TEST_F(StoreTest, CancelResetsTheUploadAndLeavesNoDescriptor) {
    auto received = std::make_shared<std::string>();
    auto reset = std::make_shared<bool>(false);
    server.on("STOR", [received, reset](Session& s, const std::string&) {
        s.connectData();
        s.reply("150 Ok to send data.");
        *received = s.receiveData(reset.get());
        s.closeData();
        if (s.readCommand() == "ABOR") {
            s.send("426 Transfer aborted.\r\n225 ABOR successful.\r\n");
        }
    });
    constexpr int kPieces = 4096;
    int pumps = 0;  // 1000: well inside the pieces, after the replies that come before them
    CancellingUi ui(cancel, [&pumps] { return ++pumps == 1000; });
    CFtpMng uploader(givenServices(&ui, timing, cancel, {}));
    ASSERT_EQ(uploader.Login("127.0.0.1", "maint", "secret", server.port()), LoginResult::LoggedIn);

    const int before = openDescriptors();
    EXPECT_EQ(uploader.PutFile(std::string(kPieces * 1024, 'u'), {}, kRequest),
              TransferResult::Failed);
    EXPECT_EQ(openDescriptors(), before);
    EXPECT_EQ(server.commands().back(), "ABOR");
    EXPECT_LT(received->size(), kPieces * 1024u);
    EXPECT_TRUE(*reset);
}

}  // namespace
}  // namespace orven::test
