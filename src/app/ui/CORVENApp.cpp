#include "app/ui/CORVENApp.h"

#include <filesystem>

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

#include "app/ui/CMainFrame.h"
#include "app/ui/QtUi.h"
#include "platform/PulseAudioEndpoint.h"
#include "platform/RotatingDialogueLog.h"
#include "resources/Texts.h"

namespace orven::ui {

CORVENApp::CORVENApp(UserFolders folders, const Timing& timing, AudioEndpoint* audio)
    : m_folders(std::move(folders)), m_timing(timing), m_instance(m_folders), m_audio(audio) {
    if (!m_audio) {
        m_ownAudio = std::make_unique<PulseAudioEndpoint>();
        m_audio = m_ownAudio.get();
    }
}

CORVENApp::~CORVENApp() = default;

bool CORVENApp::InitInstance() {
    loadQtTexts();
    if (!acquireInstance()) {
        return false;
    }
    UserFolders::makePrivateFolder(m_folders.configFolder());
    UserFolders::makePrivateFolder(m_folders.dataFolder());
    m_ui = std::make_unique<QtUi>(m_timing);
    m_dialogueLog = std::make_unique<RotatingDialogueLog>(m_folders.dialogueLogPath());
    m_frame = std::make_unique<CMainFrame>(CMainFrame::Services{
        m_timing, *m_ui, m_fileSystem, *m_audio, m_folders.settingsPath(), m_folders.dataFolder(),
        m_dialogueLog.get(), m_folders.dialogueLogPath()});
    if (installLists) {
        installLists(*m_frame);
    }
    m_frame->setBackupHooks(backupHooks);
    if (!m_frame->create()) {
        return false;
    }
    m_frame->show();
    checkStoreFolder();
    showVersionNotice();
    m_frame->checkOverdueBackup();
    return true;
}

// Qt's own texts (the menu of a text field, the file dialogs) in Japanese like the rest of
// the program; where Qt's translations are not installed they stay in English.
void CORVENApp::loadQtTexts() {
    m_qtTexts = std::make_unique<QTranslator>();
    if (m_qtTexts->load(QLocale(QLocale::Japanese, QLocale::Japan), QStringLiteral("qtbase"),
                        QStringLiteral("_"), QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        QCoreApplication::installTranslator(m_qtTexts.get());
    }
}

bool CORVENApp::acquireInstance() {
    if (m_instance.tryAcquire()) {
        return true;
    }
    QtUi::showMessageBox(nullptr, std::string(text::kAlreadyRunning),
                         std::string(text::kErrorTitle), Buttons::Ok, Icon::Error);
    return false;
}

void CORVENApp::checkStoreFolder() {
    CORVENDoc& doc = m_frame->doc();
    std::error_code ec;
    if (!std::filesystem::is_directory(doc.storeFolder(), ec)) {
        doc.forgetStoreFolder();
        m_frame->setBoxText(0);
        return;
    }
    if (doc.restoresListWindows(m_frame->restoreFlag())) {
        m_frame->restoreListWindows();
    }
    doc.folderChanged = 0;
    m_frame->updateCountsLine(true);
}

void CORVENApp::showVersionNotice() {
    CORVENDoc& doc = m_frame->doc();
    if (doc.noticeShown != 0) {
        return;
    }
    // A settings file of an older version: the always-on folder is new and still unset.
    if (!doc.dataFolder.empty() && doc.alwaysDataFolder.empty()) {
        QtUi::showMessageBox(m_frame.get(), std::string(text::kAlwaysFolderNotice),
                             std::string(text::kNoticeTitle), Buttons::Ok, Icon::Information);
    }
    doc.noticeShown = 1;
    m_frame->settings().writeInt("DISP", "INFO_ALREADY", 1);
}

}  // namespace orven::ui
