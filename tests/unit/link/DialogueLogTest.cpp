#include <gtest/gtest.h>

#include <functional>
#include <mutex>
#include <regex>
#include <set>

#include "LinkFixture.h"
#include "platform/DialogueLog.h"

namespace orven::test {
namespace {

using Session = ScriptedFtpServer::Session;
using Lines = std::vector<std::string>;

constexpr const char* kBox = "/rusuroku/0101";

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
        FtpEnvironment given = givenServices(nullptr, timing, cancel, dir.path());
        given.dialogueLog = &log;
        CFtpMng client(given);
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

}  // namespace
}  // namespace orven::test
