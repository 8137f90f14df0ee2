#include "mainunit/StopSignal.h"

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

namespace orven::mainunit {

StopSignal::StopSignal() {
    int fds[2];
    if (::pipe2(fds, O_CLOEXEC | O_NONBLOCK) == 0) {
        m_read = fds[0];
        m_write = fds[1];
    }
}

StopSignal::~StopSignal() {
    if (m_read >= 0) {
        ::close(m_read);
        ::close(m_write);
    }
}

void StopSignal::raise() {
    if (m_raised.exchange(true) || m_write < 0) {
        return;
    }
    const char byte = 1;
    [[maybe_unused]] const ssize_t n = ::write(m_write, &byte, 1);
}

bool StopSignal::sleepFor(int ms) const {
    if (raised()) {
        return false;
    }
    pollfd fd{m_read, POLLIN, 0};
    ::poll(&fd, 1, ms);
    return !raised();
}

}  // namespace orven::mainunit
