#include "app/WindowPlacement.h"

#include <gtest/gtest.h>

#include "support/TempDir.h"

namespace orven {
namespace {

constexpr int W = 1920;
constexpr int H = 1080;
constexpr Rect kScreen{0, 0, W, H};
using WP = WindowPlacement;

TEST(WindowPlacementFit, RectangleOnScreenStaysWhereItWas) {
    EXPECT_EQ(WP::fitToScreen({10, 20, 900, 600}, kScreen), (Rect{10, 20, 900, 600}));
    EXPECT_EQ(WP::fitToScreen({0, 0, W, H}, kScreen), kScreen);
}

TEST(WindowPlacementFit, BeyondRightOrBottomEdgeMovesBackKeepingItsSize) {
    EXPECT_EQ(WP::fitToScreen({1500, 100, 2400, 600}, kScreen), (Rect{1021, 100, W + 1, 600}));
    EXPECT_EQ(WP::fitToScreen({100, 900, 600, 1300}, kScreen), (Rect{100, 681, 600, H + 1}));
}

TEST(WindowPlacementFit, NegativeLeftOrTopMovesToOneKeepingItsSize) {
    EXPECT_EQ(WP::fitToScreen({-300, 50, 500, 450}, kScreen), (Rect{1, 50, 801, 450}));
    EXPECT_EQ(WP::fitToScreen({50, -40, 450, 400}, kScreen), (Rect{50, 1, 450, 441}));
}

TEST(WindowPlacementFit, NeverStoredBecomesEmptyAtOneOne) {
    const int u = WP::kUnset;
    EXPECT_EQ(WP::fitToScreen({u, u, u, u}, kScreen), (Rect{1, 1, 1, 1}));
}

// A window saved on a larger screen must come back whole, its title bar and the menu
// buttons at its right edge within reach.
TEST(WindowPlacementFit, LargerThanTheScreenIsCutToIt) {
    const Rect small{0, 0, 1280, 1024};
    EXPECT_EQ(WP::fitToScreen({0, 0, 1700, 900}, small), (Rect{0, 0, 1280, 900}));
    EXPECT_EQ(WP::fitToScreen({-40, 200, 1660, 1100}, small), (Rect{0, 125, 1280, 1025}));
    EXPECT_EQ(WP::fitToScreen({300, -50, 2000, 1100}, small), small);
}

TEST(WindowPlacementFit, AbsurdValuesDoNotOverflowAndGiveTheWholeScreen) {
    EXPECT_EQ(WP::fitToScreen({INT_MIN, INT_MIN, INT_MAX, INT_MAX}, kScreen), kScreen);
}

// Panels take part of the screen: the same rules hold within the area left to windows.
TEST(WindowPlacementFit, ScreenAreaBesidePanelsIsMeasuredFromItsOwnCorner) {
    const int u = WP::kUnset;
    const Rect area{60, 32, 1280, 1024};  // panels at the left and the top
    EXPECT_EQ(WP::fitToScreen({u, u, u, u}, area), (Rect{61, 33, 61, 33}));
    EXPECT_EQ(WP::fitToScreen({100, 0, 900, 400}, area), (Rect{100, 33, 900, 433}));
    EXPECT_EQ(WP::fitToScreen({900, 700, 1400, 1100}, area), (Rect{781, 625, 1281, 1025}));
    EXPECT_EQ(WP::fitToScreen({0, 0, 1700, 900}, area), (Rect{60, 33, 1280, 933}));
}

TEST(WindowPlacementOrder, WindowStoredWithZOrderOneIsActivatedLast) {
    std::vector<WP::ListWindow> restored(3);
    restored[0].zOrder = 2;
    restored[1].zOrder = 3;
    restored[2].zOrder = 1;
    EXPECT_EQ(WP::activationOrder(restored), (std::vector<int>{2, 1, 3}));
}

TEST(WindowPlacementOrder, MissingOrOddZOrdersAreIgnored) {
    std::vector<WP::ListWindow> restored(3);
    restored[0].zOrder = WP::kUnset;
    restored[1].zOrder = 7;
    restored[2].zOrder = 1;
    EXPECT_EQ(WP::activationOrder(restored), (std::vector<int>{3}));
    EXPECT_TRUE(WP::activationOrder({}).empty());
}

class WindowPlacementSave : public ::testing::Test {
  protected:
    ProfileFile ini() const {
        return ProfileFile(m_dir / "ORVEN.ini", ProfileFile::Encoding::Utf16Le, 0600);
    }
    test::TempDir m_dir;
};

TEST_F(WindowPlacementSave, ThreeWindowsWithTheSecondActiveRestoreInTheSameOrder) {
    ProfileFile file = ini();
    // Window order from the active one: 2, 3, 1.
    std::vector<WP::OpenWindow> open{{2, {10, 10, 400, 300}, WP::kShowNormal},
                                     {3, {20, 20, 500, 400}, WP::kShowNormal},
                                     {1, {30, 30, 600, 500}, 6}};
    ASSERT_TRUE(WP::save(file, {5, 6, 900, 700}, open));

    EXPECT_EQ(WP::readMainWindow(file), (Rect{5, 6, 900, 700}));
    std::vector<WP::ListWindow> restored;
    for (int n = 1; n <= 3; ++n) {
        restored.push_back(WP::readListWindow(file, n));
    }
    EXPECT_EQ(restored[1].zOrder, 1);
    EXPECT_EQ(restored[2].zOrder, 2);
    EXPECT_EQ(restored[0].zOrder, 3);
    EXPECT_EQ(restored[0].normal, (Rect{30, 30, 600, 500}));
    EXPECT_EQ(restored[0].showCmd, 6);
    EXPECT_EQ(WP::activationOrder(restored).back(), 2);
    EXPECT_EQ(file.getInt("Window4", "ZOrder", WP::kUnset), WP::kUnset)
        << "a rank without a window writes nothing";
}

TEST_F(WindowPlacementSave, OneMaximisedWindowMakesAllOpenMaximised) {
    ProfileFile file = ini();
    std::vector<WP::OpenWindow> open{{1, {10, 10, 400, 300}, WP::kShowNormal},
                                     {2, {20, 20, 500, 400}, WP::kShowMaximized}};
    ASSERT_TRUE(WP::save(file, {0, 0, 900, 700}, open));
    for (int n = 1; n <= 2; ++n) {
        const WP::ListWindow w = WP::readListWindow(file, n);
        EXPECT_EQ(w.showCmd, WP::kShowMaximized);
        EXPECT_EQ(w.normal, (Rect{20, 20, 500, 400}));
        EXPECT_EQ(w.zOrder, n);
    }
}

}  // namespace
}  // namespace orven
