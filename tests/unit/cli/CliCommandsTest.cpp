#include <gtest/gtest.h>

#include "cli/CliCommands.h"
#include "cli/CliOptions.h"
#include "cli/TerminalUi.h"
#include "platform/ProfileFile.h"
#include "support/TempDir.h"

namespace orven::test {
namespace {

std::optional<CliOptions> parse(std::vector<std::string> args, std::string& error) {
    args.insert(args.begin(), "orven-cli");
    std::vector<char*> argv;
    for (std::string& arg : args) {
        argv.push_back(arg.data());
    }
    return CliOptions::parse(static_cast<int>(argv.size()), argv.data(), error);
}

TEST(CliOptionsTest, LineOptionsWinOverTheSettingsFile) {
    TempDir dir;
    ProfileFile ini(dir / "ORVEN.ini");
    ini.writeString("LOGIN", "IP", "10.0.0.9");
    ini.writeString("LOGIN", "USER", "office");
    ini.writeString("LOGIN", "PORT", "2121");
    ini.writeString("FOLDER", "FOLDER", "/srv/voice/");
    std::string error;
    auto options = parse({"download", "--user", "maint", "--box", "rusuroku/0101", "--box",
                          "naisen/0201", "--info-only"},
                         error);
    ASSERT_TRUE(options) << error;
    options->completeFrom(dir / "ORVEN.ini");
    EXPECT_EQ(options->address, "10.0.0.9");
    EXPECT_EQ(options->user, "maint");
    EXPECT_EQ(options->port, 2121);
    EXPECT_EQ(options->boxes, (std::vector<std::string>{"rusuroku/0101", "naisen/0201"}));
    EXPECT_TRUE(options->infoOnly);
    EXPECT_FALSE(options->responses);

    for (const std::vector<std::string>& bad : {std::vector<std::string>{},
                                                {"erase"},
                                                {"list", "--port", "70000"},
                                                {"list", "--box"},
                                                {"list", "--colour", "red"}}) {
        EXPECT_FALSE(parse(bad, error)) << (bad.empty() ? "" : bad.back());
    }
}

TEST(CliCommandsTest, ListLineShowsFlagsAsTheListDoes) {
    FILESTS_INFO record = FILESTS_INFO::zeroed();
    record.mark = 0x81;  // the transient bit 7 is not the user's flag
    record.downloadState = 3;
    record.played = 1;
    record.protect = 1;
    FILESTS_INFO::setText(record.boxNumber, "0101");
    FILESTS_INFO::setText(record.memo, "call\tback");
    FILESTS_INFO::setText(record.filePath, "/srv/voice/shop/rusuroku/0101/a.aac");
    const std::string line = CliCommands::listLine(record, "/srv/voice");
    EXPECT_EQ(line,
              " 1 \t   3   \t再生済\t保護\t0101\t\t\t\t\tshop/rusuroku/0101/a.aac\t\t\tcall back");

    record.mark = 0x80;
    record.downloadState = 2;
    record.played = 0;
    record.protect = 0;
    const std::string other = CliCommands::listLine(record, "/srv/voice/");
    EXPECT_EQ(other.substr(0, other.find("\t0101")), " 0 \t   0   \t未再生\t非保護");
    record.downloadState = 0;
    EXPECT_EQ(CliCommands::listLine(record, "/x").substr(4, 7), "   2   ");
}

TEST(CliCommandsTest, SummariesMapToDistinctStatuses) {
    DownloadSummary summary;
    EXPECT_EQ(CliCommands::exitOf(summary), CliCommands::kSuccess);
    summary.filesMissing = true;
    EXPECT_EQ(CliCommands::exitOf(summary), CliCommands::kSuccess);
    summary.result = -4;
    summary.diskFull = true;
    EXPECT_EQ(CliCommands::exitOf(summary), CliCommands::kDiskFull);
    summary.result = -1;
    EXPECT_EQ(CliCommands::exitOf(summary), CliCommands::kCommunication);
    summary.cancelled = true;
    EXPECT_EQ(CliCommands::exitOf(summary), CliCommands::kCancelled);
    EXPECT_EQ(CliCommands::exitOf({-6, 0, 0, false, false, false, false, false}),
              CliCommands::kLocalFailure);
    // Nobody answers at a terminal: questions get the answer that changes nothing.
    EXPECT_EQ(TerminalUi::safeAnswer(Buttons::YesNo), IdNo);
    EXPECT_EQ(TerminalUi::safeAnswer(Buttons::RetryCancel), IdCancel);
    EXPECT_EQ(TerminalUi::safeAnswer(Buttons::Ok), IdOk);
}

}  // namespace
}  // namespace orven::test
