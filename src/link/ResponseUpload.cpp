#include "link/ResponseUpload.h"

#include "platform/FileOps.h"
#include "resources/Texts.h"
#include "store/CFileMng.h"
#include "store/StoreNames.h"
#include "store/VoiceData.h"

namespace orven {
namespace {

constexpr std::string_view kRemoteFolder = "/outou/";

}  // namespace

struct ResponseUpload::Pass {
    CFileMng store;
    std::filesystem::path localFolder;
    std::unique_ptr<Progress> progress;
    bool refused = false;
    bool leftOut = false;
    int uploaded = 0;
    bool loggedOut = false;
};

ResponseUpload::Outcome ResponseUpload::run(std::vector<Row>& rows,
                                            const std::filesystem::path& localFolder) {
    if (rows.empty()) {
        show(text::kUploadNoneSelected, text::kErrorTitle, Icon::Exclamation);
        return {};
    }
    if (m_env.cancelFlag) {
        *m_env.cancelFlag = 0;
    }
    if (m_env.stopRequest) {
        *m_env.stopRequest = 0;
    }
    Pass pass{CFileMng(m_env, m_env.settings), localFolder, nullptr};
    if (m_env.ui) {
        pass.progress = m_env.ui->openProgress(std::string(text::kProgressUploading),
                                               std::string(text::kProgressUploadingResponses),
                                               m_env.cancelFlag);
    }
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const Step step = uploadRow(pass, rows[i]);
        if (step == Step::Failed) {
            failCommunication(pass);
            return {pass.uploaded, true, pass.refused, pass.leftOut};
        }
        if (step == Step::Stop) {
            break;
        }
        progressStep(pass, i + 1, rows.size());
    }
    progressStep(pass, rows.size(), rows.size());
    pass.progress.reset();
    if (!cancelled()) {
        report(pass, rows.size());
    }
    return {pass.uploaded, false, pass.refused, pass.leftOut};
}

ResponseUpload::Step ResponseUpload::uploadRow(Pass& pass, Row& row) {
    if (!FileOps::findAnyCase(row.aacFile)) {
        pass.leftOut = true;
        return Step::Next;
    }
    const auto image = VoiceData::BuildUploadImage(StoreNames::infoPath(row.aacFile), row.aacFile);
    const std::string name = VoiceData::uploadName(row.aacFile.filename().string());
    // An unreadable message is left out like a missing one: the main unit is not asked.
    if (!image || name.empty()) {
        pass.leftOut = true;
        return Step::Next;
    }
    const TransferResult result =
        m_env.ftp->PutFile(*image, pass.localFolder, std::string(kRemoteFolder) + name);
    const bool stored = result == TransferResult::Done;
    if (cancelled()) {
        writeBack(pass, row, stored);
        return Step::Stop;
    }
    // A refusal concerns this message only; anything else is the connection's.
    const bool refused = result == TransferResult::Refused;
    pass.refused = pass.refused || refused;
    pass.uploaded += stored ? 1 : 0;
    if (!writeBack(pass, row, stored)) {
        if (m_env.cancelFlag) {
            *m_env.cancelFlag = 1;
        }
        return Step::Stop;
    }
    return stored || refused ? Step::Next : Step::Failed;
}

bool ResponseUpload::writeBack(Pass& pass, Row& row, bool uploaded) {
    row.record.played = uploaded ? 1 : 0;
    return pass.store.WriteInfo(StoreNames::infoPath(row.aacFile), row.record) == 1;
}

void ResponseUpload::failCommunication(Pass& pass) {
    pass.progress.reset();
    show(text::kCommunicationError, text::kErrorTitle, Icon::Exclamation);
    m_env.ftp->Logout();
    if (pass.uploaded > 0) {
        show(text::kUploadPartly, text::kErrorTitle, Icon::Information);
    }
}

void ResponseUpload::report(const Pass& pass, std::size_t rowCount) {
    const bool single = rowCount == 1;
    const bool refused = pass.refused || (single && pass.leftOut);
    if (!refused) {
        show(text::kUploadDone, text::kUploadDoneTitle, Icon::Information);
    } else if (single || pass.uploaded == 0) {
        show(text::kUploadRefused, text::kErrorTitle, Icon::Exclamation);
    } else {
        show(text::kUploadPartly, text::kErrorTitle, Icon::Information);
    }
}

void ResponseUpload::show(std::string_view text, std::string_view title, Icon icon) {
    if (m_env.ui) {
        m_env.ui->messageBox(std::string(text), std::string(title), Buttons::Ok, icon);
    }
}

void ResponseUpload::progressStep(Pass& pass, std::size_t done, std::size_t total) {
    if (pass.progress) {
        pass.progress->setPercent(static_cast<int>(done * 100 / total));
        pass.progress->setCounter(static_cast<int>(done), static_cast<int>(total));
    }
    m_env.pump();
}

}  // namespace orven
