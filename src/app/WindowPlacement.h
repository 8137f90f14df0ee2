#pragma once

#include <vector>

#include "platform/ProfileFile.h"

namespace orven {

struct Rect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
    friend bool operator==(const Rect&, const Rect&) = default;
};

// The placements of the main window and the list windows in ORVEN.ini, as plain rules that the
// main window applies, so that they can be checked without a screen.
class WindowPlacement {
  public:
    static constexpr int kUnset = -9999;
    static constexpr int kShowNormal = 1;
    static constexpr int kShowMaximized = 3;

    struct ListWindow {
        Rect normal;
        int showCmd = kUnset;
        int zOrder = kUnset;
    };

    // A list window open at exit, in window order starting from the active one.
    struct OpenWindow {
        int windowNumber = 0;
        Rect normal;
        int showCmd = kShowNormal;
    };

    // Fits a stored rectangle into the screen's area for windows: one wider or taller than
    // the area is cut to the area's width or height; any other is moved back onto it keeping
    // its size. A rectangle that was never stored becomes an empty one at (1, 1) of the area.
    static Rect fitToScreen(Rect stored, const Rect& screen);

    static Rect readMainWindow(const ProfileFile& file);
    static ListWindow readListWindow(const ProfileFile& file, int windowNumber);

    // The window numbers to activate, in turn, so that the window stored with ZOrder 1 ends
    // up active. restored[i] is the placement read for window number i + 1.
    static std::vector<int> activationOrder(const std::vector<ListWindow>& restored);

    // Writes the main window's rectangle and one section per open list window, ranked from
    // the active one. A maximised window makes every list window open maximised next time.
    // Ranks without a window write nothing, so no open window's section is overwritten.
    static bool save(ProfileFile& file, Rect mainWindow, const std::vector<OpenWindow>& windows);
};

}  // namespace orven
