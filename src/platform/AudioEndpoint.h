#pragma once

#include <optional>

namespace orven {

// The master volume and mute of the PC's default audio output, which the program sets while
// it runs and puts back at exit. Behind an interface so tests can fake the sound system.
// Used from one thread at a time.
class AudioEndpoint {
  public:
    virtual ~AudioEndpoint();

    // Connects to the default output. False, within a short time, when there is no sound
    // server or no output device; that is the "cannot set the volume" case for the user.
    virtual bool open() = 0;
    virtual void close() = 0;

    // The master volume in percent as the system mixer shows it (a server that amplifies may
    // report more than 100), and the mute state. Nullopt when not open or the server failed.
    virtual std::optional<int> volume() = 0;
    virtual std::optional<bool> muted() = 0;

    // Percent is clamped to 0..100. False when not open or the server refused.
    virtual bool setVolume(int percent) = 0;
    virtual bool setMuted(bool muted) = 0;
};

}  // namespace orven
