#include "app/ui/CMainFrame.h"

#include <QAbstractEventDispatcher>
#include <QApplication>
#include <QCloseEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QMdiArea>
#include <QPushButton>
#include <QScreen>
#include <QStatusBar>
#include <QVBoxLayout>

#include "app/CommandIds.h"
#include "app/NameLineText.h"
#include "app/Settings.h"
#include "app/WindowPlacement.h"
#include "app/ui/CChildFrame.h"
#include "app/ui/CEndChkDlg.h"
#include "app/ui/CFolderSetDlg.h"
#include "app/ui/CVolumeDlg.h"
#include "app/ui/DialogBackupWatch.h"
#include "app/ui/DownloadCommands.h"
#include "app/ui/DropMenu.h"
#include "app/ui/FrameGeometry.h"
#include "app/ui/HelpCommands.h"
#include "app/ui/KeepAlive.h"
#include "app/ui/ListWindowView.h"
#include "app/ui/ListWindows.h"
#include "app/ui/MainMenus.h"
#include "app/ui/NameLine.h"
#include "app/ui/QtRect.h"
#include "app/ui/QtText.h"
#include "app/ui/QtUi.h"
#include "app/ui/SessionDialogs.h"
#include "platform/UserFolders.h"
#include "resources/Texts.h"
#include "store/MessageFolder.h"

namespace orven::ui {
namespace {

constexpr int kMinimumWidth = 845;
constexpr int kMinimumHeight = 250;
constexpr int kMinimumHeightWithList = 260;

SessionController::Services sessionServices(const CMainFrame::Services& services,
                                            const ProfileFile& settings) {
    // [LOGIN] PORT lets the main unit stand-in serve on a port of its own.
    return {services.ui,
            services.timing,
            services.localDirectory,
            settings.getInt("LOGIN", "PORT", 0),
            services.dialogueLog,
            &services.fileSystem};
}

}  // namespace

CMainFrame::CMainFrame(Services services, QWidget* parent)
    : QMainWindow(parent),
      m_services(std::move(services)),
      m_settings(m_services.settingsPath, ProfileFile::Encoding::Utf16Le, 0600),
      m_volume(m_services.audio),
      m_folderCheck(m_services.fileSystem, m_services.ui, m_services.timing),
      m_session(std::make_unique<SessionController>(sessionServices(m_services, m_settings), m_doc,
                                                    *this)),
      m_mdi(new QMdiArea),
      m_lists(new ListWindows(*m_mdi, m_doc)),
      m_bar(new DialogBar(nullptr)),
      m_nameLines(*m_bar, m_doc),
      m_countsLine(new QLabel) {
    buildLayout();
    m_menus = new MainMenus(
        *m_bar, *m_lists, [this](int id) { onCommand(id); }, this);
    m_dialogs = std::make_unique<SessionDialogs>(*m_session, m_doc, *this,
                                                 [this] { m_menus->settings().close(); });
    makeCommands();
    m_keepAlive = new KeepAlive(
        m_services.timing, *m_session, [this](auto step) { m_dialogs->onKeepAlive(step); }, this);
    m_backupTimer.setObjectName("backupWatchTimer");
    connect(&m_backupTimer, &QTimer::timeout, this, [this] { m_session->backupTimerTick(); });
    connectSignals();
    qApp->installEventFilter(this);
    m_services.ui.setParentWindow(this);
}

void CMainFrame::buildLayout() {
    setObjectName("mainFrame");
    setWindowTitle(qs(text::kMainWindowTitle));
    setMinimumSize(kMinimumWidth, kMinimumHeight);
    m_mdi->setObjectName("mdiArea");
    // At the smallest height the list area gives way, so that the dialog bar stays whole.
    m_mdi->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Ignored);
    m_countsLine->setObjectName("countsLine");
    auto* central = new QWidget;
    auto* layout = new QVBoxLayout(central);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_bar);
    layout->addWidget(m_mdi, 1);
    setCentralWidget(central);
    statusBar()->addWidget(m_countsLine, 1);
}

void CMainFrame::makeCommands() {
    m_context = std::make_unique<CommandContext>(CommandContext{
        *m_session, m_doc, m_settings, m_services.ui,
        [this] {
            return m_folderCheck.run(m_doc.dataFolder.str(), true, FolderAccessCheck::Mode::Normal)
                .usable;
        },
        m_services.holdingFolder.empty() ? UserFolders().holdingFolder()
                                         : m_services.holdingFolder});
    m_downloads = std::make_unique<DownloadCommands>(
        *m_context,
        DownloadCommands::Window{[this] {
                                     updateCountsLine(true);
                                     return m_folderTotal;
                                 },
                                 [this] { refreshLists(); },
                                 [this](const std::string& folder) { takeFolder(folder); },
                                 [this] { return m_dialogs->logInDialog(); }},
        m_services.browse, *this);
}

void CMainFrame::connectSignals() {
    for (int id = command::kFirstButton; id <= command::kLastButton; ++id) {
        const bool menuButton =
            id == command::kSettings || id == command::kWindow || id == command::kHelp;
        if (!menuButton) {
            connect(m_bar->button(id), &QPushButton::clicked, this, [this, id] { onCommand(id); });
        }
    }
    connect(m_bar->button(command::kSettings), &QPushButton::clicked, this,
            &CMainFrame::onSettingsButton);
    connect(m_bar->button(command::kWindow), &QPushButton::clicked, this,
            &CMainFrame::onWindowButton);
    connect(m_bar->button(command::kHelp), &QPushButton::clicked, this, &CMainFrame::onHelpButton);
    m_lists->setParent(this);
    connect(m_lists, &ListWindows::countChanged, this, &CMainFrame::onListsChanged);
    connect(m_mdi, &QMdiArea::subWindowActivated, this, &CMainFrame::onListsChanged);
    connect(m_lists, &ListWindows::titleChanged, this, &CMainFrame::updateTitle);
    connect(QAbstractEventDispatcher::instance(), &QAbstractEventDispatcher::aboutToBlock, this,
            [this] { updateCountsLine(false); });
}

CMainFrame::~CMainFrame() {
    // The list windows would otherwise release their slots into a record already gone.
    m_lists->closeAll();
    DialogBackupWatch::install({});
}

bool CMainFrame::create() {
    restorePlacement();
    Settings::LoadSettings(m_doc, m_settings);
    m_restore = m_doc.takeStartupFolder();
    DialogBackupWatch::install({m_services.timing.dialogBackupWatchTimerMs,
                                [this] { return m_session->backupWatchArmed(); },
                                [this] { return m_session->acceptDueBackupInDialog(); }});
    if (!m_doc.currentFolderName.empty()) {
        const auto outcome =
            m_folderCheck.run(m_doc.dataFolder.str(), true, FolderAccessCheck::Mode::StartUp);
        if (outcome.code == FolderAccessCheck::kCancelled) {
            m_doc.forgetStoreFolder();
            setBoxText(0);
        } else if (outcome.code == FolderAccessCheck::kEndApp && confirmExit() != CEndChkDlg::No) {
            return false;
        }
    }
    applyStartupFolder();
    m_volume.applyAtStart(m_doc);
    refreshCommands();
    return true;
}

void CMainFrame::applyStartupFolder() {
    m_nameLines.showStartupFolder(m_restore);
    layoutDialogBar();
}

// The stored rectangle is the outer frame; it is fitted to the screen without the panels.
void CMainFrame::restorePlacement() {
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    const Rect fit =
        WindowPlacement::fitToScreen(WindowPlacement::readMainWindow(m_settings), toRect(screen));
    FrameGeometry::apply(*this, toQRect(fit));
}

void CMainFrame::setBoxText(int n) {
    if (!m_nameLines.showWindow(n)) {
        m_flags = {};
    }
    layoutDialogBar();
    refreshCommands();
}

void CMainFrame::layoutDialogBar() {
    m_bar->layoutTo(centralWidget()->width());
}

void CMainFrame::resizeEvent(QResizeEvent* event) {
    QMainWindow::resizeEvent(event);
    layoutDialogBar();
}

void CMainFrame::updateCountsLine(bool recount) {
    if (recount && !m_doc.currentFolderName.empty()) {
        const StoreContext plain;
        m_folderTotal = MessageFolder(plain).CountFolderTotal(m_doc.storeFolder());
    }
    // The counts belong to the active list window; with none the line is empty.
    const CChildFrame* active = m_lists->active();
    const QString text =
        active != nullptr && active->view() != nullptr ? active->view()->countsLineText() : "";
    if (m_countsLine->text() != text) {
        m_countsLine->setText(text);
    }
}

void CMainFrame::onListsChanged() {
    const CChildFrame* active = m_lists->active();
    setMinimumHeight(active != nullptr ? kMinimumHeightWithList : kMinimumHeight);
    // Without a list view the slots of the last run are kept as they were read.
    if (m_lists->available()) {
        m_doc.windowCount = m_lists->count();
    }
    // The active window's boxes, folder and permissions are the main window's now.
    if (active != nullptr && active->view() != nullptr) {
        m_flags = active->view()->operationFlags();
        setBoxText(active->windowNumber());
    }
    updateTitle();
    updateCountsLine(false);
    refreshCommands();
}

void CMainFrame::updateTitle() {
    const CChildFrame* active = m_lists->active();
    const QString list = active != nullptr ? active->windowTitle() : QString();
    setWindowTitle(qs(text::kMainWindowTitle) + (list.isEmpty() ? "" : " - " + list));
}

void CMainFrame::restoreListWindows() {
    // Without a list view the slots are kept as they are, for a program that has one.
    if (!m_lists->available()) {
        return;
    }
    std::vector<WindowPlacement::ListWindow> stored;
    for (int n = 1; n <= m_doc.windowCount && n <= CORVENDoc::kListWindows; ++n) {
        stored.push_back(WindowPlacement::readListWindow(m_settings, n));
    }
    setUpdatesEnabled(false);
    m_lists->restore(stored);
    setUpdatesEnabled(true);
    update();
}

void CMainFrame::setOperationFlags(const OperationFlags& flags) {
    m_flags = flags;
    refreshCommands();
}

void CMainFrame::refreshCommands() {
    namespace fs = std::filesystem;
    const fs::path store = m_doc.storeFolder();
    std::error_code ec;
    CommandFacts facts;
    facts.listActive = m_lists->active() != nullptr;
    facts.listsOpen = m_lists->count() > 0;
    facts.storeHasBoxKinds = !m_doc.currentFolderName.empty() &&
                             fs::is_directory(store / "rusuroku", ec) &&
                             fs::is_directory(store / "naisen", ec);
    facts.folderLineFilled = m_bar->folderLine()->lineText().size() > 1;
    facts.flags = m_flags;
    const auto enabled = [&](int id) { return m_session->enabled(id, facts); };
    m_bar->updateEnabled(enabled);
    m_menus->updateStates(enabled);
}

// ---- Commands ----

void CMainFrame::onCommand(int id) {
    switch (id) {
        case command::kLogIn:
            return logIn();
        case command::kLogOut:
            return logOut(false);
        case command::kStartupFolder:
            return runCommand([this] {
                CFolderSetDlg dialog(m_doc, m_folderCheck, m_services.ui,
                                     {.fileSystem = &m_services.fileSystem}, this);
                dialog.exec();
            });
        case command::kFolderDownload:
        case command::kBulkDownload:
        case command::kSelectDownload:
        case command::kAutoDelete:
        case command::kWizard:
            return runCommand([this, id] { runDownloadCommand(id); });
        case command::kBox:
            return runCommand([this] { openBoxes(); });
        case command::kVolume:
            return runCommand([this] {
                CVolumeDlg dialog(m_doc, m_volume, this);
                dialog.exec();
            });
        case command::kTile:
            return m_lists->tile();
        case command::kTileRows:
            return m_lists->tileRows();
        case command::kTileColumns:
            return m_lists->tileColumns();
        case command::kCascade:
            return m_mdi->cascadeSubWindows();
        case command::kDialogueLog:
            return runCommand(
                [this] { HelpCommands::openDialogueLog(m_services.dialogueLogPath, this); });
        default:
            return runCommand([this, id] { HelpCommands::run(id, this); });
    }
}

void CMainFrame::runDownloadCommand(int id) {
    m_menus->settings().close();
    switch (id) {
        case command::kFolderDownload:
            m_downloads->folderDownload();
            forgetMissingStore();
            break;
        case command::kBulkDownload:
            m_nameLines.syncFolderName();
            m_downloads->bulkDownload();
            break;
        case command::kSelectDownload:
            m_nameLines.syncFolderName();
            m_downloads->selectDownload();
            break;
        case command::kAutoDelete:
            m_downloads->autoDeleteSettings();
            break;
        default:
            m_downloads->wizard();
            break;
    }
    refreshCommands();
}

void CMainFrame::openBoxes() {
    m_nameLines.syncFolderName();
    if (!m_boxOpener || !m_boxOpener()) {
        return;
    }
    CChildFrame* frame = m_lists->open();
    if (frame == nullptr) {
        return;
    }
    // A view that could not take its boxes is closed again; its slot goes with it.
    if (frame->view() != nullptr && frame->view()->boxesFailedToOpen()) {
        delete frame;
        return;
    }
    setBoxText(frame->windowNumber());
    updateCountsLine(true);
}

void CMainFrame::refreshLists() {
    for (CChildFrame* frame : m_lists->inWindowOrder()) {
        if (frame->view() != nullptr) {
            frame->view()->refresh();
        }
    }
    updateCountsLine(true);
}

void CMainFrame::takeFolder(const std::string& folder) {
    m_lists->closeAll();
    m_nameLines.openFolder(folder);
    layoutDialogBar();
    updateCountsLine(true);
}

void CMainFrame::forgetMissingStore() {
    if (m_nameLines.forgetMissingStore()) {
        m_lists->closeAll();
        layoutDialogBar();
    }
}

void CMainFrame::onSettingsButton() {
    if (!m_menus->settings().toggle()) {
        return;
    }
    runCommand([this] {
        const auto outcome =
            m_folderCheck.run(m_doc.dataFolder.str(), true, FolderAccessCheck::Mode::Normal);
        if (outcome.usable) {
            m_nameLines.syncFolderName();
            refreshCommands();
            m_menus->settings().open();
        }
        setEnabled(true);
    });
}

void CMainFrame::onWindowButton() {
    if (m_menus->windows().toggle()) {
        m_menus->refreshWindowItems();
        refreshCommands();
        m_menus->windows().open();
    }
}

void CMainFrame::onHelpButton() {
    if (m_menus->help().toggle()) {
        refreshCommands();
        m_menus->help().open();
    }
}

// ---- Session ----

void CMainFrame::logIn() {
    m_dialogs->logIn();
}

void CMainFrame::logOut(bool idle) {
    m_dialogs->logOut(idle);
}

void CMainFrame::setKeepAliveTimer(bool running) {
    m_keepAlive->setRunning(running);
}

void CMainFrame::setBackupTimer(bool running) {
    if (running) {
        m_backupTimer.start(m_services.timing.backupWatchTimerMs);
    } else {
        m_backupTimer.stop();
    }
}

// ---- Exit ----

int CMainFrame::confirmExit() {
    CEndChkDlg dialog(m_doc, m_session->backupOffered(), this);
    return dialog.exec();
}

void CMainFrame::closeEvent(QCloseEvent* event) {
    if (m_exiting) {
        event->accept();
        return;
    }
    // A backup accepted while the question was open runs as after any dialog.
    int answer = CEndChkDlg::No;
    runCommand([this, &answer] { answer = confirmExit(); });
    if (answer == CEndChkDlg::No) {
        event->ignore();
        return;
    }
    m_exiting = true;
    if (answer == CEndChkDlg::BackupAndExit) {
        m_session->backupBeforeExit();
    }
    exitSequence();
    event->accept();
}

void CMainFrame::exitSequence() {
    setEnabled(false);
    m_session->shutDown();
    // A program without a list view keeps the window slots of the last run for one that has.
    int openLists = m_lists->available() ? m_lists->count() : m_doc.windowCount;
    Settings::SaveSettings(m_doc, m_settings, openLists);
    savePlacement();
    m_volume.restoreAtExit(m_doc);
}

void CMainFrame::savePlacement() {
    WindowPlacement::save(m_settings, toRect(FrameGeometry::normalFrame(*this)),
                          m_lists->placements());
}

// The Alt key alone would move the focus into the menus; the main window has none of its
// own, so the press goes nowhere.
bool CMainFrame::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress && static_cast<QKeyEvent*>(event)->key() == Qt::Key_Alt) {
        auto* widget = qobject_cast<QWidget*>(watched);
        if (widget != nullptr && widget->window() == this) {
            return true;
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

}  // namespace orven::ui
