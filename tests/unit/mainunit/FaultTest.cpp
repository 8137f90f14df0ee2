#include "MainUnitFixture.h"

namespace orven::mainunit::test {
namespace {

// The misbehaviour tests of the client switch on, and ABOR.
class FaultTest : public MainUnitTest {
  protected:
    void SetUp() override {
        writeFile(real(kBox) / "file.bin", std::string(1000, 'f'));
        start();
    }

    void set(const MainUnitFaults& faults) { server->setFaults(faults); }
};

TEST_F(FaultTest, RefusedLogIn) {
    set({.refuseLogIn = true});
    auto c = connect();
    EXPECT_FALSE(c->logIn("maint", "secret"));
}

TEST_F(FaultTest, ControlConnectionDroppedAfterCommandsOnceOrAlways) {
    set({.dropControlAfterCommands = 3, .dropOnce = true});
    auto c = connect();
    EXPECT_TRUE(c->logIn("maint", "secret"));
    EXPECT_EQ(c->command("NOOP").code, 200);
    EXPECT_TRUE(c->closedByServer());
    EXPECT_EQ(server->faults().dropControlAfterCommands, 0);

    auto again = connect();  // the fault fired once
    EXPECT_TRUE(again->logIn("maint", "secret"));
    EXPECT_EQ(again->command("NOOP").code, 200);
    EXPECT_EQ(again->command("NOOP").code, 200);
}

TEST_F(FaultTest, DataConnectionCutAfterBytes) {
    set({.dropDataAfterBytes = 100});
    FtpTestClient& c = logIn();
    const auto retrieved = c.retrieve(std::string("RETR ") + kBox + "/file.bin");
    EXPECT_EQ(retrieved.data, std::string(100, 'f'));
    EXPECT_EQ(retrieved.last.code, 426);

    const auto stored = c.store(std::string("STOR ") + kBox + "/new.bin", std::string(5000, 'n'));
    EXPECT_EQ(stored.last.code, 426);
    EXPECT_FALSE(exists(std::string(kBox) + "/new.bin"));
    EXPECT_EQ(c.command("NOOP").code, 200);
}

TEST_F(FaultTest, StalledRepliesStillCome) {
    set({.stallMs = 20, .stallCommand = "CWD"});
    FtpTestClient& c = logIn();
    EXPECT_EQ(c.command(std::string("CWD ") + kBox).code, 250);
    set({.stallMs = 20});
    EXPECT_EQ(c.retrieve("RETR file.bin").last.code, 226);
}

TEST_F(FaultTest, AborEndsAnUploadWith426Then225) {
    FtpTestClient& c = logIn();
    ASSERT_EQ(c.openDataPort().code, 200);
    EXPECT_EQ(c.command(std::string("STOR ") + kBox + "/partial.bin").code, 150);
    ASSERT_TRUE(c.acceptData());
    c.sendData("half of it");
    EXPECT_EQ(c.command("ABOR").code, 426);
    EXPECT_EQ(c.readReply().code, 225);
    c.closeData();
    EXPECT_FALSE(exists(std::string(kBox) + "/partial.bin"));
    EXPECT_EQ(c.command("NOOP").code, 200);
}

TEST_F(FaultTest, StopEndsAStalledSessionAndATransfer) {
    FtpTestClient& c = logIn();
    ASSERT_EQ(c.openDataPort().code, 200);
    EXPECT_EQ(c.command(std::string("STOR ") + kBox + "/never.bin").code, 150);
    set({.stallMs = 600000});
    server->stop();  // returns although the transfer waits for data and replies stall
    EXPECT_TRUE(c.closedByServer());
    EXPECT_FALSE(exists(std::string(kBox) + "/never.bin"));
}

}  // namespace
}  // namespace orven::mainunit::test
