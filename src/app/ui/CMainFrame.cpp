#include "app/ui/CMainFrame.h"

#include <chrono>
#include <filesystem>

#include <QAbstractEventDispatcher>
#include <QApplication>
#include <QCloseEvent>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QMdiArea>
#include <QPushButton>
#include <QScreen>
#include <QStatusBar>
#include <QThread>
#include <QUrl>
#include <QVBoxLayout>

#include "app/NameLineText.h"
#include "app/Settings.h"
#include "app/WindowPlacement.h"
#include "app/ui/CChildFrame.h"
#include "app/ui/CEndChkDlg.h"
#include "app/ui/CFolderSetDlg.h"
#include "app/ui/CLoginDlg.h"
#include "app/ui/CRecomDlg.h"
#include "app/ui/CVolumeDlg.h"
#include "app/ui/DialogBackupWatch.h"
#include "app/ui/DropMenu.h"
#include "app/ui/KeepAlive.h"
#include "app/ui/ListWindowView.h"
#include "app/ui/ListWindows.h"
#include "app/ui/NameLine.h"
#include "app/ui/QtRect.h"
#include "app/ui/QtText.h"
#include "app/ui/QtUi.h"
#include "resources/Texts.h"
#include "store/MessageFolder.h"

namespace orven::ui {
namespace {

constexpr int kMinimumWidth = 845;
constexpr int kMinimumHeight = 250;
constexpr int kMinimumHeightWithList = 260;
constexpr int kWindowMenuFixedItems = 4;

bool windowTitled(std::string_view title) {
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (widget->isVisible() && widget->windowTitle() == qs(title)) {
            return true;
        }
    }
    return false;
}

void showError(QWidget* parent, std::string_view text) {
    QtUi::showMessageBox(parent, std::string(text), std::string(text::kErrorTitle), Buttons::Ok,
                         Icon::Exclamation);
}

}  // namespace

CMainFrame::CMainFrame(Services services, QWidget* parent)
    : QMainWindow(parent),
      m_services(std::move(services)),
      m_settings(m_services.settingsPath, ProfileFile::Encoding::Utf16Le, 0600),
      m_volume(m_services.audio),
      m_folderCheck(m_services.fileSystem, m_services.ui, m_services.timing),
      m_mdi(new QMdiArea),
      m_lists(new ListWindows(*m_mdi, m_doc)),
      m_bar(new DialogBar(nullptr)),
      m_countsLine(new QLabel) {
    setObjectName("mainFrame");
    setWindowTitle(qs(text::kMainWindowTitle));
    setMinimumSize(kMinimumWidth, kMinimumHeight);
    m_mdi->setObjectName("mdiArea");
    m_countsLine->setObjectName("countsLine");
    auto* central = new QWidget;
    auto* layout = new QVBoxLayout(central);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_bar);
    layout->addWidget(m_mdi, 1);
    setCentralWidget(central);
    statusBar()->addWidget(m_countsLine, 1);
    m_keepAlive =
        new KeepAlive(m_services.timing,
                      {[this] { return !m_busy && m_ftp != nullptr; },
                       [this] { return linkBusy(); }, [this] { return m_ftp->IsLoggedIn(); },
                       [this] {
                           QCoreApplication::processEvents();
                           // A log-out that ran meanwhile left nothing to probe.
                           return !m_ftp->IsLoggedIn() || m_ftp->ProbePort() == 1;
                       },
                       [this] { onConnectionLost(); }, [this] { return m_doc.loggedIn != 0; },
                       [this] {
                           m_settingsMenu->close();
                           logOut(true);
                       }},
                      this);
    m_backupTimer.setObjectName("backupWatchTimer");
    connect(&m_backupTimer, &QTimer::timeout, this, &CMainFrame::onBackupTimer);
    m_lists->setParent(this);
    connect(m_lists, &ListWindows::countChanged, this, &CMainFrame::onListsChanged);
    connect(m_mdi, &QMdiArea::subWindowActivated, this, &CMainFrame::onListsChanged);
    connect(m_lists, &ListWindows::titleChanged, this, &CMainFrame::updateTitle);
    connect(QAbstractEventDispatcher::instance(), &QAbstractEventDispatcher::aboutToBlock, this,
            [this] { updateCountsLine(false); });
    qApp->installEventFilter(this);
    buildMenus();
    m_services.ui.setParentWindow(this);
}

CMainFrame::~CMainFrame() {
    // The list windows would otherwise release their slots into a record already gone.
    m_lists->closeAll();
    DialogBackupWatch::install({});
    if (m_workerThread.joinable()) {
        m_worker.stop([] {}, [](auto step) { std::this_thread::sleep_for(step); },
                      std::chrono::milliseconds(m_services.timing.exitWorkerStopStepMs));
        m_workerThread.join();
    }
}

bool CMainFrame::create() {
    restorePlacement();
    Settings::LoadSettings(m_doc, m_settings);
    m_restore = m_doc.takeStartupFolder();
    DialogBackupWatch::install({m_services.timing.dialogBackupWatchTimerMs,
                                [this] { return m_backupWatch; },
                                [this] { return acceptDueBackupInDialog(); }});
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
    createClient();
    m_volume.applyAtStart(m_doc);
    refreshCommands();
    return true;
}

void CMainFrame::applyStartupFolder() {
    m_bar->folderLine()->setLineText(
        qs(NameLineText::folderLine(m_doc.dataFolder.str(), m_doc.currentFolderName.str(), true)));
    const int n = m_doc.windowCount;
    const bool showBoxes = n >= 1 && n <= CORVENDoc::kListWindows && m_restore;
    m_bar->boxLine()->setLineText(
        showBoxes ? qs(NameLineText::boxLine(m_doc.windowBoxLists[n - 1].str())) : QString());
    layoutDialogBar();
}

void CMainFrame::restorePlacement() {
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    const Rect fit = WindowPlacement::fitToScreen(WindowPlacement::readMainWindow(m_settings),
                                                  screen.width(), screen.height());
    setGeometry(fit.left, fit.top, std::max(fit.right - fit.left, kMinimumWidth),
                std::max(fit.bottom - fit.top, kMinimumHeight));
}

void CMainFrame::setBoxText(int n) {
    const bool shown = m_doc.windowCount != 0 && n >= 1 && n <= CORVENDoc::kListWindows;
    const std::string boxes = shown ? m_doc.windowBoxLists[n - 1].str() : std::string();
    const std::string folder = shown ? m_doc.windowFolderNames[n - 1].str() : std::string();
    m_bar->boxLine()->setLineText(qs(NameLineText::boxLine(boxes)));
    m_bar->folderLine()->setLineText(qs(NameLineText::folderLine(m_doc.dataFolder.str(), folder)));
    if (boxes.empty()) {
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
        m_folderTotal = MessageFolder(plain).CountMessages(m_doc.storeFolder());
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
    setMinimumHeight(m_lists->active() != nullptr ? kMinimumHeightWithList : kMinimumHeight);
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
    BarState state;
    state.loggedIn = m_doc.loggedIn != 0;
    state.listActive = m_lists->active() != nullptr;
    state.storeHasBoxKinds = !m_doc.currentFolderName.empty() &&
                             fs::is_directory(store / "rusuroku", ec) &&
                             fs::is_directory(store / "naisen", ec);
    state.folderLineFilled = m_bar->folderLine()->lineText().size() > 1;
    state.flags = m_flags;
    m_bar->updateEnabled(state);
    updateMenuStates();
}

// ---- Menus ----

void CMainFrame::buildMenus() {
    m_settingsMenu = new DropMenu(m_bar->button(1005), "settingsMenu", this);
    m_windowMenu = new DropMenu(m_bar->button(1006), "windowMenu", this);
    m_helpMenu = new DropMenu(m_bar->button(1007), "helpMenu", this);
    connect(m_bar->button(1005), &QPushButton::clicked, this, &CMainFrame::onSettingsButton);
    connect(m_bar->button(1006), &QPushButton::clicked, this, &CMainFrame::onWindowButton);
    connect(m_bar->button(1007), &QPushButton::clicked, this, &CMainFrame::onHelpButton);
    buildSettingsMenu();
    buildWindowMenu();
    buildHelpMenu();
}

QAction* CMainFrame::addItem(QMenu* menu, int id, std::string_view label,
                             void (CMainFrame::*slot)()) {
    QAction* action = menu->addAction(qs(label));
    action->setObjectName(QStringLiteral("action%1").arg(id));
    if (slot) {
        connect(action, &QAction::triggered, this, slot);
    } else {
        action->setEnabled(false);  // its feature is not part of this program yet
    }
    m_actions[id] = action;
    return action;
}

void CMainFrame::buildSettingsMenu() {
    QMenu* menu = m_settingsMenu->menu();
    addItem(menu, 32784, text::kMenuLogIn, &CMainFrame::onLogInCommand);
    addItem(menu, 32785, text::kMenuLogOut, &CMainFrame::onLogOutCommand);
    addItem(menu, 32786, text::kMenuStartupFolder, &CMainFrame::onStartupFolder);
    addItem(menu, 32813, text::kMenuWizard, nullptr);
    addItem(menu, 32808, text::kMenuAutoDelete, nullptr);
    addItem(menu, 32809, text::kMenuAlwaysSettings, nullptr);
    addItem(menu, 32815, text::kMenuVolume, &CMainFrame::onVolume);
    addItem(menu, 32823, text::kMenuMoveData, nullptr);
    addItem(menu, 32790, text::kMenuColumns, nullptr);
    addItem(menu, 32791, text::kMenuEditInfo, nullptr);
    addItem(menu, 32792, text::kMenuBoxNames, nullptr);
    addItem(menu, 32793, text::kMenuMakeBoxFolder, nullptr);
    addItem(menu, 32794, text::kMenuRenameBoxFolder, nullptr);
    addItem(menu, 32795, text::kMenuExport, nullptr);
    addItem(menu, 32796, text::kMenuImport, nullptr);
    addItem(menu, 32803, text::kMenuBackupSettings, nullptr);
}

void CMainFrame::buildWindowMenu() {
    QMenu* menu = m_windowMenu->menu();
    connect(addItem(menu, 32800, text::kMenuTile, nullptr), &QAction::triggered, m_lists,
            &ListWindows::tile);
    connect(addItem(menu, 57651, text::kMenuTileRows, nullptr), &QAction::triggered, m_lists,
            &ListWindows::tileRows);
    connect(addItem(menu, 57652, text::kMenuTileColumns, nullptr), &QAction::triggered, m_lists,
            &ListWindows::tileColumns);
    connect(addItem(menu, 57650, text::kMenuCascade, nullptr), &QAction::triggered, m_mdi,
            &QMdiArea::cascadeSubWindows);
}

void CMainFrame::buildHelpMenu() {
    QMenu* menu = m_helpMenu->menu();
    addItem(menu, 32818, text::kMenuManual, &CMainFrame::onManual);
    addItem(menu, 32821, text::kMenuUpdate, &CMainFrame::showUpdateNotice);
    addItem(menu, 32819, text::kMenuAbout, &CMainFrame::showAbout);
}

void CMainFrame::updateMenuStates() {
    const bool loggedIn = m_doc.loggedIn != 0;
    const bool lists = m_lists->count() > 0;
    m_actions.at(32784)->setEnabled(!loggedIn);
    m_actions.at(32785)->setEnabled(loggedIn);
    m_actions.at(32821)->setEnabled(!loggedIn);
    m_actions.at(32800)->setEnabled(lists);
    for (int id : {57650, 57651, 57652}) {
        m_actions.at(id)->setEnabled(lists);
    }
}

void CMainFrame::onSettingsButton() {
    if (!m_settingsMenu->toggle()) {
        return;
    }
    runCommand([this] {
        const auto outcome =
            m_folderCheck.run(m_doc.dataFolder.str(), true, FolderAccessCheck::Mode::Normal);
        if (outcome.usable) {
            m_doc.currentFolderName =
                NameLineText::folderNameOf(utf8(m_bar->folderLine()->lineText()));
            updateMenuStates();
            m_settingsMenu->open();
        }
        setEnabled(true);
    });
}

void CMainFrame::onWindowButton() {
    if (!m_windowMenu->toggle()) {
        return;
    }
    QMenu* menu = m_windowMenu->menu();
    const QList<QAction*> items = menu->actions();
    for (qsizetype i = kWindowMenuFixedItems; i < items.size(); ++i) {
        menu->removeAction(items[i]);
        delete items[i];
    }
    m_lists->addMenuItems(*menu);
    updateMenuStates();
    m_windowMenu->open();
}

void CMainFrame::onHelpButton() {
    if (m_helpMenu->toggle()) {
        updateMenuStates();
        m_helpMenu->open();
    }
}

void CMainFrame::onStartupFolder() {
    runCommand([this] {
        CFolderSetDlg dialog(m_doc, m_folderCheck, m_services.ui, {}, this);
        dialog.exec();
    });
}

void CMainFrame::onVolume() {
    runCommand([this] {
        CVolumeDlg dialog(m_doc, m_volume, this);
        dialog.exec();
    });
}

void CMainFrame::onManual() {
    runCommand([this] { openManual(); });
}

void CMainFrame::openManual() {
    const QString path = QDir::current().filePath(qs(text::kManualPath));
    if (!QFileInfo(path).isFile()) {
        showError(this, text::kManualNotFound);
    } else if (!QDesktopServices::openUrl(QUrl::fromLocalFile(path))) {
        showError(this, text::kManualCannotOpen);
    }
}

void CMainFrame::showUpdateNotice() {
    runCommand([this] {
        QtUi::showMessageBox(this, std::string(text::kUpdateNotAvailable),
                             std::string(text::kUpdateTitle), Buttons::Ok, Icon::Information);
    });
}

void CMainFrame::showAbout() {
    runCommand([this] {
        QtUi::showMessageBox(this, std::string(text::kAboutText), std::string(text::kAboutTitle),
                             Buttons::Ok, Icon::Information);
    });
}

// ---- Session ----

int CMainFrame::loginPort() const {
    return m_settings.getInt("LOGIN", "PORT", 0);
}

void CMainFrame::createClient() {
    FtpEnvironment environment;
    environment.ui = &m_services.ui;
    environment.hooks = this;
    environment.timing = &m_services.timing;
    environment.cancelFlag = &m_cancel;
    environment.defaultLocalDirectory = m_services.localDirectory;
    m_ftp = std::make_unique<CFtpMng>(environment);
}

void CMainFrame::logIn() {
    runCommand([this] {
        m_backupPending = false;
        m_settingsMenu->close();
        CLoginDlg dialog(
            m_doc,
            [this](const std::string& address, const std::string& user,
                   const std::string& password) {
                return m_ftp->Login(address, user, password, loginPort());
            },
            this);
        if (dialog.exec() == QDialog::Accepted) {
            m_keepAlive->resetIdle();
            m_keepAlive->start();
        }
        refreshCommands();
    });
}

void CMainFrame::logOut(bool idle) {
    runCommand([this, idle] { endSession(idle); });
}

void CMainFrame::endSession(bool idle) {
    m_settingsMenu->close();
    m_keepAlive->stop();
    m_keepAlive->resetIdle();
    if (m_doc.loggedIn == 0) {
        refreshCommands();
        return;
    }
    // The idle log-out happens while the user is away: nothing of the window must change.
    if (!idle) {
        setEnabled(false);
    }
    m_cancel = 1;
    PauseAlwaysDownload(true);
    if (m_ftp->IsLoggedIn()) {
        m_ftp->Logout();
    }
    QCoreApplication::processEvents();
    m_doc.loggedIn = 0;
    refreshCommands();
    m_cancel = 0;
    m_worker.endForegroundJob();
    if (!idle) {
        setEnabled(true);
    }
}

bool CMainFrame::linkBusy() {
    return windowTitled(text::kProgressDownloading) || m_worker.busy();
}

void CMainFrame::onConnectionLost() {
    m_doc.loggedIn = 0;
    refreshCommands();
    if (!windowTitled(text::kErrorTitle)) {
        m_keepAlive->stop();
        m_keepAlive->resetIdle();
        reconnect();
    }
}

void CMainFrame::reconnect() {
    runCommand([this] { offerReconnect(); });
}

void CMainFrame::offerReconnect() {
    CRecomDlg dialog(this);
    const int choice = dialog.exec();
    if (choice == CRecomDlg::Reconnect) {
        m_ftp->Logout();
        createClient();
        const int result = m_ftp->Login(m_doc.sessionAddress.str(), m_doc.sessionUser.str(),
                                        m_doc.sessionPassword.str(), loginPort());
        if (result == CFtpMng::kLoggedIn) {
            m_doc.loggedIn = 1;
            m_keepAlive->resetIdle();
            m_keepAlive->start();
        } else {
            showError(this, CLoginDlg::resultText(result));
        }
    } else if (choice == CRecomDlg::End) {
        QTimer::singleShot(0, this, &QWidget::close);
    }
    refreshCommands();
}

void CMainFrame::onGuiThread(std::function<void()> work) {
    if (QThread::currentThread() == thread()) {
        work();
    } else {
        QMetaObject::invokeMethod(this, std::move(work), Qt::QueuedConnection);
    }
}

void CMainFrame::operationStarted() {
    onGuiThread([this] {
        m_keepAlive->stop();
        m_keepAlive->resetIdle();
    });
    m_services.ui.pump();
}

void CMainFrame::operationFinished() {
    onGuiThread([this] {
        m_keepAlive->resetIdle();
        m_keepAlive->start();
    });
}

// ---- Worker hand-shake ----

void CMainFrame::PauseAlwaysDownload(bool pause) {
    m_worker.pause(
        pause, [] { QCoreApplication::processEvents(); },
        [](auto step) { std::this_thread::sleep_for(step); },
        std::chrono::milliseconds(m_services.timing.pauseHandshakeStepMs));
}

void CMainFrame::SetAlwaysDownloadPause(bool pause) {
    m_worker.requestPause(pause);
}

void CMainFrame::startWorker(std::function<void()> body) {
    m_worker.clearStopRequest();
    m_workerThread = std::thread(std::move(body));
    m_worker.markStarted();
}

// ---- Backup watch ----

void CMainFrame::setBackupWatch(bool armed) {
    m_backupWatch = armed;
    restartBackupWatch();
}

void CMainFrame::restartBackupWatch() {
    m_backupTimer.stop();
    if (m_backupWatch) {
        m_backupTimer.start(m_services.timing.backupWatchTimerMs);
    }
}

void CMainFrame::runCommand(const std::function<void()>& command) {
    m_backupTimer.stop();
    command();
    if (m_backupPending) {
        m_backupPending = false;
        runDueBackup();
    }
    restartBackupWatch();
}

void CMainFrame::checkOverdueBackup() {
    m_busy = false;
    m_backupWatch = true;
    if (m_backupHooks.askOverdue && backupDue()) {
        if (m_backupHooks.askOverdue()) {
            m_backupAccepted = true;
            m_completionMessage = true;
            runDueBackup();
        } else {
            m_backupAccepted = false;
            m_backupWatch = false;
        }
    }
    restartBackupWatch();
}

bool CMainFrame::backupDue() const {
    return m_backupHooks.due && m_backupHooks.due();
}

// The question may come while the user is away; it answers itself, and then no completion
// message waits for anybody.
bool CMainFrame::askBackupNow() {
    m_completionMessage = true;
    m_backupAccepted = m_backupHooks.ask && m_backupHooks.ask(m_completionMessage);
    return m_backupAccepted;
}

void CMainFrame::onBackupTimer() {
    m_backupTimer.stop();
    if (backupDue() && askBackupNow()) {
        runDueBackup();
    }
    restartBackupWatch();
}

bool CMainFrame::acceptDueBackupInDialog() {
    if (!backupDue() || !askBackupNow()) {
        return false;
    }
    m_backupPending = true;
    return true;
}

void CMainFrame::runDueBackup() {
    if (!m_backupAccepted || !m_backupHooks.run) {
        return;
    }
    m_backupAccepted = false;
    m_busy = true;
    if (!m_backupHooks.run(m_completionMessage)) {
        m_backupWatch = true;
    }
    m_busy = false;
}

// ---- Exit ----

int CMainFrame::confirmExit() {
    CEndChkDlg dialog(m_doc, static_cast<bool>(m_backupHooks.run), this);
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
    m_backupTimer.stop();
    m_exiting = true;
    if (answer == CEndChkDlg::BackupAndExit) {
        m_backupAccepted = true;
        m_completionMessage = false;
        runDueBackup();
    }
    exitSequence();
    event->accept();
}

void CMainFrame::exitSequence() {
    QCoreApplication::processEvents();
    setEnabled(false);
    m_keepAlive->stop();
    m_cancel = 1;
    m_worker.stop([] { QCoreApplication::processEvents(); },
                  [](auto step) { std::this_thread::sleep_for(step); },
                  std::chrono::milliseconds(m_services.timing.exitWorkerStopStepMs));
    if (m_workerThread.joinable()) {
        m_workerThread.join();
    }
    // A program without a list view keeps the window slots of the last run for one that has.
    int openLists = m_lists->available() ? m_lists->count() : m_doc.windowCount;
    Settings::SaveSettings(m_doc, m_settings, openLists);
    savePlacement();
    m_volume.restoreAtExit(m_doc);
}

void CMainFrame::savePlacement() {
    WindowPlacement::save(m_settings, toRect(normalGeometry()), m_lists->placements());
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
