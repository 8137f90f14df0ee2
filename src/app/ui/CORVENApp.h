#pragma once

#include <functional>
#include <memory>

#include "app/ui/BackupHooks.h"
#include "app/ui/ListWindows.h"
#include "platform/DialogueLog.h"
#include "platform/LocalFileSystem.h"
#include "platform/SingleInstance.h"
#include "platform/Timing.h"
#include "platform/UserFolders.h"

class QTranslator;

namespace orven {
class AudioEndpoint;
}

namespace orven::ui {

class CMainFrame;
class QtUi;

// The application: one instance per user, the settings file, the main window and the start-up
// sequence up to the restored list windows. The exit sequence is the main window's.
class CORVENApp {
  public:
    // audio: null takes the PC's sound server. Everything given must outlive the object.
    CORVENApp(UserFolders folders, const Timing& timing, AudioEndpoint* audio = nullptr);
    ~CORVENApp();

    // False when the program is to end at once (a second copy, or the user ended it during
    // the start-up folder check); the window is then not shown.
    bool InitInstance();

    CMainFrame* mainFrame() const { return m_frame.get(); }
    // The scheduled backup; empty: none is ever due.
    BackupHooks backupHooks;
    // Puts the list windows' views and the box dialog into the main window before it is
    // created; empty: none open, and the last run's are kept.
    std::function<void(CMainFrame&)> installLists;

  private:
    void loadQtTexts();
    bool acquireInstance();
    void checkStoreFolder();
    void showVersionNotice();

    UserFolders m_folders;
    const Timing& m_timing;
    SingleInstance m_instance;
    LocalFileSystem m_fileSystem;
    std::unique_ptr<AudioEndpoint> m_ownAudio;
    AudioEndpoint* m_audio;
    std::unique_ptr<QTranslator> m_qtTexts;
    std::unique_ptr<QtUi> m_ui;
    std::unique_ptr<DialogueLog> m_dialogueLog;  // outlives the window and its FTP client
    std::unique_ptr<CMainFrame> m_frame;
};

}  // namespace orven::ui
