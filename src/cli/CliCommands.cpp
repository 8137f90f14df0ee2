#include "cli/CliCommands.h"

#include <cstdio>
#include <cstring>
#include <iostream>

#include "link/FolderDownload.h"
#include "link/ResponseUpload.h"
#include "platform/RotatingDialogueLog.h"
#include "resources/Texts.h"
#include "store/MessageFolder.h"
#include "store/StoreNames.h"
#include "store/VoiceData.h"

namespace orven {

namespace {

const char* kColumns[] = {"ﾌﾗｸﾞ",     "取込",     "再生/未再生", "保護/非保護", "BOX番号",
                          "相手番号", "相手名称", "日時",        "録音時間",    "ファイル名",
                          "BOX名称",  "タイトル", "メモ"};

// The 取込 cell: three blanks, the code digit, three blanks.
std::string importCode(std::uint8_t state) {
    const char digit = state == 2 ? '0' : state == 1 ? '1' : state == 0 ? '2' : '3';
    return std::string("   ") + digit + "   ";
}

// The path below the data folder, as the list's file name column shows it.
std::string shownFileName(const std::string& full, const std::filesystem::path& dataFolder) {
    std::string base = dataFolder.string();
    if (!base.empty() && base.back() != '/') {
        base += '/';
    }
    std::string name = !base.empty() && full.rfind(base, 0) == 0 ? full.substr(base.size()) : full;
    name.erase(0, name.find_first_not_of(' '));
    return name;
}

// Tabs and line breaks inside a field would break the line into wrong columns.
std::string flat(std::string text) {
    for (char& c : text) {
        if (c == '\t' || c == '\n' || c == '\r') {
            c = ' ';
        }
    }
    return text;
}

}  // namespace

CliCommands::CliCommands(CliOptions options, std::atomic<int>& cancelFlag,
                         const std::atomic<int>& signalled,
                         const std::filesystem::path& settingsFile)
    : m_options(std::move(options)),
      m_signalled(signalled),
      m_ui(&signalled),
      m_settings(settingsFile, ProfileFile::Encoding::Utf16Le, 0600),
      m_dialogueLog(makeDialogueLog()),
      m_environment(given(cancelFlag)),
      m_env(m_environment.job(
          {m_options.address, m_options.user, m_options.password, m_options.port}, &m_settings)) {}

CliCommands::~CliCommands() {
    if (m_environment.ftp().IsLoggedIn()) {
        m_environment.ftp().Logout();
    }
}

FtpEnvironment CliCommands::given(std::atomic<int>& cancelFlag) {
    FtpEnvironment given;
    given.ui = &m_ui;
    given.cancelFlag = &cancelFlag;
    given.dialogueLog = m_dialogueLog.get();
    given.defaultLocalDirectory = m_options.store();
    return given;
}

std::unique_ptr<DialogueLog> CliCommands::makeDialogueLog() {
    std::unique_ptr<DialogueLog> file;
    if (!m_options.logFile.empty()) {
        auto rotating = std::make_unique<RotatingDialogueLog>(m_options.logFile);
        if (const int error = rotating->openError(); error != 0) {
            m_logProblem = m_options.logFile.string() + ": " + std::strerror(error);
        }
        file = std::move(rotating);
    }
    if (!m_options.verbose) {
        return file;
    }
    auto standardError = std::make_unique<StreamDialogueLog>(std::cerr);
    if (!file) {
        return standardError;
    }
    return std::make_unique<TeeDialogueLog>(std::move(file), std::move(standardError));
}

CliCommands::Exit CliCommands::run() {
    const std::string& command = m_options.command;
    // The log was asked for to find a fault: a run without it would be lost.
    if (!m_logProblem.empty()) {
        std::fprintf(stderr, "orven-cli: cannot write the log %s\n", m_logProblem.c_str());
        return Exit::kLocalFailure;
    }
    for (const std::string& box : m_options.boxes) {
        // The box becomes a path under the store: nothing may lead out of it.
        if (!CliOptions::isBoxPath(box)) {
            return usage("--box takes rusuroku/BOX or naisen/BOX, not " + box);
        }
    }
    if (command == "check-aac") {
        return checkAac();
    }
    if (m_options.dataFolder.empty() || m_options.folder.empty()) {
        return usage("no store: give --data-folder and --folder (or set them in ORVEN.ini)");
    }
    if (command == "list") {
        return list();
    }
    if (m_options.address.empty() || m_options.user.empty()) {
        return usage("no main unit: give --address and --user (or log in once with orven)");
    }
    if (command == "folder-download") {
        return folderDownload();
    }
    return command == "download" ? download() : upload();
}

CliCommands::Exit CliCommands::usage(const std::string& why) {
    std::fprintf(stderr, "orven-cli: %s\n%s", why.c_str(),
                 CliOptions::usage(m_options.command).c_str());
    return Exit::kUsage;
}

CliCommands::Exit CliCommands::logIn() {
    const LoginResult result = m_environment.ftp().Login(m_options.address, m_options.user,
                                                         m_options.password, m_options.port);
    if (result == LoginResult::LoggedIn) {
        return Exit::kSuccess;
    }
    std::fprintf(stderr, "orven-cli: log-in failed (%d)\n", static_cast<int>(result));
    return signalled() ? Exit::kCancelled : Exit::kCommunication;
}

CliCommands::Exit CliCommands::folderDownload() {
    if (const Exit loggedIn = logIn(); loggedIn != Exit::kSuccess) {
        return loggedIn;
    }
    std::unique_ptr<Progress> progress =
        m_ui.openProgress(std::string(text::kProgressDownloading),
                          std::string(text::kProgressDownloadingFolders), m_env.cancelFlag);
    FolderDownload job(m_env);
    const FolderDownloadResult result = job.run(m_options.store(), progress.get());
    if (job.cancelled()) {
        return Exit::kCancelled;
    }
    if (result == FolderDownloadResult::ListFailed) {
        m_ui.messageBox(std::string(text::kCommunicationError), std::string(text::kErrorTitle),
                        Buttons::Ok, Icon::Exclamation);
        return Exit::kCommunication;
    }
    if (result != FolderDownloadResult::Done) {
        return Exit::kLocalFailure;
    }
    m_ui.messageBox(std::string(text::kFolderDownloadDone), std::string(text::kDownloadDoneTitle),
                    Buttons::Ok, Icon::Information);
    return Exit::kSuccess;
}

CliCommands::Exit CliCommands::download() {
    if (const Exit loggedIn = logIn(); loggedIn != Exit::kSuccess) {
        return loggedIn;
    }
    const auto kind = m_options.infoOnly ? DownloadFrontEnd::Kind::InfoOnly
                                         : DownloadFrontEnd::Kind::InfoAndVoice;
    DownloadFrontEnd loops(m_env, &m_settings);
    if (m_options.responses) {
        return exitOf(loops.downloadResponses(m_options.store()));
    }
    if (m_options.boxes.empty()) {
        return exitOf(loops.downloadAll(m_options.store(), kind));
    }
    std::vector<std::string> answering;
    std::vector<std::string> extension;
    for (const std::string& box : m_options.boxes) {  // checked by run()
        const auto slash = box.find('/');
        const bool isAnswering = box.substr(0, slash) == StoreNames::kAnswering;
        (isAnswering ? answering : extension).push_back(box.substr(slash + 1));
    }
    return exitOf(loops.downloadChosen(m_options.store(), kind, answering, extension));
}

CliCommands::Exit CliCommands::exitOf(const DownloadSummary& summary) {
    // A local failure stops the loops through the cancel flag: it is not the user's cancel.
    if (summary.result == JobResult::LocalFailure) {
        return Exit::kLocalFailure;
    }
    if (summary.cancelled) {
        return Exit::kCancelled;
    }
    if (summary.result == JobResult::CommunicationFailure) {
        return Exit::kCommunication;
    }
    if (summary.diskFull) {
        return Exit::kDiskFull;
    }
    if (summary.partial) {
        return Exit::kPartial;
    }
    return summary.result == JobResult::Done ? Exit::kSuccess : Exit::kLocalFailure;
}

bool CliCommands::responseRows(std::vector<ResponseUpload::Row>& rows) {
    const std::filesystem::path outou = m_options.store() / std::string(StoreNames::kResponse);
    std::vector<FILESTS_INFO> records;
    if (MessageFolder(m_env).ScanFolder(records, outou) != 0) {
        return false;
    }
    for (const FILESTS_INFO& record : records) {
        const std::filesystem::path file = FILESTS_INFO::text(record.filePath);
        if (file.extension() == ".aac" || file.extension() == ".AAC") {
            rows.push_back({file, record});
        }
    }
    return true;
}

CliCommands::Exit CliCommands::upload() {
    std::vector<ResponseUpload::Row> rows;
    if (!responseRows(rows)) {
        return Exit::kLocalFailure;
    }
    if (const Exit loggedIn = logIn(); loggedIn != Exit::kSuccess) {
        return loggedIn;
    }
    const ResponseUpload::Outcome outcome = ResponseUpload(m_env).run(rows, m_options.dataFolder);
    std::fprintf(stderr, "uploaded %d of %zu\n", outcome.uploaded, rows.size());
    if (outcome.loggedOut) {
        return Exit::kCommunication;
    }
    if (signalled()) {
        return Exit::kCancelled;
    }
    if (m_env.cancelled()) {  // the job stopped itself: a record could not be written
        return Exit::kLocalFailure;
    }
    if (outcome.refused) {
        return Exit::kRefused;
    }
    if (outcome.leftOut) {
        std::fprintf(stderr,
                     "orven-cli: a message whose voice file is missing or unreadable "
                     "was left out\n");
        return Exit::kLocalFailure;
    }
    return Exit::kSuccess;
}

CliCommands::Exit CliCommands::list() {
    std::filesystem::path folder;
    if (m_options.boxes.size() == 1 && m_options.arguments.empty()) {
        folder = m_options.store() / m_options.boxes.front();
    } else if (m_options.boxes.empty() && m_options.arguments.size() == 1) {
        folder = m_options.arguments.front();
    } else {
        return usage("list takes one --box KIND/BOX or one folder");
    }
    std::vector<FILESTS_INFO> records;
    if (MessageFolder(m_env).ScanFolder(records, folder) != 0) {
        std::fprintf(stderr, "orven-cli: cannot read %s\n", folder.c_str());
        return Exit::kLocalFailure;
    }
    std::cout << listHeader() << '\n';
    for (const FILESTS_INFO& record : records) {
        std::cout << listLine(record, m_options.dataFolder) << '\n';
    }
    return std::cout.flush().good() ? Exit::kSuccess : Exit::kLocalFailure;
}

std::string CliCommands::listHeader() {
    std::string line;
    for (const char* column : kColumns) {
        line += (line.empty() ? "" : "\t") + std::string(column);
    }
    return line;
}

std::string CliCommands::listLine(const FILESTS_INFO& r, const std::filesystem::path& dataFolder) {
    const std::vector<std::string> cells{(r.mark & 1) != 0 ? " 1 " : " 0 ",
                                         importCode(r.downloadState),
                                         r.played != 0 ? "再生済" : "未再生",
                                         r.protect != 0 ? "保護" : "非保護",
                                         FILESTS_INFO::text(r.boxNumber),
                                         FILESTS_INFO::text(r.callerNumber),
                                         FILESTS_INFO::text(r.callerName),
                                         FILESTS_INFO::text(r.recordingDate),
                                         FILESTS_INFO::text(r.recordingLength),
                                         shownFileName(FILESTS_INFO::text(r.filePath), dataFolder),
                                         FILESTS_INFO::text(r.boxName),
                                         FILESTS_INFO::text(r.title),
                                         FILESTS_INFO::text(r.memo)};
    std::string line;
    for (std::size_t i = 0; i < cells.size(); ++i) {
        line += (i == 0 ? "" : "\t") + flat(cells[i]);
    }
    return line;
}

CliCommands::Exit CliCommands::checkAac() {
    if (m_options.arguments.size() != 1) {
        return usage("check-aac takes one file");
    }
    const double seconds = VoiceData::GetAacDuration(m_options.arguments.front());
    if (seconds < 0) {
        std::fprintf(stderr, "orven-cli: not an AAC file the main unit accepts\n");
        return Exit::kLocalFailure;
    }
    std::printf("%.2f\n", seconds);
    return std::fflush(stdout) == 0 ? Exit::kSuccess : Exit::kLocalFailure;
}

}  // namespace orven
