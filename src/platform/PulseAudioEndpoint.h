#pragma once

#include <string>

#include "platform/AudioEndpoint.h"

struct pa_mainloop;
struct pa_context;
struct pa_operation;

namespace orven {

// The default sink of the PulseAudio server, or of PipeWire's PulseAudio service, asked
// synchronously: each call runs the client's own main loop until the answer comes or the
// time-out passes, so nothing here blocks for longer than that.
class PulseAudioEndpoint : public AudioEndpoint {
  public:
    static constexpr int kDefaultTimeoutMs = 2000;

    explicit PulseAudioEndpoint(int timeoutMs = kDefaultTimeoutMs);
    ~PulseAudioEndpoint() override;
    PulseAudioEndpoint(const PulseAudioEndpoint&) = delete;
    PulseAudioEndpoint& operator=(const PulseAudioEndpoint&) = delete;

    bool open() override;
    void close() override;
    std::optional<int> volume() override;
    std::optional<bool> muted() override;
    bool setVolume(int percent) override;
    bool setMuted(bool muted) override;

  private:
    struct SinkState;

    bool connect();
    bool runUntil(bool (*done)(const void*), const void* arg);
    bool finish(pa_operation* operation);
    std::optional<SinkState> readSink();

    int m_timeoutMs;
    pa_mainloop* m_loop = nullptr;
    pa_context* m_context = nullptr;
    std::string m_sinkName;
};

}  // namespace orven
