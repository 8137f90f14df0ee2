#include "app/VolumeControl.h"

#include <algorithm>

namespace orven {

VolumeControl::VolumeControl(AudioEndpoint& endpoint) : m_endpoint(endpoint) {}

void VolumeControl::applyAtStart(CORVENDoc& doc) {
    if (!m_endpoint.open()) {
        return;
    }
    const auto volume = m_endpoint.volume();
    const auto muted = m_endpoint.muted();
    if (volume && muted) {
        doc.volumeSwitchAtStart = doc.volumeSwitch;
        doc.volumeAtStart = *volume;
        doc.muteAtStart = *muted ? 1 : 0;
        m_startStateKnown = true;
        if (doc.volumeSwitch == 1) {
            m_endpoint.setVolume(doc.volumeSetting);
            m_endpoint.setMuted(doc.muteSetting != 0);
        }
    }
    m_endpoint.close();
}

void VolumeControl::restoreAtExit(const CORVENDoc& doc) {
    if (doc.volumeSwitchAtStart != 1 || !m_endpoint.open()) {
        return;
    }
    putBackStartState(doc);
    m_endpoint.close();
}

bool VolumeControl::change(CORVENDoc& doc, bool adjust, int level, bool mute) {
    if (!m_endpoint.open()) {
        return false;
    }
    if (adjust) {
        doc.volumeSwitch = 1;
        doc.volumeSetting = std::clamp(level, 0, 100);
        doc.muteSetting = mute ? 1 : 0;
        m_endpoint.setVolume(doc.volumeSetting);
        m_endpoint.setMuted(mute);
    } else {
        if (doc.volumeSwitch == 1) {
            putBackStartState(doc);
        }
        doc.volumeSwitch = 0;
    }
    m_endpoint.close();
    return true;
}

void VolumeControl::putBackStartState(const CORVENDoc& doc) {
    if (!m_startStateKnown) {
        return;
    }
    if (m_endpoint.volume() == doc.volumeSetting) {
        m_endpoint.setVolume(doc.volumeAtStart);
    }
    if (m_endpoint.muted() == (doc.muteSetting != 0)) {
        m_endpoint.setMuted(doc.muteAtStart != 0);
    }
}

}  // namespace orven
