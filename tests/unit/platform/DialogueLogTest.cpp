#include <gtest/gtest.h>

#include <cerrno>
#include <ctime>
#include <memory>
#include <set>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include <sys/stat.h>

#include "platform/DialogueLog.h"
#include "platform/RotatingDialogueLog.h"
#include "support/FileBytes.h"
#include "support/TempDir.h"

namespace orven::test {
namespace {

namespace fs = std::filesystem;
using Lines = std::vector<std::string>;
using Direction = DialogueLog::Direction;

constexpr std::size_t kTimeLength = 23;  // "2026-12-07 09:05:03.045"

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
