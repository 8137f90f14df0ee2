#pragma once

#include <functional>
#include <string>

#include "link/CFtpMng.h"
#include "platform/ProfileFile.h"
#include "store/StoreContext.h"

namespace orven {

// The session a job logs in again with when the connection broke.
struct LoginCredentials {
    std::string address;
    std::string user;
    std::string password;
    int port = 0;  // 0: the "ftp" service, else 21
};

// What the download, backup and upload jobs work with: the store's context (for the CFileMng
// each job makes, and the job's own pumping, waiting and flags) and the link. The pointers
// must outlive the job; ui, settings, stopRequest and the hooks may be null.
struct JobEnvironment : StoreContext {
    CFtpMng* ftp = nullptr;
    const ProfileFile* settings = nullptr;  // ORVEN.ini: per-box deletion after download
    LoginCredentials login;
    // A message left the main unit after a download (worker mode with notification):
    // remote directory and the last ".vminf" name handled.
    std::function<void(const std::string&, const std::string&)> messagesLeft;
    // The deletion after download was held back for the box (remote directory): the main
    // unit lists a message that is not stored completely on the PC.
    std::function<void(const std::string&)> deletionHeldBack;
    // A stop request arrived after the bundle was fetched (worker mode).
    std::function<void(const std::string&)> stoppedAfterFetch;
};

}  // namespace orven
