#include <gtest/gtest.h>

#include <csignal>
#include <fstream>
#include <map>

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
}

TEST(CliOptionsTest, LinesAreTakenOrRefused) {
    struct Case {
        std::vector<std::string> line;
        std::string command;
        bool help;
        bool version;
    };
    const Case cases[] = {
        {{"--help"}, "", true, false},
        {{"-h"}, "", true, false},
        {{"download", "--user", "u", "--help", "--port", "x"}, "download", true, false},
        {{"--version"}, "", false, true},
        {{"list", "--box", "naisen/0201"}, "list", false, false},
    };
    for (const Case& c : cases) {
        std::string error;
        const auto options = parse(c.line, error);
        ASSERT_TRUE(options) << error;
        EXPECT_EQ(options->command, c.command);
        EXPECT_EQ(options->help, c.help);
        EXPECT_EQ(options->version, c.version);
    }
    for (const std::vector<std::string>& bad : {std::vector<std::string>{},
                                                {"erase"},
                                                {"erase", "--help"},
                                                {"--user", "u", "--help"},
                                                {"list", "--port", "70000"},
                                                {"list", "--box"},
                                                {"list", "--colour", "red"}}) {
        std::string error;
        EXPECT_FALSE(parse(bad, error)) << ::testing::PrintToString(bad);
        EXPECT_FALSE(error.empty());
    }
    // A box becomes a path under the store: nothing else than KIND/NAME may pass.
    for (const char* box : {"0101", "rusuroku", "rusuroku/", "outou/0101", "/rusuroku/0101",
                            "rusuroku//0101", "rusuroku/0101/", "rusuroku/..", "rusuroku/.",
                            "../rusuroku/0101", "naisen/0201/../../..", "", "/"}) {
        std::string error;
        EXPECT_FALSE(parse({"download", "--box", box}, error)) << box;
        EXPECT_NE(error.find("--box"), std::string::npos) << error;
    }
}

TEST(CliOptionsTest, DialogueLogGoesToAFileStandardErrorOrBoth) {
    struct Case {
        std::vector<std::string> line;
        std::string logFile;
        bool verbose;
    };
    const Case cases[] = {
        {{"download"}, "", false},
        {{"download", "--log", "/tmp/d.log"}, "/tmp/d.log", false},
        {{"upload", "-v"}, "", true},
        {{"folder-download", "-v", "--log", "d.log", "--user", "u"}, "d.log", true},
    };
    for (const Case& c : cases) {
        std::string error;
        const auto options = parse(c.line, error);
        ASSERT_TRUE(options) << error;
        EXPECT_EQ(options->logFile, c.logFile);
        EXPECT_EQ(options->verbose, c.verbose);
        EXPECT_TRUE(options->arguments.empty()) << "-v is no positional argument";
    }
    std::string error;
    EXPECT_FALSE(parse({"download", "--log"}, error));
    EXPECT_EQ(error, "--log needs a value");
    const std::string help = CliOptions::helpText("download");
    EXPECT_NE(help.find("--log FILE"), std::string::npos) << help;
    EXPECT_NE(help.find("-v "), std::string::npos) << help;
}

TEST(CliOptionsTest, PasswordComesFromLineFileEnvironmentThenSettings) {
    TempDir dir;
    ProfileFile(dir / "ORVEN.ini").writeString("LOGIN", "PASS", "saved");
    std::ofstream(dir / "crlf") << "from file\r\nsecond line\n";
    std::ofstream(dir / "empty");
    const std::string crlf = (dir / "crlf").string();
    struct Case {
        std::vector<std::string> line;
        const char* environment;  // ORVEN_PASSWORD, null when not set
        std::string expected;     // "" when the line is refused
    };
    const Case cases[] = {
        {{"--password", "typed", "--password-file", crlf}, "env", "typed"},
        {{"--password-file", crlf}, "env", "from file"},
        {{}, "env", "env"},
        {{}, nullptr, "saved"},
        {{"--password-file", (dir / "missing").string()}, "env", ""},
        {{"--password", "typed", "--password-file", (dir / "missing").string()}, nullptr, ""},
        {{"--password-file", dir.path().string()}, nullptr, ""},
        {{"--password-file", (dir / "empty").string()}, "env", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::PrintToString(c.line));
        std::vector<std::string> line{"upload"};
        line.insert(line.end(), c.line.begin(), c.line.end());
        std::string error;
        auto options = parse(line, error);
        ASSERT_TRUE(options) << error;
        const auto getenv = [&c](const char* name) {
            return std::string(name) == "ORVEN_PASSWORD" ? c.environment : nullptr;
        };
        const bool taken = options->takePassword(getenv, error);
        EXPECT_EQ(taken, !c.expected.empty()) << error;
        if (taken) {
            options->completeFrom(dir / "ORVEN.ini");
            EXPECT_EQ(options->password, c.expected);
        } else {
            EXPECT_NE(error.find(c.line.back()), std::string::npos) << error;
        }
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
    // DownloadSummary::result as the loops fill it in.
    constexpr JobResult kDone = JobResult::Done;
    constexpr JobResult kLostConnection = JobResult::CommunicationFailure;
    constexpr JobResult kNoSpace = JobResult::DiskFull;
    constexpr JobResult kLocal = JobResult::LocalFailure;
    using S = DownloadSummary;
    const auto summary = [](JobResult result, std::initializer_list<bool S::*> flags) {
        S made;
        made.result = result;
        for (bool S::*flag : flags) {
            made.*flag = true;
        }
        return made;
    };
    const std::map<std::string, std::pair<S, CliExit>> cases{
        {"all stored", {summary(kDone, {}), CliExit::kSuccess}},
        {"some were gone", {summary(kDone, {&S::filesMissing}), CliExit::kSuccess}},
        {"disk full", {summary(kNoSpace, {&S::diskFull}), CliExit::kDiskFull}},
        {"connection lost", {summary(kLostConnection, {&S::diskFull}), CliExit::kCommunication}},
        {"cancelled",
         {summary(kLostConnection, {&S::partial, &S::cancelled}), CliExit::kCancelled}},
        {"partial", {summary(kDone, {&S::partial}), CliExit::kPartial}},
        {"local failure", {summary(kLocal, {}), CliExit::kLocalFailure}},
        {"local failure stops by the cancel flag",
         {summary(kLocal, {&S::cancelled}), CliExit::kLocalFailure}},
    };
    for (const auto& [name, c] : cases) {
        EXPECT_EQ(static_cast<int>(CliCommands::exitOf(c.first)), static_cast<int>(c.second))
            << name;
    }
    // Nobody answers at a terminal: questions get the answer that changes nothing.
    EXPECT_EQ(TerminalUi::safeAnswer(Buttons::YesNo), IdNo);
    EXPECT_EQ(TerminalUi::safeAnswer(Buttons::RetryCancel), IdCancel);
    EXPECT_EQ(TerminalUi::safeAnswer(Buttons::Ok), IdOk);
}

TEST(CliCommandsTest, ASignalBeforeTheJobStartsStillCancelsIt) {
    std::atomic<int> signalled{0};
    std::atomic<int> cancel{0};
    TerminalUi ui(&signalled);
    ui.openProgress("t", "x", &cancel);
    EXPECT_EQ(cancel.load(), 0);
    signalled = SIGTERM;
    ui.openProgress("t", "x", &cancel);  // the job has just cleared the flag
    EXPECT_EQ(cancel.load(), 1);
}

}  // namespace
}  // namespace orven::test
