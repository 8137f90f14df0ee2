#pragma once

#include <atomic>

namespace orven::mainunit {

// Raised once when the server stops. Every wait of the server thread also polls fd(), so a
// stop never waits for a stalled reply, a slow client or a long transfer.
class StopSignal {
  public:
    StopSignal();
    ~StopSignal();
    StopSignal(const StopSignal&) = delete;
    StopSignal& operator=(const StopSignal&) = delete;

    bool valid() const { return m_read >= 0; }
    // Readable for good once raised.
    int fd() const { return m_read; }
    void raise();
    bool raised() const { return m_raised.load(); }
    // Waits up to ms; false when the signal was raised before or meanwhile.
    bool sleepFor(int ms) const;

  private:
    int m_read = -1;
    int m_write = -1;
    std::atomic<bool> m_raised{false};
};

}  // namespace orven::mainunit
