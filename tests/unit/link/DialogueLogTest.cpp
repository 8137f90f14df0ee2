#include <gtest/gtest.h>

#include <cerrno>
#include <ctime>
#include <functional>
#include <mutex>
#include <regex>
#include <set>
#include <sstream>
#include <thread>

#include <sys/stat.h>

#include "LinkFixture.h"
#include "link/DialogueLog.h"
#include "link/RotatingDialogueLog.h"

namespace orven::test {
namespace {

namespace fs = std::filesystem;
using Session = ScriptedFtpServer::Session;
using Lines = std::vector<std::string>;
using Direction = DialogueLog::Direction;

constexpr const char* kBox = "/rusuroku/0101";
constexpr std::size_t kTimeLength = 23;  // "2026-12-07 09:05:03.045"

class RecordingLog : public DialogueLog {
  public:
    void writeLine(std::string_view line) override {
        const std::lock_guard lock(m_mutex);
        m_lines.emplace_back(line);
    }
    Lines lines() const {
        const std::lock_guard lock(m_mutex);
        return m_lines;
    }

  private:
    mutable std::mutex m_mutex;
    Lines m_lines;
};

std::vector<std::string> splitLines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        lines.push_back(line);
    }
    return lines;
}

unsigned modeOf(const fs::path& path) {
    struct stat status {};
    return ::stat(path.c_str(), &status) == 0 ? status.st_mode & 0777 : 0;
}

TEST(DialogueLogTest, LineShowsLocalTimeConnectionDirectionAndNeverThePassword) {
    std::tm local{};
    local.tm_year = 2026 - 1900;
    local.tm_mon = 11;
    local.tm_mday = 7;
    local.tm_hour = 9;
    local.tm_min = 5;
    local.tm_sec = 3;
    local.tm_isdst = -1;
    const auto time =
        std::chrono::system_clock::from_time_t(std::mktime(&local)) + std::chrono::milliseconds(45);
    struct Case {
        int connection;
        Direction direction;
        std::string_view text;
        std::string_view shown;  // after the time
    };
    const Case cases[] = {
        {3, Direction::Sent, "USER maint", " #3 > USER maint\n"},
        {3, Direction::Sent, "PASS secret", " #3 > PASS ****\n"},
        {12, Direction::Sent, "pass two words", " #12 > pass ****\n"},
        {3, Direction::Sent, "PASS", " #3 > PASS ****\n"},
        {3, Direction::Sent, "PASV", " #3 > PASV\n"},
        {3, Direction::Received, "226 a\rb\nc", " #3 < 226 a\\x0db\\x0ac\n"},
        {3, Direction::Received, "550 メッセージ", " #3 < 550 メッセージ\n"},
        {3, Direction::Received, "", " #3 < \n"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(DialogueLog::formatLine(time, c.connection, c.direction, c.text),
                  "2026-12-07 09:05:03.045" + std::string(c.shown));
    }
}

// The client against a scripted server, one log-in per scenario: every line sent and read
// is logged in order, each with the scenario's log-in number.
TEST(DialogueLogTest, EveryLineSentAndReadIsLoggedInOrder) {
    struct Scenario {
        const char* name;
        std::function<void(ScriptedFtpServer&)> script;
        std::function<void(CFtpMng&, std::atomic<int>& cancel)> run;
        Lines logged;  // between the log-in and the log-out
    };
    const auto cwdFails = [](ScriptedFtpServer& server) {
        server.on("CWD", [](Session& s, const std::string&) {
            s.reply("550 Failed to change directory.");
        });
    };
    const Scenario scenarios[] = {
        {"listing",
         [](ScriptedFtpServer& server) { server.setData("NLST", "a.vminf\r\n"); },
         [](CFtpMng& client, std::atomic<int>&) { client.CountRemoteFiles({}, kBox); },
         {"> CWD /rusuroku/0101", "< 250 Directory changed.", "> PORT 127,0,0,1,P",
          "< 200 PORT command successful.", "> NLST", "< 150 Here comes the data.",
          "< 226 Transfer complete."}},
        {"drained lines",
         [&](ScriptedFtpServer& server) {
             cwdFails(server);
             server.on("DELE", [](Session& s, const std::string&) {
                 s.send("250-Deleted\r\n250 done.\r\n");
             });
         },
         [](CFtpMng& client, std::atomic<int>&) {
             client.DeleteRemoteFile({}, "/naisen/0201/a.vminf");
             client.CountRemoteFiles({}, kBox);
         },
         {"> CWD ../", "< 550 Failed to change directory.", "> DELE /naisen/0201/a.vminf",
          "< 250-Deleted", "< 250 done.", "> CWD /rusuroku/0101",
          "< 550 Failed to change directory."}},
        {"abort",
         [](ScriptedFtpServer& server) {
             server.on("NLST", [](Session& s, const std::string&) {
                 s.connectData();
                 s.reply("150 Opening.");
                 if (s.readCommand() == "ABOR") {
                     s.send("426 Transfer aborted.\r\n225 ABOR successful.\r\n");
                 }
             });
         },
         [](CFtpMng& client, std::atomic<int>& cancel) {
             cancel = 1;
             std::string text;
             client.RunOperation({}, [&] { return client.ListLong(text, kBox, true); });
             cancel = 0;
         },
         {"> CWD /rusuroku/0101", "< 250 Directory changed.", "> PORT 127,0,0,1,P",
          "< 200 PORT command successful.", "> NLST -l *.vmdat", "< 150 Opening.", "> ABOR",
          "< 426 Transfer aborted.", "< 225 ABOR successful."}},
        {"store",
         cwdFails,
         [](CFtpMng& client, std::atomic<int>&) { client.PutFile("voice", {}, "/outou/a.vmdat"); },
         {"> CWD ../", "< 550 Failed to change directory.", "> PORT 127,0,0,1,P",
          "< 200 PORT command successful.", "> STOR /outou/a.vmdat", "< 150 Ok to send data.",
          "< 226 Transfer complete."}},
        {"retrieve",
         [](ScriptedFtpServer& server) {
             server.on("RETR", [](Session& s, const std::string&) {
                 s.connectData();
                 s.reply("150 Opening.");
                 s.sendData("voice");
                 s.closeData();
                 s.send("226-Transfer\r\n226 complete.\r\n");  // one read takes both lines
             });
         },
         [](CFtpMng& client, std::atomic<int>&) {
             client.RunOperation({}, [&] { return client.RetrieveFile("a.vmdat", ""); });
         },
         {"> PORT 127,0,0,1,P", "< 200 PORT command successful.", "> RETR a.vmdat",
          "< 150 Opening.", "< 226-Transfer", "< 226 complete."}},
    };
    const std::regex logLine("\\d{4}-\\d\\d-\\d\\d \\d\\d:\\d\\d:\\d\\d\\.\\d{3} #(\\d+) (.*)\n");
    const std::regex portLine("> PORT 127,0,0,1,\\d+,\\d+");
    int previousNumber = 0;
    for (const Scenario& scenario : scenarios) {
        SCOPED_TRACE(scenario.name);
        TempDir dir;
        ScriptedFtpServer server;
        scenario.script(server);
        RecordingLog log;
        const Timing timing = quickTiming();
        std::atomic<int> cancel{0};
        FtpEnvironment environment;
        environment.timing = &timing;
        environment.cancelFlag = &cancel;
        environment.dialogueLog = &log;
        environment.defaultLocalDirectory = dir.path();
        CFtpMng client(environment);
        ASSERT_EQ(client.Login("127.0.0.1", "maint", "secret", server.port()),
                  LoginResult::LoggedIn);
        scenario.run(client, cancel);
        client.Logout();

        Lines expected = {"< 220 Zu-KA scripted unit", "> USER maint", "< 331 Password please.",
                          "> PASS ****", "< 230 Logged in."};
        expected.insert(expected.end(), scenario.logged.begin(), scenario.logged.end());
        expected.insert(expected.end(), {"> QUIT", "< 221 Goodbye."});
        Lines shown;
        std::set<int> numbers;
        for (const std::string& line : log.lines()) {
            std::smatch parts;
            ASSERT_TRUE(std::regex_match(line, parts, logLine)) << line;
            numbers.insert(std::stoi(parts[1]));
            const std::string text = parts[2];
            shown.push_back(std::regex_match(text, portLine) ? "> PORT 127,0,0,1,P" : text);
        }
        EXPECT_EQ(shown, expected);
        ASSERT_EQ(numbers.size(), 1u) << "one log-in, one number";
        if (previousNumber != 0) {
            EXPECT_EQ(*numbers.begin(), previousNumber + 1) << "log-ins are counted";
        }
        previousNumber = *numbers.begin();
    }
}

// Lines of 10 bytes against a bound of 25: two fit, the third starts a new file.
TEST(DialogueLogTest, RotatesAtTheBoundKeepingOneBackupMadePrivate) {
    TempDir dir;
    const fs::path path = dir / "d.log";
    const fs::path backup = RotatingDialogueLog::backupPath(path);
    EXPECT_EQ(backup, dir / "d.log.1");
    const std::string longLine = std::string(29, 'x') + "\n";
    struct Step {
        std::string line;
        std::string file;
        std::string backup;  // "" when there is none
    };
    const Step steps[] = {
        {"line 0...\n", "line 0...\n", ""},
        {"line 1...\n", "line 0...\nline 1...\n", ""},
        {"line 2...\n", "line 2...\n", "line 0...\nline 1...\n"},
        {"line 3...\n", "line 2...\nline 3...\n", "line 0...\nline 1...\n"},
        {"line 4...\n", "line 4...\n", "line 2...\nline 3...\n"},
        {longLine, longLine, "line 4...\n"},  // longer than the bound: still written whole
        {"line 5...\n", "line 5...\n", longLine},
    };
    const mode_t mask = ::umask(0);  // the mode must not rely on the umask
    {
        RotatingDialogueLog log(path, 25);
        EXPECT_EQ(log.openError(), 0);
        for (const Step& step : steps) {
            SCOPED_TRACE(step.line);
            log.writeLine(step.line);
            EXPECT_EQ(readFile(path), step.file);
            EXPECT_EQ(readFile(backup), step.backup);
        }
    }
    // The next run appends, and counts what the file holds already.
    RotatingDialogueLog(path, 25).writeLine("line 6...\n");
    ::umask(mask);
    EXPECT_EQ(readFile(path), "line 5...\nline 6...\n");
    std::set<fs::path> files;
    for (const auto& entry : fs::directory_iterator(dir.path())) {
        files.insert(entry.path());
        EXPECT_EQ(modeOf(entry.path()), 0600u) << entry.path();
    }
    EXPECT_EQ(files, (std::set<fs::path>{path, backup}));
}

// A folder that is not there yet costs only the lines written before it exists.
TEST(DialogueLogTest, FileThatCannotBeOpenedIsTriedAgain) {
    TempDir dir;
    RotatingDialogueLog log(dir / "later" / "d.log");
    EXPECT_EQ(log.openError(), ENOENT);
    log.writeLine("lost\n");
    fs::create_directory(dir / "later");
    log.writeLine("kept\n");
    EXPECT_EQ(log.openError(), 0);
    EXPECT_EQ(readFile(dir / "later" / "d.log"), "kept\n");
}

// The window's thread and the always-on download worker write at the same time.
TEST(DialogueLogTest, ConcurrentWritersNeverShareALine) {
    TempDir dir;
    std::ostringstream stream;
    TeeDialogueLog log(std::make_unique<RotatingDialogueLog>(dir / "d.log", 64 * 1024 * 1024),
                       std::make_unique<StreamDialogueLog>(stream));
    constexpr int kLinesEach = 300;
    const std::string texts[] = {std::string(1500, 'a'), std::string(1500, 'b')};
    std::vector<std::thread> writers;
    for (int connection = 1; connection <= 2; ++connection) {
        writers.emplace_back([&log, &texts, connection] {
            for (int i = 0; i < kLinesEach; ++i) {
                log.record(connection, Direction::Received, texts[connection - 1]);
            }
        });
    }
    for (std::thread& writer : writers) {
        writer.join();
    }
    const std::string wanted[] = {" #1 < " + texts[0], " #2 < " + texts[1]};
    for (const std::string& written : {readFile(dir / "d.log"), stream.str()}) {
        const Lines lines = splitLines(written);
        EXPECT_EQ(lines.size(), 2u * kLinesEach);
        int counts[2] = {0, 0};
        for (const std::string& line : lines) {
            const std::string rest = line.substr(std::min(line.size(), kTimeLength));
            ASSERT_TRUE(rest == wanted[0] || rest == wanted[1]) << line.substr(0, 80);
            ++counts[rest == wanted[0] ? 0 : 1];
        }
        EXPECT_EQ(counts[0], kLinesEach);
        EXPECT_EQ(counts[1], kLinesEach);
    }
}

}  // namespace
}  // namespace orven::test
