#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <string_view>

#include "link/FTPCONN_INFO.h"
#include "link/FtpEnvironment.h"
#include "link/JobResult.h"
#include "link/ListingResult.h"
#include "link/LoginResult.h"
#include "link/ReplyCode.h"
#include "link/TransferResult.h"

namespace orven {

// The program's FTP client of the main unit, on plain sockets, active mode only. One object
// serves the whole session; it holds no lock, so its owner makes sure that only one thread
// uses it at a time. Nothing here throws or shows a message: every call returns a named
// result (LoginResult, ListingResult, TransferResult ...) and the caller chooses the words.
// Texts handed out are UTF-8.
//
// A user-supplied text that holds CR, LF or NUL (user name, password, remote paths, file
// names) would smuggle a second command into the line; such a call is refused (BadInput for a
// log-in, a failure otherwise) before anything is sent.
class CFtpMng {
  public:
    explicit CFtpMng(FtpEnvironment environment);
    // Drops the connection without a QUIT.
    virtual ~CFtpMng();
    CFtpMng(const CFtpMng&) = delete;
    CFtpMng& operator=(const CFtpMng&) = delete;

    // Connects (address: dotted IPv4 or a host name; port 0: the "ftp" service, else 21),
    // checks that the greeting names a supported main unit, then USER and PASS. Always starts
    // from a fresh connection record; a failed log-in keeps its record, whose later commands
    // fail.
    LoginResult Login(std::string_view address, std::string_view user, std::string_view password,
                      int port = 0);
    // QUIT, then the record is dropped; the hooks hear of it even when there was none.
    void Logout();
    // A connection record exists: after a log-in, also a failed one, until Logout.
    bool IsLoggedIn() const { return m_connection != nullptr; }

    // Results of ProbePort.
    static constexpr int kAnswered = 1;
    static constexpr int kSilent = 0;
    // The keep-alive probe: PORT on a fresh listener, whatever the answer. kAnswered when a
    // reply line came, kSilent when none did (the connection is lost) or there is no record.
    int ProbePort();

    // The frame of every operation: without a record the steps do not run and the result is
    // the failure of their family (see withoutSession); else the hooks hear that an
    // operation started, stray replies are drained, the local directory becomes localFolder
    // (the default one when empty), the steps run, and the hooks hear that it finished.
    // Jobs run their steps here and call the connection-level functions below inside.
    template <typename Steps>
    auto RunOperation(const std::filesystem::path& localFolder, Steps&& steps) {
        using Result = decltype(steps());
        if (!beginOperation(localFolder)) {
            return withoutSession(Result{});
        }
        const Result result = steps();
        endOperation();
        return result;
    }

    // Connection level: meant to run inside RunOperation; Failed without a record. A listing
    // is done only when it came whole (an orderly end of the data, a 2xx reply after it,
    // below RemoteListing::kRawLimit bytes); anything less is Failed. Data connections are
    // taken only from the address the control connection talks to.
    // ListNames: "NLST *.vminf" or "NLST" in the directory; Listed (empty for "550"),
    // NoSuchDirectory, CommandFailed, or Failed.
    ListingResult ListNames(std::string& text, std::string_view directory, bool namesOnly);
    // ListLong: "NLST -l *.vmdat" or "NLST -l"; Listed (empty for "550"), NoSuchDirectory,
    // the code of a refused CWD or NLST, or Failed (also when cancelled).
    ListingResult ListLong(std::string& text, std::string_view directory, bool voiceDataOnly);
    // RetrieveFile: RETR (relative to the current remote directory) into the local directory
    // under localName, or the remote name when that is empty. Done, Cancelled (the partial
    // file stays), the code of a refused PORT or RETR, or Failed.
    TransferResult RetrieveFile(std::string_view remoteName, std::string_view localName);

    // Operations, each in its own frame.
    // NLST of "/", "/naisen" and "/rusuroku" (at most 102 400, 1 024 000 and 1 024 000
    // characters). Listed, the code of a refused CWD or NLST, or Failed.
    ListingResult GetBoxList(std::string& rootNames, std::string& extensionBoxes,
                             std::string& answeringBoxes);
    // Entries of the directory: the count, or RemoteCount::kNoSuchDirectory or kFailed.
    int CountRemoteFiles(const std::filesystem::path& localFolder,
                         std::string_view remoteDirectory);
    // The voice data file's size in whole 4096-byte blocks plus one block, set when Found.
    FileSizeResult GetRemoteFileSize(std::int64_t& size, std::string_view remoteDirectory,
                                     const std::filesystem::path& localFolder,
                                     std::string_view fileName);
    // DELE of the path (absolute; a wildcard deletes a box's messages). Done, the reply code,
    // or Failed.
    TransferResult DeleteRemoteFile(const std::filesystem::path& localFolder,
                                    std::string_view remotePath);
    // STOR of the bytes under the path. Done, the reply code of PORT, STOR or the end of the
    // transfer, or Failed (also when cancelled).
    TransferResult PutFile(std::string_view bytes, const std::filesystem::path& localFolder,
                           std::string_view remotePath);

  private:
    // What an operation of each result family comes to without a session.
    static constexpr ListingResult withoutSession(ListingResult) { return ListingResult::Failed; }
    static constexpr TransferResult withoutSession(TransferResult) {
        return TransferResult::Failed;
    }
    static constexpr FileSizeResult withoutSession(FileSizeResult) {
        return FileSizeResult::Failed;
    }
    static constexpr JobResult withoutSession(JobResult) { return JobResult::CommunicationFailure; }
    static constexpr int withoutSession(int) { return RemoteCount::kFailed; }  // a count
    // A family without its own overload must get one, not a conversion.
    template <typename Other>
    static Other withoutSession(Other) = delete;

    bool connect(std::string_view address, int port);
    // Whether the frame could begin: a record exists. Then the hooks have heard of it.
    bool beginOperation(const std::filesystem::path& localFolder);
    void endOperation();
    ReplyCode walkToRoot();

    Services m_context;
    FtpHooks* m_hooks;
    std::filesystem::path m_defaultLocalDirectory;
    std::unique_ptr<FTPCONN_INFO> m_connection;
};

}  // namespace orven
