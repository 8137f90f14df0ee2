#include "cli/CliCommands.h"

#include <cstdio>
#include <iostream>

#include "link/FolderDownload.h"
#include "link/ResponseUpload.h"
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
                         const std::filesystem::path& settingsFile)
    : m_options(std::move(options)),
      m_cancel(cancelFlag),
      m_settings(settingsFile, ProfileFile::Encoding::Utf16Le, 0600) {
    FtpEnvironment ftp;
    ftp.ui = &m_ui;
    ftp.timing = &m_timing;
    ftp.cancelFlag = &m_cancel;
    ftp.defaultLocalDirectory = m_options.store();
    m_ftp = std::make_unique<CFtpMng>(ftp);
    m_env.ftp = m_ftp.get();
    m_env.store.clock = &m_clock;
    m_env.store.fileSystem = &m_fileSystem;
    m_env.store.ui = &m_ui;
    m_env.store.cancelFlag = &m_cancel;
    m_env.settings = &m_settings;
    m_env.login = {m_options.address, m_options.user, m_options.password, m_options.port};
    m_env.timing = m_timing;
    m_env.ui = &m_ui;
    m_env.cancelFlag = &m_cancel;
}

CliCommands::~CliCommands() {
    if (m_ftp->IsLoggedIn()) {
        m_ftp->Logout();
    }
}

int CliCommands::run() {
    const std::string& command = m_options.command;
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

int CliCommands::usage(const std::string& why) {
    std::fprintf(stderr, "orven-cli: %s\n%s", why.c_str(), CliOptions::usage());
    return kUsage;
}

int CliCommands::logIn() {
    const int result =
        m_ftp->Login(m_options.address, m_options.user, m_options.password, m_options.port);
    if (result != CFtpMng::kLoggedIn) {
        std::fprintf(stderr, "orven-cli: log-in failed (%d)\n", result);
    }
    return result;
}

int CliCommands::folderDownload() {
    if (logIn() != CFtpMng::kLoggedIn) {
        return kCommunication;
    }
    std::unique_ptr<Progress> progress =
        m_ui.openProgress(std::string(text::kProgressDownloading),
                          std::string(text::kProgressDownloadingFolders), &m_cancel);
    FolderDownload job(m_env);
    const int result = job.run(m_options.store(), progress.get());
    if (job.cancelled()) {
        return kCancelled;
    }
    if (result == FolderDownload::kListFailed) {
        m_ui.messageBox(std::string(text::kCommunicationError), std::string(text::kErrorTitle),
                        Buttons::Ok, Icon::Exclamation);
        return kCommunication;
    }
    if (result != FolderDownload::kDone) {
        return kLocalFailure;
    }
    m_ui.messageBox(std::string(text::kFolderDownloadDone), std::string(text::kDownloadDoneTitle),
                    Buttons::Ok, Icon::Information);
    return kSuccess;
}

int CliCommands::download() {
    if (logIn() != CFtpMng::kLoggedIn) {
        return kCommunication;
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
    for (const std::string& box : m_options.boxes) {
        const auto slash = box.find('/');
        const std::string kindName = box.substr(0, slash);
        const std::string name = slash == std::string::npos ? "" : box.substr(slash + 1);
        if (name.empty() ||
            (kindName != StoreNames::kAnswering && kindName != StoreNames::kExtension)) {
            return usage("--box takes rusuroku/BOX or naisen/BOX, not " + box);
        }
        (kindName == StoreNames::kAnswering ? answering : extension).push_back(name);
    }
    return exitOf(loops.downloadChosen(m_options.store(), kind, answering, extension));
}

int CliCommands::exitOf(const DownloadSummary& summary) {
    if (summary.cancelled) {
        return kCancelled;
    }
    if (summary.result == -1) {
        return kCommunication;
    }
    if (summary.diskFull) {
        return kDiskFull;
    }
    return summary.result == 0 ? kSuccess : kLocalFailure;
}

int CliCommands::upload() {
    const std::filesystem::path outou = m_options.store() / std::string(StoreNames::kResponse);
    std::vector<FILESTS_INFO> records;
    if (MessageFolder(m_env.store).ScanFolder(records, outou) != 0) {
        return kLocalFailure;
    }
    std::vector<ResponseUpload::Row> rows;
    for (const FILESTS_INFO& record : records) {
        const std::filesystem::path file = FILESTS_INFO::text(record.filePath);
        if (file.extension() == ".aac" || file.extension() == ".AAC") {
            rows.push_back({file, record});
        }
    }
    if (logIn() != CFtpMng::kLoggedIn) {
        return kCommunication;
    }
    const ResponseUpload::Outcome outcome = ResponseUpload(m_env).run(rows, m_options.dataFolder);
    std::fprintf(stderr, "uploaded %d of %zu\n", outcome.uploaded, rows.size());
    if (outcome.loggedOut) {
        return kCommunication;
    }
    if (m_cancel.load() != 0) {
        return kCancelled;
    }
    return outcome.uploaded == static_cast<int>(rows.size()) ? kSuccess : kLocalFailure;
}

int CliCommands::list() {
    std::filesystem::path folder;
    if (m_options.boxes.size() == 1 && m_options.arguments.empty()) {
        folder = m_options.store() / m_options.boxes.front();
    } else if (m_options.boxes.empty() && m_options.arguments.size() == 1) {
        folder = m_options.arguments.front();
    } else {
        return usage("list takes one --box KIND/BOX or one folder");
    }
    std::vector<FILESTS_INFO> records;
    if (MessageFolder(m_env.store).ScanFolder(records, folder) != 0) {
        std::fprintf(stderr, "orven-cli: cannot read %s\n", folder.c_str());
        return kLocalFailure;
    }
    std::cout << listHeader() << '\n';
    for (const FILESTS_INFO& record : records) {
        std::cout << listLine(record, m_options.dataFolder) << '\n';
    }
    return std::cout.good() ? kSuccess : kLocalFailure;
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

int CliCommands::checkAac() {
    if (m_options.arguments.size() != 1) {
        return usage("check-aac takes one file");
    }
    const double seconds = VoiceData::GetAacDuration(m_options.arguments.front());
    if (seconds < 0) {
        std::fprintf(stderr, "orven-cli: not an AAC file the main unit accepts\n");
        return kLocalFailure;
    }
    std::printf("%.2f\n", seconds);
    return kSuccess;
}

}  // namespace orven
