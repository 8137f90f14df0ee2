#include "platform/PulseAudioEndpoint.h"

#include <chrono>
#include <cstdlib>

#include <gtest/gtest.h>

#include "support/TempDir.h"

namespace orven {
namespace {

// With no sound server the endpoint must fail quickly and cleanly: that is the "cannot set
// the volume" path the user sees. The server address points at a socket that does not exist,
// so a sound server on the developer's machine is not asked.
TEST(PulseAudioEndpoint, NoSoundServerFailsQuicklyAndEverythingAfterIsRefused) {
    test::TempDir dir;
    const std::string server = "unix:" + (dir / "no-server").string();
    ASSERT_EQ(::setenv("PULSE_SERVER", server.c_str(), 1), 0);

    PulseAudioEndpoint endpoint(1000);
    const auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(endpoint.open());
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(1500));
    EXPECT_EQ(endpoint.volume(), std::nullopt);
    EXPECT_EQ(endpoint.muted(), std::nullopt);
    EXPECT_FALSE(endpoint.setVolume(50));
    EXPECT_FALSE(endpoint.setMuted(true));
    EXPECT_FALSE(endpoint.open());  // a second try is as clean as the first
    ::unsetenv("PULSE_SERVER");
}

}  // namespace
}  // namespace orven
