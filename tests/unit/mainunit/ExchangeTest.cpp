#include "MainUnitFixture.h"

namespace orven::mainunit::test {
namespace {

constexpr const char* kA = "202401050930_FRI_0101_00001";
constexpr const char* kB = "202401061000_SAT_0101_00002";
constexpr const char* kC = "202401071100_SUN_0101_00003";
constexpr const char* kD = "202401081200_MON_0101_00004";

// The request list / bundle exchange of a download, and the deletions after it.
class ExchangeTest : public MainUnitTest {
  protected:
    void SetUp() override { prepare(); }

    void prepare() {
        voiceA = addMessage(kBox, kA, "first voice");
        voiceB = addMessage(kBox, kB, "second", HeaderBlockProtected);
        logIn();
    }

    // A fresh folder and main unit with these options.
    void restart(bool deleteOnlyHandedOut) {
        client.reset();
        server.reset();
        std::filesystem::remove_all(options.root);
        options.deleteOnlyHandedOut = deleteOnlyHandedOut;
        prepare();
    }

    std::string message(const char* stem, const char* extension) const {
        return std::string(kBox) + "/" + stem + extension;
    }

    static constexpr std::uint8_t HeaderBlockProtected = 0x02;

    FtpTestClient::Transfer storeList(const std::string& name, const std::string& bytes) {
        return client->store(std::string("STOR ") + kBox + "/" + name, bytes);
    }

    std::string bundle(const std::string& extension) {
        const auto transfer = client->retrieve(std::string("RETR ") + kBox + "/*." + extension);
        EXPECT_EQ(transfer.last.code, transfer.first.code == 150 ? 226 : 0);
        return transfer.first.code == 150 ? transfer.data : std::to_string(transfer.first.code);
    }

    std::string voiceA, voiceB;
};

TEST_F(ExchangeTest, BundleHoldsTheRequestedMessagesThatExistInRequestOrder) {
    const std::string list = requestList(
        {std::string(kB) + ".vmdat", "20240101_gone.vmdat", std::string(kA) + ".vmdat"});
    EXPECT_EQ(storeList("202401081200000000_MON.datco", list).last.code, 226);
    EXPECT_EQ(bundle("datco"), be32(2) + std::string(12, '\0') + voiceB + voiceA);
    EXPECT_FALSE(exists(std::string(kBox) + "/202401081200000000_MON.datco"));

    // Information only: the header blocks alone.
    storeList("x.infco", requestList({std::string(kA) + ".vminf"}));
    EXPECT_EQ(bundle("infco"), be32(1) + std::string(12, '\0') + voiceA.substr(0, 256));

    // The last list stored wins; nothing left of it is 550.
    storeList("y.datco", requestList({"20240101_gone.vmdat"}));
    EXPECT_EQ(bundle("datco"), "550");
    EXPECT_EQ(client->retrieve("RETR /rusuroku/0102/*.datco").first.code, 550);
    EXPECT_EQ(client->retrieve(std::string("RETR ") + kBox + "/*.vmdat").first.code, 550);
}

TEST_F(ExchangeTest, MalformedOrOversizedRequestListChangesNothing) {
    storeList("good.datco", requestList({std::string(kA) + ".vmdat"}));
    const std::string good = bundle("datco");
    std::string shortList = requestList({std::string(kA) + ".vmdat"});
    shortList.pop_back();
    std::string escaping = requestList({"../../etc/passwd"});
    std::string countTooHigh = be32(10001) + std::string(12, '\0');
    for (const std::string& bad : {shortList, escaping, countTooHigh, std::string(10, '\0')}) {
        EXPECT_EQ(storeList("bad.datco", bad).last.code, 451);
    }
    EXPECT_EQ(storeList("big.datco", std::string(16 + 64 * 10000 + 1, '\0')).last.code, 552);
    EXPECT_EQ(bundle("datco"), good);
}

// A and B (protected) go out in a bundle; then C is recorded, D has lost its information
// file, and another box and a plain file sit nearby.
TEST_F(ExchangeTest, WildcardDeleteEmptiesTheBoxOrOnlyWhatWasHandedOut) {
    const std::string dele = std::string("DELE ") + kBox + "/*.vminf";
    for (const bool onlyHandedOut : {false, true}) {
        SCOPED_TRACE(onlyHandedOut ? "only handed out" : "whole box");
        restart(onlyHandedOut);
        storeList("r.datco", requestList({std::string(kA) + ".vmdat", std::string(kB) + ".vmdat"}));
        bundle("datco");
        addMessage(kBox, kC, "recorded after the listing");
        addMessage(kBox, kD);
        std::filesystem::remove(real(message(kD, ".vminf")));
        addMessage("/rusuroku/0102", kA);
        writeFile(real(kBox) / "notes.txt", "n");

        EXPECT_EQ(client->command(dele).code, 250);
        EXPECT_FALSE(exists(message(kA, ".vminf")));
        EXPECT_FALSE(exists(message(kA, ".vmdat")));
        EXPECT_TRUE(exists(message(kB, ".vminf")));  // protected
        EXPECT_EQ(exists(message(kC, ".vminf")), onlyHandedOut);
        EXPECT_EQ(exists(message(kC, ".vmdat")), onlyHandedOut);
        EXPECT_EQ(exists(message(kD, ".vmdat")), onlyHandedOut);
        EXPECT_TRUE(exists(std::string("/rusuroku/0102/") + kA + ".vmdat"));
        EXPECT_TRUE(exists(std::string(kBox) + "/notes.txt"));

        // A new session has been handed nothing.
        client->command("QUIT");
        logIn();
        server->setProtected(message(kB, ""), false);
        EXPECT_EQ(client->command(dele).code, 250);
        EXPECT_EQ(exists(message(kB, ".vminf")), onlyHandedOut);
    }

    EXPECT_EQ(client->command("DELE /rusuroku/0999/*.vminf").code, 550);  // no such box
    MainUnitFaults faults;
    faults.wildcardDeleteUnsupported = true;
    server->setFaults(faults);
    EXPECT_EQ(client->command(dele).code, 550);
}

TEST_F(ExchangeTest, SingleDeleteByAbsoluteOrRelativeName) {
    const std::string a = std::string(kBox) + "/" + kA;
    server->setInUse(a + ".vminf", true);
    EXPECT_EQ(client->command("DELE " + a + ".vminf").code, 450);
    server->setInUse(a, false);
    EXPECT_EQ(client->command("DELE " + a + ".vminf").code, 250);
    EXPECT_FALSE(exists(a + ".vmdat"));
    EXPECT_EQ(client->command("DELE " + a + ".vminf").code, 550);

    client->command(std::string("CWD ") + kBox);
    EXPECT_EQ(client->command(std::string("DELE ") + kB + ".vminf").text,
              "550 Message is protected.");
    EXPECT_TRUE(server->setProtected(std::string(kBox) + "/" + kB + ".vmdat", false));
    EXPECT_EQ(readFile(real(std::string(kBox) + "/" + kB + ".vmdat"))[193], '\0');
    EXPECT_EQ(client->command(std::string("DELE ") + kB + ".vminf").code, 250);
    EXPECT_FALSE(server->setProtected(std::string(kBox) + "/" + kB, true));  // gone
}

}  // namespace
}  // namespace orven::mainunit::test
