#include "link/Environment.h"

namespace orven {

Environment::Environment(FtpEnvironment given)
    : m_given(completed(std::move(given))), m_ftp(m_given) {}

FtpEnvironment Environment::completed(FtpEnvironment given) {
    if (given.clock == nullptr) {
        given.clock = &m_clock;
    }
    if (given.fileSystem == nullptr) {
        given.fileSystem = &m_fileSystem;
    }
    if (given.cancelFlag == nullptr) {
        given.cancelFlag = &m_cancel;
    }
    if (given.stopRequest == nullptr) {
        given.stopRequest = &m_stop;
    }
    return given;
}

StoreContext Environment::store(std::function<bool()> folderAccessCheck) const {
    StoreContext context;
    static_cast<Services&>(context) = m_given;
    context.folderAccessCheck = std::move(folderAccessCheck);
    return context;
}

JobEnvironment Environment::job(LoginCredentials login, const ProfileFile* settings,
                                std::function<bool()> folderAccessCheck) {
    JobEnvironment env;
    static_cast<StoreContext&>(env) = store(std::move(folderAccessCheck));
    env.ftp = &m_ftp;
    env.settings = settings;
    env.login = std::move(login);
    return env;
}

}  // namespace orven
