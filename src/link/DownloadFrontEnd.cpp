#include "link/DownloadFrontEnd.h"

#include <functional>
#include <memory>

#include "link/BoxDownloadJob.h"
#include "resources/Texts.h"
#include "store/StoreNames.h"

namespace orven {

namespace {

std::string str(std::string_view text) {
    return std::string(text);
}

}  // namespace

// One run of a loop: the progress dialog, its steps and what the boxes came to.
class DownloadFrontEnd::Session {
  public:
    Session(JobEnvironment& env, std::filesystem::path store, int boxes)
        : store(std::move(store)), m_steps(boxes + 1), m_heldBackBefore(env.deletionHeldBack) {
        env.deletionHeldBack = [this](const std::string& remoteDir) {
            summary.deletionHeldBack.push_back(remoteDir);
        };
        if (env.cancelFlag != nullptr) {
            env.cancelFlag->store(0);
        }
        if (env.stopRequest != nullptr) {
            env.stopRequest->store(0);
        }
        if (env.ui != nullptr) {
            m_progress = env.ui->openProgress(str(text::kProgressDownloading),
                                              str(text::kProgressDownloadingFiles), env.cancelFlag);
        }
    }

    void step() {
        ++m_done;
        if (m_progress) {
            m_progress->setPercent(m_done * 100 / m_steps);
        }
    }

    // The always-on download may run again once the loop is over.
    void close(JobEnvironment& env) {
        env.deletionHeldBack = m_heldBackBefore;
        if (m_progress) {
            m_progress->close();
            m_progress.reset();
        }
        if (env.stopRequest != nullptr) {
            env.stopRequest->store(0);
        }
    }

    std::filesystem::path store;
    DownloadSummary summary;

  private:
    std::unique_ptr<Progress> m_progress;
    int m_steps;
    int m_done = 0;
    std::function<void(const std::string&)> m_heldBackBefore;
};

std::vector<DownloadFrontEnd::Target> DownloadFrontEnd::targetsOf(
    const std::filesystem::path& store, std::string_view kind,
    const std::vector<std::string>& names) {
    std::vector<Target> targets;
    for (const std::string& name : names) {
        targets.push_back({store / std::string(kind) / name, "/" + str(kind) + "/" + name});
    }
    return targets;
}

DownloadSummary DownloadFrontEnd::downloadAll(const std::filesystem::path& store, Kind kind) {
    std::vector<Target> targets;
    for (const std::filesystem::path& box : StoreNames::boxFolders(store)) {
        const std::string kindName = box.parent_path().filename().string();
        targets.push_back({box, "/" + kindName + "/" + box.filename().string()});
    }
    targets.push_back({store / std::string(StoreNames::kResponse), "/outou"});
    Session session(m_env, store, static_cast<int>(targets.size()));
    runGroup(session, targets, kind);
    session.close(m_env);
    report(session.summary);
    return session.summary;
}

DownloadSummary DownloadFrontEnd::downloadChosen(const std::filesystem::path& store, Kind kind,
                                                 const std::vector<std::string>& answeringBoxes,
                                                 const std::vector<std::string>& extensionBoxes) {
    const auto answering = targetsOf(store, StoreNames::kAnswering, answeringBoxes);
    const auto extension = targetsOf(store, StoreNames::kExtension, extensionBoxes);
    Session session(m_env, store, static_cast<int>(answering.size() + extension.size()));
    runGroup(session, answering, kind);
    if (!m_env.cancelled() && session.summary.result != JobResult::CommunicationFailure) {
        runGroup(session, extension, kind);
    }
    session.close(m_env);
    report(session.summary);
    return session.summary;
}

DownloadSummary DownloadFrontEnd::downloadResponses(const std::filesystem::path& store) {
    const std::vector<Target> targets{{store / std::string(StoreNames::kResponse), "/outou"}};
    Session session(m_env, store, 1);
    runGroup(session, targets, Kind::InfoAndVoice);
    session.close(m_env);
    report(session.summary);
    return session.summary;
}

bool DownloadFrontEnd::runGroup(Session& session, const std::vector<Target>& targets, Kind kind) {
    for (const Target& target : targets) {
        int chosen = 0;
        int stored = 0;
        const JobResult result = runOne(target, kind, chosen, stored);
        session.summary.chosen += chosen;
        session.summary.stored += stored;
        // A box that reports success but kept fewer than it asked for (a bundle that ended
        // early, an entry that could not be stored) has not done its work.
        if (result == JobResult::Done && stored < chosen) {
            session.summary.partial = true;
        }
        session.step();
        const bool goOn = countResult(session.summary, result);
        if (result == JobResult::DeleteUnsupported && !session.summary.saw555) {
            session.summary.saw555 = true;
            switchAutoDeleteOff(session.store);
            show(text::kAutoDeleteUnsupported, text::kErrorTitle, Icon::Exclamation);
        }
        if (!goOn) {
            session.summary.cancelled = m_env.cancelled();
            return false;
        }
    }
    session.summary.cancelled = m_env.cancelled();
    return true;
}

JobResult DownloadFrontEnd::runOne(const Target& target, Kind kind, int& chosen, int& stored) {
    BoxDownloadJob job(m_env);
    if (kind == Kind::InfoOnly) {
        return job.DownloadBoxInfo(chosen, stored, target.remoteDir, target.localBox);
    }
    return job.DownloadBox(target.localBox, chosen, target.remoteDir, stored, false, false);
}

bool DownloadFrontEnd::countResult(DownloadSummary& summary, JobResult result) {
    switch (result) {
        case JobResult::Done:
        case JobResult::NoSuchBox:
        case JobResult::DeleteUnsupported:
            summary.result = JobResult::Done;
            return true;
        case JobResult::FilesGone:
            summary.filesMissing = true;
            summary.result = JobResult::Done;
            return true;
        case JobResult::LocalFailure:
            if (m_env.cancelFlag != nullptr) {
                m_env.cancelFlag->store(1);
            }
            break;
        case JobResult::DiskFull:
            summary.diskFull = true;
            break;
        case JobResult::CommunicationFailure:
        case JobResult::Cancelled:
        case JobResult::Stopped:
            break;
    }
    summary.result = result;
    return false;
}

// Every box of the store that has the switch on gets it off; boxes without the key stay
// without one, so the settings file does not grow.
void DownloadFrontEnd::switchAutoDeleteOff(const std::filesystem::path& store) {
    if (m_settings == nullptr) {
        return;
    }
    for (const std::filesystem::path& box : StoreNames::boxFolders(store)) {
        const std::string kind = box.parent_path().filename().string();
        const std::string name = box.filename().string();
        if (m_settings->getInt(kind, name, 0) != 0) {
            m_settings->writeInt(kind, name, 0);
        }
    }
}

void DownloadFrontEnd::report(DownloadSummary& summary) {
    // The loop stopped by raising the cancel flag, but the user did not cancel: say why.
    if (summary.result == JobResult::LocalFailure) {
        show(text::kDownloadLocalFailure, text::kErrorTitle, Icon::Exclamation);
        return;
    }
    if (summary.cancelled) {
        return;
    }
    if (summary.result == JobResult::CommunicationFailure) {
        show(text::kCommunicationError, text::kErrorTitle, Icon::Exclamation);
        if (m_env.ftp != nullptr) {
            m_env.ftp->Logout();
        }
        return;
    }
    // Messages the main unit did not deliver are reported as missing ones.
    const bool missing = summary.filesMissing || summary.partial;
    const bool partly = summary.stored > 0 && summary.stored < summary.chosen;
    if (partly && missing) {
        show(text::kDownloadPartlyMissing, text::kDownloadDoneTitle, Icon::Information);
    } else if (partly && summary.diskFull) {
        show(text::kDownloadPartlyNoSpace, text::kDownloadDoneTitle, Icon::Information);
    } else if (summary.stored == 0 && missing) {
        show(text::kDownloadAlreadyErased, text::kErrorTitle, Icon::Exclamation);
    } else if (summary.stored == 0 && summary.diskFull) {
        show(text::kDownloadNoSpace, text::kErrorTitle, Icon::Exclamation);
    } else if (summary.result == JobResult::Done && !missing) {
        summary.refreshList = true;
    }
    reportHeldBack(summary);
}

// Once per run, naming every box kept on the main unit, so a user whose main unit fills up
// knows why.
void DownloadFrontEnd::reportHeldBack(const DownloadSummary& summary) {
    if (summary.deletionHeldBack.empty() || m_env.ui == nullptr) {
        return;
    }
    std::string boxes;
    for (const std::string& remoteDir : summary.deletionHeldBack) {
        const bool answering = remoteDir.starts_with("/" + str(StoreNames::kAnswering) + "/");
        const std::string label =
            str(answering ? text::kAnsweringBoxLabel : text::kExtensionBoxLabel);
        boxes += "\n" + label + remoteDir.substr(remoteDir.find_last_of('/') + 1);
    }
    CustomBox box;
    box.title = str(text::kDownloadDoneTitle);
    box.text = str(text::kAutoDeleteHeldBack) + "\n" + boxes;
    box.icon = Icon::Information;
    m_env.ui->customBox(box);
}

void DownloadFrontEnd::show(std::string_view message, std::string_view title, Icon icon) {
    if (m_env.ui != nullptr) {
        m_env.ui->messageBox(str(message), str(title), Buttons::Ok, icon);
    }
}

}  // namespace orven
