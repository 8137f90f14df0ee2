#include "platform/PulseAudioEndpoint.h"

#include <algorithm>
#include <chrono>
#include <cmath>

#include <pulse/pulseaudio.h>

namespace orven {

namespace {

using SteadyClock = std::chrono::steady_clock;

struct ServerInfoReply {
    std::string defaultSink;
};

struct SinkReply {
    bool found = false;
    pa_cvolume volume{};
    bool muted = false;
};

struct SuccessReply {
    bool ok = false;
};

void onServerInfo(pa_context*, const pa_server_info* info, void* userdata) {
    auto* reply = static_cast<ServerInfoReply*>(userdata);
    if (info && info->default_sink_name) {
        reply->defaultSink = info->default_sink_name;
    }
}

// Called once per matching sink and once more with eol set; eol < 0 is an error.
void onSinkInfo(pa_context*, const pa_sink_info* info, int eol, void* userdata) {
    auto* reply = static_cast<SinkReply*>(userdata);
    if (eol == 0 && info) {
        reply->found = true;
        reply->volume = info->volume;
        reply->muted = info->mute != 0;
    }
}

void onSuccess(pa_context*, int success, void* userdata) {
    static_cast<SuccessReply*>(userdata)->ok = success != 0;
}

}  // namespace

struct PulseAudioEndpoint::SinkState {
    pa_cvolume volume;
    bool muted;
};

PulseAudioEndpoint::PulseAudioEndpoint(int timeoutMs) : m_timeoutMs(timeoutMs) {}

PulseAudioEndpoint::~PulseAudioEndpoint() {
    close();
}

bool PulseAudioEndpoint::open() {
    close();
    if (!connect()) {
        close();
        return false;
    }
    ServerInfoReply server;
    if (!finish(pa_context_get_server_info(m_context, onServerInfo, &server)) ||
        server.defaultSink.empty()) {
        close();
        return false;
    }
    m_sinkName = server.defaultSink;
    if (!readSink()) {  // a default naming a sink that is gone counts as no device
        close();
        return false;
    }
    return true;
}

void PulseAudioEndpoint::close() {
    if (m_context) {
        pa_context_disconnect(m_context);
        pa_context_unref(m_context);
        m_context = nullptr;
    }
    if (m_loop) {
        pa_mainloop_free(m_loop);
        m_loop = nullptr;
    }
    m_sinkName.clear();
}

std::optional<int> PulseAudioEndpoint::volume() {
    const auto sink = readSink();
    if (!sink) {
        return std::nullopt;
    }
    // The 0.9 keeps a value we set ourselves from reading back one lower after rounding.
    const double percent = pa_cvolume_max(&sink->volume) * 100.0 / PA_VOLUME_NORM;
    return static_cast<int>(percent + 0.9);
}

std::optional<bool> PulseAudioEndpoint::muted() {
    const auto sink = readSink();
    return sink ? std::optional<bool>(sink->muted) : std::nullopt;
}

bool PulseAudioEndpoint::setVolume(int percent) {
    const auto sink = readSink();
    if (!sink) {
        return false;
    }
    const double level = std::clamp(percent, 0, 100) * static_cast<double>(PA_VOLUME_NORM) / 100.0;
    // Scaling keeps the balance between the channels that the user may have set.
    pa_cvolume volume = sink->volume;
    pa_cvolume_scale(&volume, static_cast<pa_volume_t>(std::lround(level)));
    SuccessReply reply;
    return finish(pa_context_set_sink_volume_by_name(m_context, m_sinkName.c_str(), &volume,
                                                     onSuccess, &reply)) &&
           reply.ok;
}

bool PulseAudioEndpoint::setMuted(bool muted) {
    if (!m_context) {
        return false;
    }
    SuccessReply reply;
    return finish(pa_context_set_sink_mute_by_name(m_context, m_sinkName.c_str(), muted ? 1 : 0,
                                                   onSuccess, &reply)) &&
           reply.ok;
}

bool PulseAudioEndpoint::connect() {
    m_loop = pa_mainloop_new();
    if (!m_loop) {
        return false;
    }
    m_context = pa_context_new(pa_mainloop_get_api(m_loop), "orven");
    // No autospawn: starting a sound server is not ours to do, and it would cost the wait.
    if (!m_context || pa_context_connect(m_context, nullptr, PA_CONTEXT_NOAUTOSPAWN, nullptr) < 0) {
        return false;
    }
    const auto settled = [](const void* context) {
        const auto state = pa_context_get_state(static_cast<const pa_context*>(context));
        return state == PA_CONTEXT_READY || !PA_CONTEXT_IS_GOOD(state);
    };
    return runUntil(settled, m_context) && pa_context_get_state(m_context) == PA_CONTEXT_READY;
}

bool PulseAudioEndpoint::runUntil(bool (*done)(const void*), const void* arg) {
    const auto deadline = SteadyClock::now() + std::chrono::milliseconds(m_timeoutMs);
    while (!done(arg)) {
        const auto left =
            std::chrono::duration_cast<std::chrono::microseconds>(deadline - SteadyClock::now());
        if (left.count() <= 0 || pa_mainloop_prepare(m_loop, static_cast<int>(left.count())) < 0 ||
            pa_mainloop_poll(m_loop) < 0 || pa_mainloop_dispatch(m_loop) < 0) {
            return false;
        }
    }
    return true;
}

// Waits for an operation; a context that dies meanwhile cancels it, which also ends the wait.
bool PulseAudioEndpoint::finish(pa_operation* operation) {
    if (!operation) {
        return false;
    }
    const auto ended = [](const void* op) {
        return pa_operation_get_state(static_cast<const pa_operation*>(op)) != PA_OPERATION_RUNNING;
    };
    const bool endedInTime = runUntil(ended, operation);
    const bool done = endedInTime && pa_operation_get_state(operation) == PA_OPERATION_DONE;
    if (!endedInTime) {
        pa_operation_cancel(operation);
    }
    pa_operation_unref(operation);
    return done;
}

std::optional<PulseAudioEndpoint::SinkState> PulseAudioEndpoint::readSink() {
    if (!m_context || m_sinkName.empty()) {
        return std::nullopt;
    }
    SinkReply reply;
    if (!finish(
            pa_context_get_sink_info_by_name(m_context, m_sinkName.c_str(), onSinkInfo, &reply)) ||
        !reply.found || !pa_cvolume_valid(&reply.volume)) {
        return std::nullopt;
    }
    return SinkState{reply.volume, reply.muted};
}

}  // namespace orven
