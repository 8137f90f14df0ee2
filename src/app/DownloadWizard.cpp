#include "app/DownloadWizard.h"

#include "resources/Texts.h"

namespace orven {

namespace {

// The custom box's button sets the wizard uses (see CustomBox::buttonTexts).
constexpr int kNextButton = 3;
constexpr int kStayOrLogOut = 5;

}  // namespace

DownloadWizard::Outcome DownloadWizard::run() {
    if (!m_context.session.loggedIn() && !m_pages.logIn()) {
        m_context.session.endForegroundJob();
        return Outcome::NotLoggedIn;
    }
    m_context.session.pauseWorker(true);
    m_context.session.cancelFlag() = 0;
    m_savedDataFolder = m_context.doc.dataFolder.str();
    m_savedFolderName = m_context.doc.currentFolderName.str();
    m_running = true;
    if (!folderSteps()) {
        putBack();
    } else if (m_context.folderUsable()) {
        downloadStep();
    }
    m_running = false;
    return finish();
}

bool DownloadWizard::folderSteps() {
    const bool noFolder =
        m_context.doc.dataFolder.empty() || m_context.doc.currentFolderName.empty();
    if ((noFolder && !m_pages.chooseFolder()) || !m_context.folderUsable()) {
        return false;
    }
    if (!m_pages.folderPage() || m_context.session.cancelFlag() != 0) {
        return false;
    }
    CustomBox done;
    done.title = std::string(text::kDownloadDoneTitle);
    done.text = std::string(text::kFolderDownloadDone);
    done.icon = Icon::Information;
    done.buttonSet = kNextButton;
    if (m_context.ui.customBox(done) == CustomBox::Closed) {
        return false;
    }
    // From here on the folder is the one the user chose and built: it stays.
    m_pages.takeFolder();
    return true;
}

void DownloadWizard::downloadStep() {
    const int way = m_pages.wayPage();
    DownloadCommand command(m_context, m_hooks);
    if (way == kBulk) {
        command.run(m_pages.bulkDialog, true);
    } else if (way == kChosen) {
        command.run(m_pages.chosenDialog, true);
    }
    // The download command releases the worker when it ends; the wizard holds it to the end.
    m_context.session.pauseWorker(true);
}

void DownloadWizard::putBack() {
    m_context.doc.dataFolder = m_savedDataFolder;
    m_context.doc.currentFolderName = m_savedFolderName;
}

// A download that lost the connection has logged the session out already: there is no
// log-in left to continue.
DownloadWizard::Outcome DownloadWizard::finish() {
    if (!m_context.session.loggedIn()) {
        m_context.session.endForegroundJob();
        return Outcome::LoggedOut;
    }
    CustomBox end;
    end.title = std::string(text::kWizardEndTitle);
    end.text = std::string(text::kWizardEnd);
    end.icon = Icon::Question;
    end.buttonSet = kStayOrLogOut;
    end.closable = false;
    if (m_context.ui.customBox(end) == CustomBox::Second) {
        m_context.session.logOut();
        return Outcome::LoggedOut;
    }
    m_context.session.restartKeepAlive();
    m_context.session.endForegroundJob();
    return Outcome::StayedLoggedIn;
}

}  // namespace orven
