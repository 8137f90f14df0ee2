#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "link/FolderDownloadResult.h"
#include "link/JobResult.h"
#include "link/ListingResult.h"
#include "link/LoginResult.h"
#include "link/ReplyCode.h"
#include "link/StoreResults.h"
#include "link/TransferResult.h"

namespace orven::test {
namespace {

using ::testing::PrintToString;

// A reply code the main unit gave reaches the caller of a transfer or a listing unchanged,
// while no reply and a success become the transfer's own failure and success.
TEST(LinkResultsTest, ReplyCodesPassThroughAsTheyCame) {
    EXPECT_EQ(transferResultOf(ReplyCode::NoReply), TransferResult::Failed);
    EXPECT_EQ(transferResultOf(ReplyCode::Success), TransferResult::Done);
    EXPECT_EQ(transferResultOf(ReplyCode::Unavailable), TransferResult::Unavailable);
    for (const int code : {421, 450, 530, 553}) {
        SCOPED_TRACE(code);
        EXPECT_EQ(codeOf(transferResultOf(replyCodeOf(code))), code);
        EXPECT_EQ(codeOf(listingResultOf(code)), code);
    }
}

// The store's plain numbers: a short disk is told apart from any other failure, and a count
// of messages (also none) is a success.
TEST(LinkResultsTest, UnpackingTellsDiskFullFromOtherFailures) {
    const std::vector<std::pair<int, JobResult>> cases = {
        {3, JobResult::Done},
        {0, JobResult::Done},
        {UnpackResult::kFailed, JobResult::LocalFailure},
        {UnpackResult::kDiskFull, JobResult::DiskFull},
    };
    for (const auto& [unpacked, expected] : cases) {
        EXPECT_EQ(jobResultOfUnpack(unpacked), expected) << unpacked;
    }
}

// A failing comparison names the result, and a carried reply code shows as that code.
TEST(LinkResultsTest, ResultsPrintByName) {
    const std::vector<std::pair<std::string, std::string>> cases = {
        {PrintToString(JobResult::NoSuchBox), "NoSuchBox"},
        {PrintToString(JobResult::FilesGone), "FilesGone (550)"},
        {PrintToString(LoginResult::UnsupportedMainUnit), "UnsupportedMainUnit"},
        {PrintToString(ListingResult::NoSuchDirectory), "NoSuchDirectory"},
        {PrintToString(listingResultOf(421)), "reply 421"},
        {PrintToString(FileSizeResult::NotListed), "NotListed"},
        {PrintToString(TransferResult::Cancelled), "Cancelled"},
        {PrintToString(transferResultOf(553)), "reply 553"},
        {PrintToString(ReplyCode::NoReply), "NoReply"},
        {PrintToString(FolderDownloadResult::ListFailed), "ListFailed"},
    };
    for (const auto& [printed, expected] : cases) {
        EXPECT_EQ(printed, expected);
    }
}

}  // namespace
}  // namespace orven::test
