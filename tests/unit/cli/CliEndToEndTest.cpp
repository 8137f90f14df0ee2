#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "mainunit/DemoData.h"
#include "mainunit/MainUnitServer.h"
#include "platform/LocalTime.h"
#include "support/TempDir.h"

namespace orven::test {
namespace {

namespace fs = std::filesystem;

std::vector<std::string> split(const std::string& text, char separator) {
    std::vector<std::string> parts;
    std::stringstream in(text);
    for (std::string part; std::getline(in, part, separator);) {
        parts.push_back(part);
    }
    return parts;
}

// What a job leaves behind when it does not clean up: a bundle being received, a request list.
std::vector<std::string> halfDoneFiles(const fs::path& folder) {
    std::vector<std::string> found;
    for (const auto& entry : fs::recursive_directory_iterator(folder)) {
        const fs::path& path = entry.path();
        if (path.extension() == ".part" || path.extension().string().ends_with("co")) {
            found.push_back(path.string());
        }
    }
    return found;
}

// The real orven-cli against the demo main unit, in a home folder of its own.
class CliEndToEndTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_GT(DemoData::seed(dir / "root", LocalTime::make(2026, 12, 7, 12, 0)), 0);
        mainunit::MainUnitOptions options;
        options.root = dir / "root";
        server = std::make_unique<mainunit::MainUnitServer>(options);
        ASSERT_TRUE(server->start());
        fs::create_directories(dir / "home");
    }

    std::vector<std::string> connection() const {
        return {"--address",     "127.0.0.1",
                "--port",        std::to_string(server->port()),
                "--user",        "maint",
                "--password",    "zuka",
                "--data-folder", (dir / "data").string(),
                "--folder",      "shop"};
    }

    // Starts orven-cli; standard output and error go to files of the test.
    pid_t start(std::vector<std::string> args) {
        args.insert(args.begin(), ORVEN_CLI_PATH);
        const pid_t pid = fork();
        if (pid == 0) {
            setenv("ORVEN_HOME", (dir / "home").c_str(), 1);
            const int out = open((dir / "out").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
            const int err = open((dir / "err").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
            dup2(out, 1);
            dup2(err, 2);
            std::vector<char*> argv;
            for (std::string& arg : args) {
                argv.push_back(arg.data());
            }
            argv.push_back(nullptr);
            execv(argv[0], argv.data());
            _exit(127);
        }
        return pid;
    }

    static int finish(pid_t pid) {
        int status = 0;
        waitpid(pid, &status, 0);
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }

    int run(const std::string& command, std::vector<std::string> extra = {}) {
        std::vector<std::string> args{command};
        const auto c = connection();
        args.insert(args.end(), c.begin(), c.end());
        args.insert(args.end(), extra.begin(), extra.end());
        return finish(start(args));
    }

    std::string output(const char* name) const {
        std::ifstream in(dir / name, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), {}};
    }

    TempDir dir;
    std::unique_ptr<mainunit::MainUnitServer> server;
};

TEST_F(CliEndToEndTest, FolderDownloadThenDownloadThenListShowsTheMessages) {
    ASSERT_EQ(run("folder-download"), 0) << output("err");
    ASSERT_TRUE(fs::is_directory(dir / "data" / "shop" / "rusuroku" / "0101"));
    ASSERT_EQ(run("download"), 0) << output("err");
    ASSERT_EQ(run("list", {"--box", "rusuroku/0101"}), 0) << output("err");

    const auto lines = split(output("out"), '\n');
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(split(lines[0], '\t').size(), 13u);
    EXPECT_EQ(lines[0].substr(0, lines[0].find('\t')), "ﾌﾗｸﾞ");
    std::size_t onMainUnit = 0;
    for (const auto& entry : fs::directory_iterator(dir / "root" / "rusuroku" / "0101")) {
        onMainUnit += entry.path().extension() == ".vminf";
    }
    ASSERT_EQ(lines.size(), onMainUnit + 1);
    for (std::size_t i = 1; i < lines.size(); ++i) {
        const auto cells = split(lines[i], '\t');
        ASSERT_GE(cells.size(), 10u) << lines[i];
        EXPECT_TRUE(cells[0] == " 0 " || cells[0] == " 1 ") << cells[0];
        EXPECT_EQ(cells[1].size(), 7u) << cells[1];
        EXPECT_TRUE(cells[2] == "再生済" || cells[2] == "未再生") << cells[2];
        EXPECT_TRUE(cells[3] == "保護" || cells[3] == "非保護") << cells[3];
        EXPECT_EQ(cells[4], "0101");
        EXPECT_EQ(cells[7].size(), 16u) << cells[7];  // "YYYY/MM/DD hh:mm"
        EXPECT_EQ(cells[9].rfind("shop/rusuroku/0101/", 0), 0u) << cells[9];
        EXPECT_EQ(fs::path(cells[9]).extension(), ".aac") << "voice data stored";
    }
}

TEST_F(CliEndToEndTest, ResponseMessagesGoDownAndBackUp) {
    ASSERT_EQ(run("folder-download"), 0) << output("err");
    ASSERT_EQ(run("download", {"--responses"}), 0) << output("err");
    for (const auto& entry : fs::directory_iterator(dir / "data" / "shop" / "rusuroku" / "0101")) {
        EXPECT_EQ(entry.path().filename(), "inf.ini") << "boxes are left alone";
    }
    int responses = 0;
    for (const auto& entry : fs::directory_iterator(dir / "data" / "shop" / "outou")) {
        responses += entry.path().extension() == ".aac";
    }
    ASSERT_GT(responses, 0);
    server->clearCommands();
    ASSERT_EQ(run("upload"), 0) << output("err");
    int stores = 0;
    for (const std::string& line : server->commands()) {
        stores += line.rfind("STOR", 0) == 0;
    }
    EXPECT_EQ(stores, responses);

    mainunit::MainUnitFaults faults;
    faults.refuseUploads = true;
    server->setFaults(faults);
    EXPECT_EQ(run("upload"), 8) << output("err");
}

TEST_F(CliEndToEndTest, HelpAndVersionGoToStandardOutput) {
    const std::pair<std::vector<std::string>, std::string> cases[] = {
        {{"--help"},
         "usage: orven-cli COMMAND \\[options\\]\n[\\s\\S]*exit status:\n  0  [\\s\\S]*"},
        {{"download", "-h"},
         "usage: orven-cli download [\\s\\S]*--password-file[\\s\\S]*  8  [\\s\\S]*"},
        {{"--version"}, "orven-cli [0-9]+\\.[0-9]+\\.[0-9]+\n"},
    };
    for (const auto& [line, expected] : cases) {
        EXPECT_EQ(finish(start(line)), 0) << line.back();
        EXPECT_TRUE(std::regex_match(output("out"), std::regex(expected))) << output("out");
        EXPECT_EQ(output("err"), "");
    }
}

TEST_F(CliEndToEndTest, ExitStatusesTellFailuresApart) {
    EXPECT_EQ(finish(start({"download", "--port", "x"})), 2);
    EXPECT_EQ(finish(start({"frobnicate"})), 2);
    EXPECT_EQ(run("download", {"--box", "0101"}), 2);
    EXPECT_EQ(run("download", {"--box", "rusuroku/../../etc"}), 2);
    EXPECT_EQ(run("download", {"--password-file", (dir / "none").string()}), 2);
    EXPECT_EQ(run("download", {"--password", "wrong"}), 3);  // the last --password wins
    std::ofstream(dir / "password") << "zuka\r\n";
    EXPECT_EQ(run("folder-download", {"--password", "", "--password-file", (dir / "password")}), 0)
        << output("err");
    server->stop();
    EXPECT_EQ(run("folder-download"), 3);
    EXPECT_EQ(finish(start({"check-aac", (dir / "root").string()})), 6);
}

// The dialogue goes to the file and to standard error alike, the password masked in both.
TEST_F(CliEndToEndTest, DialogueIsLoggedToTheFileAndStandardError) {
    const fs::path log = dir / "logs" / "ftp.log";
    EXPECT_EQ(run("folder-download", {"--log", log.string()}), 6) << "no folder for the log";
    EXPECT_NE(output("err").find("cannot write the log " + log.string()), std::string::npos)
        << output("err");

    fs::create_directories(dir / "logs");
    ASSERT_EQ(run("folder-download", {"--log", log.string(), "-v"}), 0) << output("err");
    struct stat status {};
    ASSERT_EQ(::stat(log.c_str(), &status), 0);
    EXPECT_EQ(status.st_mode & 0777, 0600u);
    const std::string inFile = output("logs/ftp.log");
    const std::regex line("\\d{4}-\\d\\d-\\d\\d \\d\\d:\\d\\d:\\d\\d\\.\\d{3} #1 [<>] .*");
    const std::string err = output("err");
    for (const std::string& each : split(inFile, '\n')) {
        EXPECT_TRUE(std::regex_match(each, line)) << each;
        EXPECT_NE(err.find(each + '\n'), std::string::npos) << "not on standard error: " << each;
    }
    for (const char* text : {" #1 > USER maint\n", " #1 > PASS ****\n", " #1 > QUIT\n"}) {
        EXPECT_NE(inFile.find(text), std::string::npos) << text;
    }
    EXPECT_EQ(inFile.find("zuka"), std::string::npos);
    EXPECT_EQ(err.find("zuka"), std::string::npos);
}

// Each ending signal cancels like the dialog's Cancel: the job cleans up and ends with 5.
TEST_F(CliEndToEndTest, SignalsCancelTheDownloadAndLeaveNothingHalfDone) {
    ASSERT_EQ(run("folder-download"), 0) << output("err");
    // The bundle's reply is held back until the signal has certainly arrived.
    mainunit::MainUnitFaults faults;
    faults.stallMs = 1000;
    faults.stallCommand = "RETR";
    server->setFaults(faults);
    for (const int signal : {SIGTERM, SIGHUP, SIGINT}) {
        SCOPED_TRACE(strsignal(signal));
        server->clearCommands();
        std::vector<std::string> args{"download"};
        const auto c = connection();
        args.insert(args.end(), c.begin(), c.end());
        const pid_t pid = start(args);
        bool retrSeen = false;
        while (!retrSeen && waitpid(pid, nullptr, WNOHANG) == 0) {
            for (const std::string& line : server->commands()) {
                retrSeen = retrSeen || line.rfind("RETR", 0) == 0;
            }
            usleep(1000);
        }
        ASSERT_TRUE(retrSeen);
        const auto pending = halfDoneFiles(dir / "data");
        ASSERT_FALSE(pending.empty()) << "a request list waits for the bundle";
        kill(pid, signal);
        EXPECT_EQ(finish(pid), 5) << output("err");
        EXPECT_EQ(halfDoneFiles(dir / "data"), std::vector<std::string>{});
        EXPECT_EQ(halfDoneFiles(dir / "home"), std::vector<std::string>{});
    }
}

}  // namespace
}  // namespace orven::test
