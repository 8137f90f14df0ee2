#include "MainUnitFixture.h"

namespace orven::mainunit::test {
namespace {

constexpr const char* kOld = "202401010900_MON_A005_0000";
constexpr const char* kNew = "202402011000_THU_A005_0000";

// Uploads of system response messages into /outou.
class UploadTest : public MainUnitTest {
  protected:
    void SetUp() override {
        addMessage("/outou", kOld, "old voice");
        addMessage("/outou", "202401010900_MON_A006_0000", "other number");
        options.maxResponseMessages = 3;
        logIn();
    }

    static std::string image(const std::string& voice, const std::string& padding = "") {
        return headerBlock("made on the PC") + be32(static_cast<std::uint32_t>(voice.size())) +
               voice + padding;
    }

    FtpTestClient::Transfer upload(const std::string& stem, const std::string& bytes) {
        return client->store("STOR /outou/" + stem + ".vmdat", bytes);
    }
};

TEST_F(UploadTest, ReplacesTheOlderMessageOfItsNumber) {
    const auto transfer = upload(kNew, image("new voice", std::string(20, '\0')));
    EXPECT_EQ(transfer.last.code, 226);
    const std::string header = headerBlock(std::string(kNew) + ".vmdat");
    EXPECT_EQ(readFile(real(std::string("/outou/") + kNew + ".vminf")), header);
    EXPECT_EQ(readFile(real(std::string("/outou/") + kNew + ".vmdat")),
              header + be32(9) + "new voice");
    EXPECT_FALSE(exists(std::string("/outou/") + kOld + ".vminf"));
    EXPECT_FALSE(exists(std::string("/outou/") + kOld + ".vmdat"));
    EXPECT_TRUE(exists("/outou/202401010900_MON_A006_0000.vmdat"));
}

TEST_F(UploadTest, RefusalsAre450AndLeaveTheStoreAsItWas) {
    const std::string older = "202312010900_FRI_A005_0000";
    EXPECT_EQ(upload(older, image("v")).first.text,
              "450 A newer message of this number is stored.");

    server->setInUse(std::string("/outou/") + kOld + ".vmdat", true);
    EXPECT_EQ(upload(kNew, image("v")).first.code, 450);
    server->setInUse(std::string("/outou/") + kOld, false);

    addMessage("/outou", "202401010900_MON_A007_0000");  // three stored: full
    EXPECT_EQ(upload("202402011000_THU_A008_0000", image("v")).first.code, 450);
    EXPECT_EQ(upload(kNew, image("v")).last.code, 226);  // a replacement still fits

    MainUnitFaults faults;
    faults.refuseUploads = true;
    server->setFaults(faults);
    EXPECT_EQ(upload("202403011000_FRI_A005_0000", image("v")).first.code, 450);
    EXPECT_FALSE(exists("/outou/202403011000_FRI_A005_0000.vmdat"));
    EXPECT_FALSE(exists(std::string("/outou/") + older + ".vmdat"));
}

TEST_F(UploadTest, MalformedUploadsAndNamesAreRefused) {
    std::string noSignature = image("v");
    noSignature[64] = 'X';
    for (const std::string& bad :
         {image("v").substr(0, 259), image("voice").substr(0, 263), image(""), noSignature,
          image("v", std::string(3, '\0') + "x")}) {
        EXPECT_EQ(upload(kNew, bad).last.code, 451);
    }
    EXPECT_EQ(client->store("STOR /outou/greeting.vmdat", image("v")).first.code, 553);
    EXPECT_EQ(upload("202402011000_THU_B005_0000", image("v")).first.code, 553);
    EXPECT_TRUE(exists(std::string("/outou/") + kOld + ".vmdat"));
    EXPECT_FALSE(exists(std::string("/outou/") + kNew + ".vmdat"));
}

TEST_F(UploadTest, AClientThatDisappearsMidUploadLeavesNoTrace) {
    ASSERT_EQ(client->openDataPort().code, 200);
    EXPECT_EQ(client->command(std::string("STOR /outou/") + kNew + ".vmdat").code, 150);
    ASSERT_TRUE(client->acceptData());
    client->sendData(image("new voice").substr(0, 200));
    client->close();  // gone half way through the image

    auto next = connect();  // served once the first session has been cleared away
    EXPECT_TRUE(next->logIn("maint", "secret"));
    EXPECT_FALSE(exists(std::string("/outou/") + kNew + ".vmdat"));
    EXPECT_TRUE(exists(std::string("/outou/") + kOld + ".vmdat"));
    std::size_t entries = 0;
    for ([[maybe_unused]] const auto& e : std::filesystem::directory_iterator(real("/outou"))) {
        ++entries;
    }
    EXPECT_EQ(entries, 4u);  // no temporary file left behind
}

}  // namespace
}  // namespace orven::mainunit::test
