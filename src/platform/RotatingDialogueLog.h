#pragma once

#include <cstdint>
#include <filesystem>
#include <mutex>
#include <string_view>

#include "platform/DialogueLog.h"

namespace orven {

// The dialogue log in a file of bounded size. A line that would take the file past the bound
// first moves it to "<name>.1", replacing the older backup, and starts a new file; so the
// two files together never hold much more than twice the bound. The file is made with mode
// 0600, since it shows user names and box names. Each line goes out in one write to the
// system, so what came before a crash of the program is in the file.
class RotatingDialogueLog : public DialogueLog {
  public:
    static constexpr std::uintmax_t kDefaultLimit = 1024 * 1024;

    // Opens (or makes) the file at once; the folder must exist.
    explicit RotatingDialogueLog(std::filesystem::path path, std::uintmax_t limit = kDefaultLimit);
    ~RotatingDialogueLog() override;
    RotatingDialogueLog(const RotatingDialogueLog&) = delete;
    RotatingDialogueLog& operator=(const RotatingDialogueLog&) = delete;

    // A file that cannot be opened costs the dialogue nothing: its lines are dropped, and the
    // next line tries again. 0 while the file is open, else the errno of the last attempt.
    int openError() const;

    void writeLine(std::string_view line) override;

    // "<name>.1"
    static std::filesystem::path backupPath(const std::filesystem::path& path);

  private:
    void open(int extraFlags);
    void rotateBefore(std::size_t lineSize);

    const std::filesystem::path m_path;
    const std::uintmax_t m_limit;
    mutable std::mutex m_mutex;
    int m_fd = -1;
    int m_openError = 0;
};

}  // namespace orven
