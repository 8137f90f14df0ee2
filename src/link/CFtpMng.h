#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "link/FTPCONN_INFO.h"
#include "link/FtpEnvironment.h"
#include "link/LinkContext.h"

namespace orven {

// The program's FTP client of the main unit, on plain sockets, active mode only. One object
// serves the whole session; it holds no lock, so its owner makes sure that only one thread
// uses it at a time. Nothing here throws or shows a message: every call returns a small
// integer and the caller chooses the words. Texts handed out are UTF-8.
//
// A user-supplied text that holds CR, LF or NUL (user name, password, remote paths, file
// names) would smuggle a second command into the line; such a call is refused with -1
// before anything is sent.
class CFtpMng {
  public:
    // Results of Login.
    static constexpr int kLoggedIn = 0;
    static constexpr int kNoConnection = 1;
    static constexpr int kLogInRefused = 2;
    static constexpr int kUnsupportedMainUnit = 3;

    explicit CFtpMng(FtpEnvironment environment);
    // Drops the connection without a QUIT.
    virtual ~CFtpMng();
    CFtpMng(const CFtpMng&) = delete;
    CFtpMng& operator=(const CFtpMng&) = delete;

    // Connects (address: dotted IPv4 or a host name; port 0: the "ftp" service, else 21),
    // checks that the greeting names a supported main unit, then USER and PASS. Always starts
    // from a fresh connection record; a failed log-in keeps its record, whose later commands
    // fail. 0 logged in, 1 no connection, 2 log-in refused, 3 not a supported main unit, -1 a
    // refused user name or password (nothing was done).
    int Login(std::string_view address, std::string_view user, std::string_view password,
              int port = 0);
    // QUIT, then the record is dropped; the hooks hear of it even when there was none.
    void Logout();
    // A connection record exists: after a log-in, also a failed one, until Logout.
    bool IsLoggedIn() const { return m_connection != nullptr; }

    // The keep-alive probe: PORT on a fresh listener, whatever the answer. 1 when a reply
    // line came, 0 when none did (the connection is lost) or there is no record.
    int ProbePort();

    // The frame of every operation: -1 at once without a record; else the hooks hear that an
    // operation started, stray replies are drained, the local directory becomes localFolder
    // (the default one when empty), the steps run, and the hooks hear that it finished.
    // Jobs run their steps here and call the connection-level functions below inside.
    int RunOperation(const std::filesystem::path& localFolder, const std::function<int()>& steps);

    // Connection level: meant to run inside RunOperation; -1 without a record. A listing is
    // done only when it came whole (an orderly end of the data, a 2xx reply after it, below
    // RemoteListing::kRawLimit bytes); anything less is -1. Data connections are taken only
    // from the address the control connection talks to.
    // ListNames: "NLST *.vminf" or "NLST" in the directory; 1 done (empty for "550"), -2 the
    // directory is missing, 0 CWD or NLST failed, -1 the transfer failed.
    int ListNames(std::string& text, std::string_view directory, bool namesOnly);
    // ListLong: "NLST -l *.vmdat" or "NLST -l"; 1 done (empty for "550"), -2 the directory is
    // missing, the code of a failed CWD or NLST, -1 failed or cancelled.
    int ListLong(std::string& text, std::string_view directory, bool voiceDataOnly);
    // RetrieveFile: RETR (relative to the current remote directory) into the local directory
    // under localName, or the remote name when that is empty. 0 done, -2 cancelled (the
    // partial file stays), the code of a failed PORT or RETR, -1 failed.
    int RetrieveFile(std::string_view remoteName, std::string_view localName);

    // Operations, each in its own frame.
    // NLST of "/", "/naisen" and "/rusuroku" (at most 102 400, 1 024 000 and 1 024 000
    // characters). 1 done, the code of a failed CWD or NLST, -1 failed.
    int GetBoxList(std::string& rootNames, std::string& extensionBoxes,
                   std::string& answeringBoxes);
    // Entries of the directory: the count, -2 the directory is missing, -1 failed.
    int CountRemoteFiles(const std::filesystem::path& localFolder,
                         std::string_view remoteDirectory);
    // The voice data file's size in whole 4096-byte blocks plus one block: 1 found (size
    // set), 0 not listed, -2 the directory is missing, -1 failed.
    int GetRemoteFileSize(std::int64_t& size, std::string_view remoteDirectory,
                          const std::filesystem::path& localFolder, std::string_view fileName);
    // DELE of the path (absolute; a wildcard deletes a box's messages). 0 done, the reply
    // code, or -1.
    int DeleteRemoteFile(const std::filesystem::path& localFolder, std::string_view remotePath);
    // STOR of the bytes under the path. 0 done, the reply code of PORT, STOR or the end of
    // the transfer, or -1 (also when cancelled).
    int PutFile(std::string_view bytes, const std::filesystem::path& localFolder,
                std::string_view remotePath);

  private:
    bool connect(std::string_view address, int port);
    int walkToRoot();

    LinkContext m_context;
    FtpHooks* m_hooks;
    std::filesystem::path m_defaultLocalDirectory;
    std::unique_ptr<FTPCONN_INFO> m_connection;
};

}  // namespace orven
