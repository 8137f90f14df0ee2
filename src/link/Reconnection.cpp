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
        env.pump();
    }
    return !env.cancelled();
}

}  // namespace

JobResult Reconnection::reconnect() {
    if (m_env.ftp == nullptr) {
        return JobResult::CommunicationFailure;
    }
    while (m_used < m_attempts) {
        ++m_used;
        if (!waitUnlessCancelled(m_env)) {
            return JobResult::Cancelled;
        }
        m_env.ftp->Logout();
        m_env.pump();
        const LoginCredentials& login = m_env.login;
        const LoginResult result =
            m_env.ftp->Login(login.address, login.user, login.password, login.port);
        // A refused log-in still leaves a session record: the phase tries again and fails
        // there, which costs its next attempt. Only "no connection" goes straight on.
        if (result != LoginResult::NoConnection) {
            return JobResult::Done;
        }
        m_env.ftp->Logout();
    }
    return JobResult::CommunicationFailure;
}

}  // namespace orven
