#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <memory>
#include <utility>

#include "LinkFixture.h"
#include "link/ListingLines.h"
#include "mainunit/MainUnitServer.h"
#include "platform/FileOps.h"

namespace orven::test {
namespace {

namespace fs = std::filesystem;
using mainunit::MainUnitOptions;
using mainunit::MainUnitServer;
using Lines = std::vector<std::string>;

constexpr const char* kBox = "/rusuroku/0101";
constexpr const char* kA = "202401050930_FRI_0101_00001";
constexpr const char* kB = "202402011000_THU_0201_00001";

std::string be32(std::uint32_t v) {
    return {static_cast<char>(v >> 24), static_cast<char>(v >> 16), static_cast<char>(v >> 8),
            static_cast<char>(v)};
}

// Count, 12 zero bytes, then each name NUL-padded to 64 bytes.
std::string requestList(const std::vector<std::string>& names) {
    std::string list = be32(static_cast<std::uint32_t>(names.size())) + std::string(12, '\0');
    for (const std::string& name : names) {
        list += name + std::string(64 - name.size(), '\0');
    }
    return list;
}

// The client against the main unit stand-in, in-process on an ephemeral loopback port.
class MainUnitLinkTest : public ::testing::Test {
  protected:
    void SetUp() override {
        MainUnitOptions options;
        options.root = dir / "root";
        options.password = "secret";
        // 256 + 4 + 7932 bytes: a voice data file of exactly 8192 bytes.
        voiceA = addMessage(kBox, kA, std::string(7932, 'v'));
        addMessage("/naisen/0201", kB, "short");
        fs::create_directories(dir / "root" / "naisen" / "0202");
        fs::create_directories(local);
        server = std::make_unique<MainUnitServer>(options);
        ASSERT_TRUE(server->start());
        client = makeClient(nullptr);
        ASSERT_EQ(client->Login("127.0.0.1", "maint", "secret", server->port()),
                  LoginResult::LoggedIn);
    }

    std::unique_ptr<CFtpMng> makeClient(Ui* ui) {
        return std::make_unique<CFtpMng>(givenServices(ui, timing, cancel, dir.path()));
    }

    // A message as the main unit keeps it; returns the ".vmdat" bytes.
    std::string addMessage(const std::string& folder, const std::string& stem,
                           const std::string& voice) {
        std::string header(256, '\0');
        header.replace(0, stem.size() + 6, stem + ".vmdat");
        header.replace(64, 16, "Zu-KA Voice-data");
        const std::string data = header + be32(static_cast<std::uint32_t>(voice.size())) + voice;
        const fs::path real = dir / "root" / fs::path(folder).relative_path();
        fs::create_directories(real);
        EXPECT_TRUE(FileOps::replaceFileAtomically(real / (stem + ".vminf"), header));
        EXPECT_TRUE(FileOps::replaceFileAtomically(real / (stem + ".vmdat"), data));
        return data;
    }

    TempDir dir;
    fs::path local = dir / "store" / "rusuroku" / "0101";
    Timing timing = quickTiming();
    std::atomic<int> cancel{0};
    std::unique_ptr<MainUnitServer> server;
    std::unique_ptr<CFtpMng> client;
    std::string voiceA;
};

TEST_F(MainUnitLinkTest, LogInNeedsTheRightPasswordAndTheOnlySeat) {
    auto second = makeClient(nullptr);
    // Only one PC at a time: the second cannot get through, as with a lost cable.
    EXPECT_EQ(second->Login("127.0.0.1", "maint", "secret", server->port()),
              LoginResult::NoConnection);
    client->Logout();
    EXPECT_EQ(server->commands().back(), "QUIT");
    EXPECT_EQ(second->Login("127.0.0.1", "office", "wrong", server->port()), LoginResult::Refused);
    EXPECT_EQ(second->Login("127.0.0.1", "office", "secret", server->port()),
              LoginResult::LoggedIn);
    EXPECT_EQ(second->ProbePort(), CFtpMng::kAnswered);
}

TEST_F(MainUnitLinkTest, BoxListCountsAndSizes) {
    std::string root, extension, answering;
    EXPECT_EQ(client->GetBoxList(root, extension, answering), ListingResult::Listed);
    EXPECT_EQ(root, "naisen\r\noutou\r\nrusuroku\r\n");
    EXPECT_EQ(answering, "0101\r\n");
    EXPECT_EQ(extension, "0201\r\n0202\r\n");

    EXPECT_EQ(client->CountRemoteFiles({}, kBox), 2);
    EXPECT_EQ(client->CountRemoteFiles({}, "/naisen/0202"), 0);
    EXPECT_EQ(client->CountRemoteFiles({}, "/rusuroku/0999"), RemoteCount::kNoSuchDirectory);

    std::string text;
    EXPECT_EQ(client->RunOperation({}, [&] { return client->ListLong(text, kBox, true); }),
              ListingResult::Listed);
    const auto lines = ListingLines::Cut(text);
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(ListingLines::SizeField(lines[0]), 8192);
    const std::string dotted = ListingLines::PutDotsBack(lines[0]);
    EXPECT_EQ(ListingLines::LastCharacters(dotted, 45),
              std::string("Jan 05 2024 ") + kA + ".vmdat");

    std::int64_t size = 0;
    EXPECT_EQ(client->GetRemoteFileSize(size, kBox, {}, std::string(kA) + ".vmdat"),
              FileSizeResult::Found);
    EXPECT_EQ(size, 12288);
}

// The exchange of one box download: a request list stored, the bundle fetched.
TEST_F(MainUnitLinkTest, RetrievesFilesAndTheBundleForARequestList) {
    const TransferResult listed = client->RunOperation(local, [&] {
        std::string names;
        EXPECT_EQ(client->ListNames(names, kBox, true), ListingResult::Listed);
        EXPECT_EQ(names, std::string(kA) + ".vminf\r\n");
        return client->RetrieveFile(std::string(kA) + ".vmdat", "");
    });
    EXPECT_EQ(listed, TransferResult::Done);
    EXPECT_EQ(readFile(local / (std::string(kA) + ".vmdat")), voiceA);

    server->clearCommands();
    const std::string request = "202401081200.datco";
    EXPECT_EQ(client->PutFile(requestList({std::string(kA) + ".vmdat"}), local,
                              std::string(kBox) + "/" + request),
              TransferResult::Done);
    const TransferResult fetched = client->RunOperation(
        local, [&] { return client->RetrieveFile(std::string(kBox) + "/*.datco", request); });
    EXPECT_EQ(fetched, TransferResult::Done);
    EXPECT_EQ(readFile(local / request), be32(1) + std::string(12, '\0') + voiceA);
    const Lines sent = server->commands();
    ASSERT_EQ(sent.size(), 9u);
    EXPECT_EQ(Lines(sent.begin(), sent.begin() + 5), Lines(5, "CWD ../"));
    EXPECT_EQ(sent[6], "STOR /rusuroku/0101/202401081200.datco");
    EXPECT_EQ(sent[8], "RETR /rusuroku/0101/*.datco");

    // Nothing requested for information only: the wildcard RETR is refused.
    EXPECT_EQ(
        client->RunOperation(
            local, [&] { return client->RetrieveFile(std::string(kBox) + "/*.infco", "x.infco"); }),
        TransferResult::Unavailable);
}

TEST_F(MainUnitLinkTest, DeletesOneMessageOrSaysWhyNot) {
    const std::string message = std::string("/naisen/0201/") + kB + ".vminf";
    server->setInUse(message, true);
    EXPECT_EQ(client->DeleteRemoteFile({}, message), TransferResult::Refused);
    server->setInUse(message, false);
    EXPECT_EQ(client->DeleteRemoteFile({}, message), TransferResult::Done);
    EXPECT_FALSE(fs::exists(dir / "root" / "naisen" / "0201" / (std::string(kB) + ".vmdat")));
    EXPECT_EQ(client->DeleteRemoteFile({}, message), TransferResult::Unavailable);
}

TEST_F(MainUnitLinkTest, CancelledRetrieveLeavesTheSessionInStep) {
    const std::string big =
        addMessage(kBox, "202401060930_SAT_0101_00002", std::string(4 << 20, 'b'));
    const fs::path part = local / "big.vmdat";
    bool fired = false;
    CancellingUi ui(cancel, [&] {
        std::error_code ec;
        const bool started = fs::file_size(part, ec) >= 65536 && !ec;
        return !std::exchange(fired, fired || started) && started;
    });
    auto cancellable = makeClient(&ui);
    client->Logout();
    ASSERT_EQ(cancellable->Login("127.0.0.1", "maint", "secret", server->port()),
              LoginResult::LoggedIn);
    const TransferResult retrieved = cancellable->RunOperation(local, [&] {
        return cancellable->RetrieveFile(std::string(kBox) + "/202401060930_SAT_0101_00002.vmdat",
                                         "big.vmdat");
    });
    EXPECT_EQ(retrieved, TransferResult::Cancelled);
    EXPECT_LT(fs::file_size(part), big.size());
    cancel = 0;
    EXPECT_EQ(cancellable->CountRemoteFiles({}, kBox), 4);
}

TEST_F(MainUnitLinkTest, DroppedConnectionFailsTheOperationAndTheProbe) {
    mainunit::MainUnitFaults faults;
    faults.dropControlAfterCommands = 1;
    server->setFaults(faults);
    EXPECT_EQ(client->CountRemoteFiles({}, kBox), RemoteCount::kFailed);
    EXPECT_EQ(client->ProbePort(), CFtpMng::kSilent);
}

}  // namespace
}  // namespace orven::test
