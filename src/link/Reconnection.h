#pragma once

#include "link/JobEnvironment.h"
#include "link/JobResult.h"

namespace orven {

// The reconnection of a job whose connection broke: at most a few attempts per phase, each
// after a wait that the cancel flag ends within one step.
class Reconnection {
  public:
    explicit Reconnection(JobEnvironment& env, int attempts = 3)
        : m_env(env), m_attempts(attempts) {}

    // Waits (Timing::reconnectWaitSteps x reconnectWaitStepMs, pumping and watching the
    // cancel flag), drops the connection (QUIT) and logs in again. Done when a new session is
    // up; Cancelled during the wait; CommunicationFailure when the attempts of this phase are
    // used up.
    JobResult reconnect();
    // A new phase starts with all its attempts.
    void reset() { m_used = 0; }

  private:
    JobEnvironment& m_env;
    int m_attempts;
    int m_used = 0;
};

}  // namespace orven
