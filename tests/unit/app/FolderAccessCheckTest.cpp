#include "app/FolderAccessCheck.h"

#include <gtest/gtest.h>

#include "support/FakeFileSystem.h"
#include "support/ScriptedUi.h"

namespace orven {
namespace {

using namespace std::chrono_literals;
using Mode = FolderAccessCheck::Mode;
using test::FakeFileSystem;
using test::ScriptedUi;

const std::string kRetryQuestion =
    "指定のフォルダにアクセスできませんでした。\nリトライします。よろしいですか？";

// A data folder on a share that is gone; the clock and the sleeps are the test's.
struct FolderAccessCheckTest : ::testing::Test {
    FolderAccessCheckTest() {
        fs.setNetworkPath("/mnt/share");
        fs.setReachable("/mnt/share", false);
    }

    ScriptedUi::Expectation& expectQuestion(int answer, int buttonSet) {
        return ui.expectCustom(kRetryQuestion, answer)
            .title("エラー")
            .icon(Icon::Exclamation)
            .buttonSet(buttonSet);
    }

    FakeFileSystem fs;
    ScriptedUi ui;
    std::vector<std::chrono::milliseconds> sleeps;
    std::chrono::steady_clock::time_point now{};
    FolderAccessCheck check{fs, ui, Timing{},
                            [this](std::chrono::milliseconds d) { sleeps.push_back(d); },
                            [this] { return now; }};
};

TEST_F(FolderAccessCheckTest, ReachableOrLocalFoldersPassWithoutReconnecting) {
    fs.setReachable("/mnt/share", true);
    EXPECT_TRUE(check.run("/mnt/share", true, Mode::Normal).usable);
    // A missing local folder passes too: the operation that follows reports it.
    fs.setReachable("/home/user/missing", false);
    const auto local = check.run("/home/user/missing", true, Mode::StartUp);
    EXPECT_TRUE(local.usable);
    EXPECT_EQ(local.code, 0);
    EXPECT_EQ(fs.reconnectCalls(), 0);
    EXPECT_TRUE(sleeps.empty());
}

TEST_F(FolderAccessCheckTest, ShareThatComesBackIsReconnectedAfterTheFirstAttemptWait) {
    fs.reconnectSucceedsOnCall(1);
    EXPECT_TRUE(check.run("/mnt/share", true, Mode::Normal).usable);
    EXPECT_EQ(sleeps, std::vector{3000ms});
    EXPECT_TRUE(ui.boxes().empty());

    fs.setReachable("/mnt/share", false);
    now += 2s;  // past the trust window
    EXPECT_TRUE(check.run("/mnt/share", false, Mode::Normal).usable);
    EXPECT_EQ(sleeps.size(), 1u);  // not a first attempt: no wait
}

TEST_F(FolderAccessCheckTest, OkRetriesAtOnceUntilTheShareIsBack) {
    fs.reconnectSucceedsOnCall(3);
    expectQuestion(CustomBox::Third, 7);
    expectQuestion(CustomBox::Third, 7);
    const auto outcome = check.run("/mnt/share", true, Mode::Normal);
    EXPECT_TRUE(outcome.usable);
    EXPECT_EQ(fs.reconnectCalls(), 3);
    EXPECT_EQ(sleeps.size(), 1u);  // only before the first reconnect
    EXPECT_TRUE(ui.boxes().front().closable);
}

TEST_F(FolderAccessCheckTest, CancelOrClosingGivesUpWith1222) {
    expectQuestion(CustomBox::First, 7);
    const auto cancelled = check.run("/mnt/share", false, Mode::Normal);
    EXPECT_FALSE(cancelled.usable);
    EXPECT_EQ(cancelled.code, 1222);

    expectQuestion(CustomBox::Closed, 6);
    const auto closed = check.run("/mnt/share", false, Mode::StartUp);
    EXPECT_FALSE(closed.usable);
    EXPECT_EQ(closed.code, 1222);
}

TEST_F(FolderAccessCheckTest, EndingTheAppIsOfferedOnlyAtStartUp) {
    expectQuestion(CustomBox::Second, 6);
    const auto atStart = check.run("/mnt/share", true, Mode::StartUp);
    EXPECT_FALSE(atStart.usable);
    EXPECT_EQ(atStart.code, 1209);

    // Set 7 has no such button; an answer with its id still only cancels.
    expectQuestion(CustomBox::Second, 7);
    EXPECT_EQ(check.run("/mnt/share", true, Mode::Normal).code, 1222);
}

TEST_F(FolderAccessCheckTest, APassIsTrustedBrieflyAndAFailureNever) {
    fs.setReachable("/mnt/share", true);
    ASSERT_TRUE(check.run("/mnt/share", true, Mode::Normal).usable);
    fs.setReachable("/mnt/share", false);  // lost right after the pass
    now += 999ms;
    EXPECT_TRUE(check.run("/mnt/share", true, Mode::Normal).usable);
    EXPECT_EQ(fs.reconnectCalls(), 0);

    // Another folder is not covered by the pass.
    fs.setNetworkPath("/mnt/other");
    fs.setReachable("/mnt/other", false);
    expectQuestion(CustomBox::First, 7);
    EXPECT_FALSE(check.run("/mnt/other", false, Mode::Normal).usable);

    now += 1ms;  // the trust has run out
    expectQuestion(CustomBox::First, 7);
    EXPECT_FALSE(check.run("/mnt/share", false, Mode::Normal).usable);
    expectQuestion(CustomBox::First, 7);  // and a failure is asked again at once
    EXPECT_FALSE(check.run("/mnt/share", false, Mode::Normal).usable);
}

}  // namespace
}  // namespace orven
