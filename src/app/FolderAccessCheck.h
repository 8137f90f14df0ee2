#pragma once

#include <chrono>
#include <filesystem>
#include <functional>
#include <mutex>
#include <optional>

#include "platform/FileSystem.h"
#include "platform/Timing.h"
#include "platform/Ui.h"

namespace orven {

// The check every operation on the store runs first: is the data folder there, and if it
// lies on a lost network share, bring it back or let the user decide. Safe to call from the
// worker and the user interface thread at once; the question then goes through the Ui.
class FolderAccessCheck {
  public:
    // Mode StartUp offers "アプリ終了" besides retry and cancel; it is used only while the main
    // window is being created.
    enum class Mode { Normal, StartUp };

    // What the user chose when the folder stays unusable.
    enum Code { kUsable = 0, kCancelled = CustomBox::First, kEndApp = CustomBox::Second };

    struct Outcome {
        bool usable = true;
        int code = kUsable;
    };

    using Sleep = std::function<void(std::chrono::milliseconds)>;
    using Now = std::function<std::chrono::steady_clock::time_point()>;

    // fileSystem and ui must outlive the check. Sleep and now default to the real ones.
    FolderAccessCheck(FileSystem& fileSystem, Ui& ui, const Timing& timing, Sleep sleep = {},
                      Now now = {});

    // Checks the data folder. firstAttempt waits for the network before the first reconnect
    // (a share that was just lost often needs a moment). A folder that passed less than
    // Timing::folderCheckTrustMs ago passes again without being looked at.
    Outcome run(const std::filesystem::path& dataFolder, bool firstAttempt, Mode mode);

  private:
    bool reachableNow(const std::filesystem::path& dataFolder) const;
    Outcome reconnectLoop(const std::filesystem::path& dataFolder, bool firstAttempt, Mode mode);
    bool trusted(const std::filesystem::path& dataFolder);
    void remember(const std::filesystem::path& dataFolder);

    FileSystem& m_fileSystem;
    Ui& m_ui;
    std::chrono::milliseconds m_reconnectDelay;
    std::chrono::milliseconds m_trustFor;
    Sleep m_sleep;
    Now m_now;

    std::mutex m_mutex;  // guards the remembered pass only; the question is asked outside it
    std::optional<std::filesystem::path> m_passedFolder;
    std::chrono::steady_clock::time_point m_passedAt;
};

}  // namespace orven
