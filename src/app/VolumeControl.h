#pragma once

#include "app/CORVENDoc.h"
#include "platform/AudioEndpoint.h"

namespace orven {

// The PC volume setting: applied at start-up, changed by the volume dialog, put back at exit.
// Only what still equals the setting is put back, so a volume or mute the user changed
// elsewhere meanwhile is left alone. The endpoint is opened for each step and closed again.
class VolumeControl {
  public:
    // The endpoint must outlive this object.
    explicit VolumeControl(AudioEndpoint& endpoint);

    // Start-up: remembers the switch, the PC's mute and volume in the record and, with the
    // switch on, applies the volume and mute settings. Without a sound device nothing is
    // remembered and nothing is applied.
    void applyAtStart(CORVENDoc& doc);

    // Exit: with the switch on at start-up, puts back the start-up volume and mute that still
    // equal the settings.
    void restoreAtExit(const CORVENDoc& doc);

    // The volume dialog's OK. With adjust on: switch 1, level (clamped to 0..100) and mute
    // stored and applied at once. With adjust off: when the switch was on, put back as at
    // exit; switch 0. False when the endpoint cannot be opened; the record is then unchanged.
    bool change(CORVENDoc& doc, bool adjust, int level, bool mute);

  private:
    void putBackStartState(const CORVENDoc& doc);

    AudioEndpoint& m_endpoint;
    // Whether the record's start-up volume and mute were read from the PC; without them
    // there is nothing to put back.
    bool m_startStateKnown = false;
};

}  // namespace orven
