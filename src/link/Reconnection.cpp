#include "link/Reconnection.h"

#include <chrono>
#include <thread>

namespace orven {
namespace {

// The wait before an attempt, in steps so that Cancel answers within one step.
bool waitUnlessCancelled(const JobEnvironment& env) {
    for (int step = 0; step < env.timing.reconnectWaitSteps; ++step) {
        if (env.cancelled()) {
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(env.timing.reconnectWaitStepMs));
        if (env.ui != nullptr) {
            env.ui->pump();
        }
    }
    return !env.cancelled();
}

}  // namespace

int Reconnection::reconnect() {
    if (m_env.ftp == nullptr) {
        return -1;
    }
    while (m_used < m_attempts) {
        ++m_used;
        if (!waitUnlessCancelled(m_env)) {
            return -3;
        }
        m_env.ftp->Logout();
        if (m_env.ui != nullptr) {
            m_env.ui->pump();
        }
        const LoginCredentials& login = m_env.login;
        const int result = m_env.ftp->Login(login.address, login.user, login.password, login.port);
        // A refused log-in still leaves a session record: the phase tries again and fails
        // there, which costs its next attempt. Only "no connection" goes straight on.
        if (result != CFtpMng::kNoConnection) {
            return 0;
        }
        m_env.ftp->Logout();
    }
    return -1;
}

}  // namespace orven
