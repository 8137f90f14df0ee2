#include <gtest/gtest.h>

#include <vector>

#include "JobFixture.h"
#include "link/ResponseUpload.h"
#include "resources/Texts.h"
#include "store/MessageInfoFile.h"

namespace orven::test {
namespace {

constexpr const char* kOld = "202401010900_MON_A005_0000";  // on the main unit already
constexpr const char* kFive = "202402011000_THU_A005_0000";
constexpr const char* kSix = "202402011000_THU_A006_0000";
constexpr int kUntouched = 7;  // neither outcome

class ResponseUploadTest : public MainUnitJobTest {
  protected:
    ResponseUploadTest() {
        addRemote("/outou", kOld, "old voice");
        addLocal(outou, kFive, "voice five", kUntouched);
        addLocal(outou, kSix, "voice six", kUntouched);
    }

    std::vector<ResponseUpload::Row> rows(std::initializer_list<const char*> stems) {
        std::vector<ResponseUpload::Row> list;
        for (const char* stem : stems) {
            list.push_back({outou / (std::string(stem) + ".aac"), FILESTS_INFO::zeroed()});
        }
        return list;
    }
    ResponseUpload::Outcome upload(std::vector<ResponseUpload::Row> list) {
        return ResponseUpload(env).run(list, dir.path());
    }
    int uploadedByte(const char* stem) {
        FILESTS_INFO record = FILESTS_INFO::zeroed();
        MessageInfoFile(env).ReadInfo(outou / (std::string(stem) + ".vminf"), record);
        return record.played;
    }
    bool onMainUnit(const char* stem) {
        return std::filesystem::exists(onUnit(std::string("/outou/") + stem + ".vmdat"));
    }

    std::filesystem::path outou = dir / "store" / "outou";
};

TEST_F(ResponseUploadTest, StoresEveryMessageAndMarksItUploaded) {
    ui.expectMessage(std::string(text::kUploadDone), IdOk)
        .title(std::string(text::kUploadDoneTitle))
        .icon(Icon::Information);
    EXPECT_EQ(upload(rows({kFive, kSix})).uploaded, 2);
    EXPECT_TRUE(onMainUnit(kFive));
    EXPECT_TRUE(onMainUnit(kSix));
    EXPECT_FALSE(onMainUnit(kOld));  // replaced by the newer message of its number
    EXPECT_EQ(readFile(onUnit(std::string("/outou/") + kFive + ".vmdat")).substr(256),
              be32(10) + "voice five");
    EXPECT_EQ(uploadedByte(kFive), 1);
    EXPECT_EQ(uploadedByte(kSix), 1);
    ASSERT_EQ(ui.progresses().size(), 1u);
    EXPECT_EQ(ui.progresses()[0].title, text::kProgressUploading);
    EXPECT_TRUE(ui.progresses()[0].closed);
}

TEST_F(ResponseUploadTest, RefusalsGoOnWithTheNextMessageAndChooseTheText) {
    // In use: the main unit's message of number 5 cannot be replaced.
    server->setInUse(std::string("/outou/") + kOld, true);
    ui.expectMessage(std::string(text::kUploadPartly), IdOk)
        .title(std::string(text::kErrorTitle))
        .icon(Icon::Information);
    EXPECT_EQ(upload(rows({kFive, kSix})).uploaded, 1);
    EXPECT_EQ(uploadedByte(kFive), 0);
    EXPECT_EQ(uploadedByte(kSix), 1);
    EXPECT_TRUE(onMainUnit(kOld));

    mainunit::MainUnitFaults faults;
    faults.refuseUploads = true;
    server->setFaults(faults);
    ui.expectMessage(std::string(text::kUploadRefused), IdOk).icon(Icon::Exclamation);
    EXPECT_EQ(upload(rows({kFive, kSix})).uploaded, 0);
    EXPECT_EQ(uploadedByte(kSix), 0);
    ui.expectMessage(std::string(text::kUploadRefused), IdOk);
    upload(rows({kSix}));
    ui.verifyAllAnswered();
}

TEST_F(ResponseUploadTest, MissingVoiceFileIsLeftOutWithoutAskingTheMainUnit) {
    std::filesystem::remove(outou / (std::string(kSix) + ".aac"));
    ui.expectMessage(std::string(text::kUploadDone), IdOk);
    EXPECT_EQ(upload(rows({kSix, kFive})).uploaded, 1);
    EXPECT_EQ(uploadedByte(kSix), kUntouched);  // untouched

    server->clearCommands();
    ui.expectMessage(std::string(text::kUploadRefused), IdOk);
    upload(rows({kSix}));
    EXPECT_TRUE(server->commands().empty());

    ui.expectMessage(std::string(text::kUploadNoneSelected), IdOk).icon(Icon::Exclamation);
    upload({});
    EXPECT_TRUE(ui.progresses().size() == 2u);  // no dialog for an empty selection
}

TEST_F(ResponseUploadTest, BrokenConnectionEndsTheUploadAndTheSession) {
    mainunit::MainUnitFaults faults;
    faults.dropDataAfterBytes = 100;
    server->setFaults(faults);
    ui.expectMessage(std::string(text::kCommunicationError), IdOk).icon(Icon::Exclamation);
    const auto outcome = upload(rows({kFive, kSix}));
    EXPECT_TRUE(outcome.loggedOut);
    EXPECT_FALSE(ftp->IsLoggedIn());
    EXPECT_EQ(uploadedByte(kFive), 0);
    EXPECT_EQ(uploadedByte(kSix), kUntouched);  // never reached
    EXPECT_TRUE(ui.progresses()[0].closed);
}

TEST_F(ResponseUploadTest, BrokenConnectionAfterAStoredMessageAlsoSaysSomeWentUp) {
    std::filesystem::remove(onUnit(std::string("/outou/") + kOld + ".vmdat"));
    std::filesystem::remove(onUnit(std::string("/outou/") + kOld + ".vminf"));
    ASSERT_EQ(ftp->Login("127.0.0.1", "maint", "zuka", server->port()), LoginResult::LoggedIn);
    server->clearCommands();
    mainunit::MainUnitFaults faults;
    faults.dropControlAfterCommands = 9;  // after the first STOR's end reply (5 CWD, PORT, STOR)
    server->setFaults(faults);
    ui.expectMessage(std::string(text::kCommunicationError), IdOk);
    ui.expectMessage(std::string(text::kUploadPartly), IdOk).icon(Icon::Information);
    const auto outcome = upload(rows({kFive, kSix}));
    EXPECT_EQ(outcome.uploaded, 1);
    EXPECT_TRUE(outcome.loggedOut);
}

TEST_F(ResponseUploadTest, CancelDuringTheStoreStillWritesTheRecord) {
    ui.cancelProgressAfterPercentCalls(1);  // after the first message
    EXPECT_EQ(upload(rows({kFive, kSix})).uploaded, 1);
    EXPECT_EQ(uploadedByte(kFive), 1);
    EXPECT_EQ(uploadedByte(kSix), 0);  // cancelled in its STOR, written back all the same
    EXPECT_FALSE(onMainUnit(kSix));
}

}  // namespace
}  // namespace orven::test
