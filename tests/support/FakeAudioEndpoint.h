#pragma once

#include <algorithm>
#include <optional>

#include "platform/AudioEndpoint.h"

namespace orven::test {

// A sound system in memory. With `available` false open() fails, as with no sound server.
// Counts the changes made through it so tests can tell "set to the same value" from
// "left alone". Header-only, so the GUI tests can use it without GoogleTest.
class FakeAudioEndpoint : public AudioEndpoint {
  public:
    bool available = true;
    int level = 50;
    bool mute = false;
    int volumeSets = 0;
    int muteSets = 0;
    bool isOpen = false;

    bool open() override {
        isOpen = available;
        return isOpen;
    }
    void close() override { isOpen = false; }
    std::optional<int> volume() override { return isOpen ? std::optional(level) : std::nullopt; }
    std::optional<bool> muted() override { return isOpen ? std::optional(mute) : std::nullopt; }
    bool setVolume(int percent) override {
        if (!isOpen) {
            return false;
        }
        level = std::clamp(percent, 0, 100);
        ++volumeSets;
        return true;
    }
    bool setMuted(bool muted) override {
        if (!isOpen) {
            return false;
        }
        mute = muted;
        ++muteSets;
        return true;
    }
};

}  // namespace orven::test
