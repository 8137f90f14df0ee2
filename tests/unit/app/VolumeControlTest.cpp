#include "app/VolumeControl.h"

#include <gtest/gtest.h>

#include "support/FakeAudioEndpoint.h"

namespace orven {
namespace {

using test::FakeAudioEndpoint;

// A PC at 70 %, not muted; the user's setting is 30 %, muted, switched on.
struct VolumeControlTest : ::testing::Test {
    VolumeControlTest() {
        pc.level = 70;
        pc.mute = false;
        doc.volumeSwitch = 1;
        doc.volumeSetting = 30;
        doc.muteSetting = 1;
    }

    FakeAudioEndpoint pc;
    CORVENDoc doc;
    VolumeControl volume{pc};
};

TEST_F(VolumeControlTest, StartAppliesTheSettingAndExitPutsThePcBack) {
    volume.applyAtStart(doc);
    EXPECT_EQ(doc.volumeSwitchAtStart, 1);
    EXPECT_EQ(doc.volumeAtStart, 70);
    EXPECT_EQ(doc.muteAtStart, 0);
    EXPECT_EQ(pc.level, 30);
    EXPECT_TRUE(pc.mute);
    EXPECT_FALSE(pc.isOpen);  // released between the steps

    volume.restoreAtExit(doc);
    EXPECT_EQ(pc.level, 70);
    EXPECT_FALSE(pc.mute);
}

TEST_F(VolumeControlTest, ExitLeavesAloneWhatTheUserChangedMeanwhile) {
    volume.applyAtStart(doc);
    pc.level = 45;  // turned elsewhere; the mute is still ours
    volume.restoreAtExit(doc);
    EXPECT_EQ(pc.level, 45);
    EXPECT_FALSE(pc.mute);

    pc.level = 30;
    pc.mute = false;  // now the volume is ours and the mute was changed
    const int muteSets = pc.muteSets;
    volume.restoreAtExit(doc);
    EXPECT_EQ(pc.level, 70);
    EXPECT_EQ(pc.muteSets, muteSets);
}

TEST_F(VolumeControlTest, SwitchOffAtStartRemembersButNeitherSetsNorRestores) {
    doc.volumeSwitch = 0;
    pc.level = 30;  // happens to equal the setting
    pc.mute = true;
    volume.applyAtStart(doc);
    EXPECT_EQ(doc.volumeAtStart, 30);
    EXPECT_EQ(doc.muteAtStart, 1);
    volume.restoreAtExit(doc);
    EXPECT_EQ(pc.volumeSets + pc.muteSets, 0);
}

TEST_F(VolumeControlTest, NoSoundDeviceRemembersNothingAndChangesNothing) {
    pc.available = false;
    volume.applyAtStart(doc);
    EXPECT_EQ(doc.volumeSwitchAtStart, 0);
    EXPECT_EQ(pc.level, 70);

    // The sound server came up later and the PC happens to match the setting: switching off
    // must not put the PC to a start-up volume that was never read.
    pc.available = true;
    pc.level = 30;
    pc.mute = true;
    ASSERT_TRUE(volume.change(doc, false, 30, true));
    EXPECT_EQ(pc.volumeSets + pc.muteSets, 0);

    pc.available = false;
    EXPECT_FALSE(volume.change(doc, true, 80, false));
    EXPECT_EQ(doc.volumeSwitch, 0);
    EXPECT_EQ(doc.volumeSetting, 30);
    EXPECT_EQ(doc.muteSetting, 1);
}

TEST_F(VolumeControlTest, DialogSwitchingOffPutsBackOnlyWhatStillEqualsTheSetting) {
    volume.applyAtStart(doc);
    pc.mute = false;  // the user unmuted elsewhere; the volume is still the setting's
    ASSERT_TRUE(volume.change(doc, false, 30, true));
    EXPECT_EQ(doc.volumeSwitch, 0);
    EXPECT_EQ(doc.volumeSetting, 30);  // kept for the next time it is switched on
    EXPECT_EQ(pc.level, 70);
    EXPECT_FALSE(pc.mute);

    pc.level = 30;  // switching off again while off puts nothing back
    ASSERT_TRUE(volume.change(doc, false, 30, true));
    EXPECT_EQ(pc.level, 30);
}

}  // namespace
}  // namespace orven
