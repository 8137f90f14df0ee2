#include "app/FolderAccessCheck.h"

#include <thread>

#include "resources/Texts.h"

namespace orven {

namespace {

constexpr int kRetryWithEndSet = 6;  // "キャンセル", "アプリ終了", "OK"
constexpr int kRetrySet = 7;         // "キャンセル", "OK"

}  // namespace

FolderAccessCheck::FolderAccessCheck(FileSystem& fileSystem, Ui& ui, const Timing& timing,
                                     Sleep sleep, Now now)
    : m_fileSystem(fileSystem),
      m_ui(ui),
      m_reconnectDelay(timing.networkDriveReconnectDelayMs),
      m_trustFor(timing.folderCheckTrustMs),
      m_sleep(sleep ? std::move(sleep) : [](auto d) { std::this_thread::sleep_for(d); }),
      m_now(now ? std::move(now) : [] { return std::chrono::steady_clock::now(); }) {}

FolderAccessCheck::Outcome FolderAccessCheck::run(const std::filesystem::path& dataFolder,
                                                  bool firstAttempt, Mode mode) {
    if (trusted(dataFolder)) {
        return {};
    }
    Outcome outcome;
    // A missing local folder passes: the operation that follows reports it in its own words.
    if (!reachableNow(dataFolder)) {
        outcome = reconnectLoop(dataFolder, firstAttempt, mode);
    }
    if (outcome.usable) {
        remember(dataFolder);
    }
    return outcome;
}

bool FolderAccessCheck::reachableNow(const std::filesystem::path& dataFolder) const {
    return m_fileSystem.isReachable(dataFolder) || !m_fileSystem.isNetworkPath(dataFolder);
}

FolderAccessCheck::Outcome FolderAccessCheck::reconnectLoop(const std::filesystem::path& dataFolder,
                                                            bool firstAttempt, Mode mode) {
    CustomBox question;
    question.title = std::string(text::kErrorTitle);
    question.text = std::string(text::kFolderAccessRetry);
    question.icon = Icon::Exclamation;
    question.buttonSet = mode == Mode::StartUp ? kRetryWithEndSet : kRetrySet;
    question.closable = true;

    for (bool firstPass = true;; firstPass = false) {
        if (firstPass && firstAttempt) {
            m_sleep(m_reconnectDelay);
        }
        if (m_fileSystem.reconnect(dataFolder)) {
            return {};
        }
        const int answer = m_ui.customBox(question);
        if (answer == CustomBox::Third) {  // "OK": try again at once
            continue;
        }
        if (answer == CustomBox::Second && mode == Mode::StartUp) {
            return {false, kEndApp};
        }
        return {false, kCancelled};
    }
}

bool FolderAccessCheck::trusted(const std::filesystem::path& dataFolder) {
    std::lock_guard lock(m_mutex);
    return m_passedFolder && *m_passedFolder == dataFolder && m_now() - m_passedAt < m_trustFor;
}

void FolderAccessCheck::remember(const std::filesystem::path& dataFolder) {
    std::lock_guard lock(m_mutex);
    m_passedFolder = dataFolder;
    m_passedAt = m_now();
}

}  // namespace orven
