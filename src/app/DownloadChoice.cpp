#include "app/DownloadChoice.h"

#include <algorithm>

#include "link/ListingResult.h"
#include "resources/TextFormat.h"
#include "resources/Texts.h"
#include "store/BoxInfo.h"
#include "store/StoreAnswers.h"
#include "store/StoreNames.h"

namespace orven {

namespace {

std::vector<std::string> checkedNames(const std::vector<BoxRow>& rows) {
    std::vector<std::string> names;
    for (const BoxRow& row : rows) {
        if (row.checked) {
            names.push_back(row.name);
        }
    }
    return names;
}

void sortByName(std::vector<BoxRow>& rows) {
    std::sort(rows.begin(), rows.end(),
              [](const BoxRow& a, const BoxRow& b) { return a.name < b.name; });
}

}  // namespace

bool BoxRows::anyChecked() const {
    const auto checked = [](const BoxRow& row) { return row.checked; };
    return std::any_of(answering.begin(), answering.end(), checked) ||
           std::any_of(extension.begin(), extension.end(), checked);
}

BoxRows DownloadChoice::offeredRows() const {
    // The dialogs open after the download command's folder check; the rows need no other.
    const StoreContext store = m_context.session.environment().store();
    const BoxInfo info(store);
    BoxRows rows;
    for (const std::filesystem::path& box : StoreNames::boxFolders(m_context.storeFolder())) {
        if (info.GetMakeState(box) == BoxInfo::kMadeByUser) {
            continue;
        }
        const bool answering = box.parent_path().filename() == StoreNames::kAnswering;
        (answering ? rows.answering : rows.extension).push_back({box.filename().string(), false});
    }
    sortByName(rows.answering);
    sortByName(rows.extension);
    return rows;
}

BoxRows DownloadChoice::downloadRows() const {
    return offeredRows();
}

BoxRows DownloadChoice::autoDeleteRows() const {
    BoxRows rows = offeredRows();
    for (BoxRow& row : rows.answering) {
        row.checked = autoDeleteOn(m_context.settings, StoreNames::kAnswering, row.name);
    }
    for (BoxRow& row : rows.extension) {
        row.checked = autoDeleteOn(m_context.settings, StoreNames::kExtension, row.name);
    }
    return rows;
}

bool DownloadChoice::tellWhenEmpty(const BoxRows& rows) {
    if (!rows.empty()) {
        return false;
    }
    m_context.tell(text::kNoBoxFolders, text::kErrorTitle);
    return true;
}

bool DownloadChoice::confirm() {
    return m_context.ask(text::fill(text::kDownloadConfirm, downloadFolder()),
                         text::kDownloadConfirmTitle);
}

template <typename Loop>
DownloadChoice::Outcome DownloadChoice::run(Loop loop) {
    // Held until the download command ends; the worker must not use the link meanwhile.
    m_context.session.pauseWorker(true);
    JobEnvironment env = m_context.job();
    DownloadFrontEnd loops(env, &m_context.settings);
    const DownloadSummary summary = loop(loops, m_context.storeFolder());
    m_context.downloadCompleted = summary.refreshList && !summary.cancelled;
    // The loop has told the user and closed the link; the session is over too.
    if (summary.result == JobResult::CommunicationFailure && !summary.cancelled) {
        m_context.session.logOut();
    }
    return Outcome::Ran;
}

DownloadChoice::Outcome DownloadChoice::downloadAll(Kind kind) {
    if (!confirm()) {
        return Outcome::Declined;
    }
    return run([kind](DownloadFrontEnd& loops, const std::filesystem::path& store) {
        return loops.downloadAll(store, kind);
    });
}

DownloadChoice::Outcome DownloadChoice::downloadChosen(Kind kind, const BoxRows& rows) {
    if (!confirm()) {
        return Outcome::Declined;
    }
    if (!rows.anyChecked()) {
        m_context.tell(text::kNothingChosen, text::kErrorTitle);
        return Outcome::NothingChosen;
    }
    const std::vector<std::string> answering = checkedNames(rows.answering);
    const std::vector<std::string> extension = checkedNames(rows.extension);
    return run([&](DownloadFrontEnd& loops, const std::filesystem::path& store) {
        return loops.downloadChosen(store, kind, answering, extension);
    });
}

DownloadChoice::Outcome DownloadChoice::downloadResponses() {
    m_context.session.pauseWorker(true);
    const std::filesystem::path store = m_context.storeFolder();
    const int count = m_context.session.ftp().CountRemoteFiles(
        store / std::string(StoreNames::kResponse), "/" + std::string(StoreNames::kResponse));
    if (count == RemoteCount::kFailed) {
        m_context.tell(text::kCommunicationError, text::kErrorTitle);
        m_context.session.logOut();
        return Outcome::LinkFailed;
    }
    // A main unit without the folder has no response messages either.
    if (count == 0 || count == RemoteCount::kNoSuchDirectory) {
        m_context.tell(text::kNoVoiceMessages, text::kErrorTitle);
        return Outcome::NoMessages;
    }
    return run([](DownloadFrontEnd& loops, const std::filesystem::path& folder) {
        return loops.downloadResponses(folder);
    });
}

bool DownloadChoice::saveAutoDelete(const BoxRows& rows) {
    if (!m_context.ask(text::kAutoDeleteConfirm, text::kAutoDeleteConfirmTitle)) {
        return false;
    }
    const auto write = [this](std::string_view kind, const std::vector<BoxRow>& list) {
        for (const BoxRow& row : list) {
            m_context.settings.writeInt(kind, row.name, row.checked ? 1 : 0);
        }
    };
    write(StoreNames::kAnswering, rows.answering);
    write(StoreNames::kExtension, rows.extension);
    return true;
}

bool DownloadChoice::autoDeleteOn(const ProfileFile& settings, std::string_view kind,
                                  const std::string& box) {
    const std::string remote = "/" + std::string(kind) + "/" + box;
    return BoxInfo::IsAutoDeleteBox(settings, remote) == store::kYes;
}

}  // namespace orven
