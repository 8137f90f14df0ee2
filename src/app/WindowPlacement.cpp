#include "app/WindowPlacement.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <limits>
#include <string>

namespace orven {
namespace {

// Stored values may be absurd; the arithmetic must not overflow on them.
int clampToInt(std::int64_t value) {
    return static_cast<int>(std::clamp<std::int64_t>(value, std::numeric_limits<int>::min(),
                                                     std::numeric_limits<int>::max()));
}

// Moves [low, high] into the span [origin, origin + extent]. A longer one becomes the span
// itself; any other keeps its size and is moved so that high is at most origin + extent + 1
// and low at least origin + 1.
void fitAxis(int& low, int& high, int origin, int extent) {
    std::int64_t lo = std::int64_t{low} - origin;
    std::int64_t hi = std::int64_t{high} - origin;
    if (hi - lo > extent) {
        lo = 0;
        hi = extent;
    }
    if (hi > extent) {
        lo += extent - hi + 1;
        hi = std::int64_t{extent} + 1;
    }
    if (lo < 0) {
        hi = hi - lo + 1;
        lo = 1;
    }
    low = clampToInt(lo + origin);
    high = clampToInt(hi + origin);
}

Rect readRect(const ProfileFile& file, const std::string& section) {
    const int unset = WindowPlacement::kUnset;
    return Rect{file.getInt(section, "Left", unset), file.getInt(section, "Top", unset),
                file.getInt(section, "Right", unset), file.getInt(section, "Bottom", unset)};
}

bool writeRect(ProfileFile& file, const std::string& section, const Rect& r) {
    bool ok = file.writeInt(section, "Left", r.left);
    ok = file.writeInt(section, "Top", r.top) && ok;
    ok = file.writeInt(section, "Right", r.right) && ok;
    return file.writeInt(section, "Bottom", r.bottom) && ok;
}

}  // namespace

Rect WindowPlacement::fitToScreen(Rect stored, const Rect& screen) {
    fitAxis(stored.left, stored.right, screen.left, screen.right - screen.left);
    fitAxis(stored.top, stored.bottom, screen.top, screen.bottom - screen.top);
    return stored;
}

Rect WindowPlacement::readMainWindow(const ProfileFile& file) {
    return readRect(file, "Window");
}

WindowPlacement::ListWindow WindowPlacement::readListWindow(const ProfileFile& file,
                                                            int windowNumber) {
    const std::string section = "Window" + std::to_string(windowNumber);
    return ListWindow{readRect(file, section), file.getInt(section, "showCmd", kUnset),
                      file.getInt(section, "ZOrder", kUnset)};
}

std::vector<int> WindowPlacement::activationOrder(const std::vector<ListWindow>& restored) {
    std::array<int, 5> byZOrder{};
    for (std::size_t i = 0; i < restored.size(); ++i) {
        const int z = restored[i].zOrder;
        if (z >= 1 && z <= 4) {
            byZOrder[z] = static_cast<int>(i) + 1;
        }
    }
    std::vector<int> order;
    for (int z = 4; z >= 1; --z) {
        if (byZOrder[z] >= 1 && byZOrder[z] <= 4) {
            order.push_back(byZOrder[z]);
        }
    }
    return order;
}

bool WindowPlacement::save(ProfileFile& file, Rect mainWindow,
                           const std::vector<OpenWindow>& windows) {
    bool ok = writeRect(file, "Window", mainWindow);
    const std::size_t ranks = std::min<std::size_t>(windows.size(), 4);
    const auto maximised =
        std::find_if(windows.begin(), windows.begin() + ranks,
                     [](const OpenWindow& w) { return w.showCmd == kShowMaximized; });
    for (std::size_t r = 0; r < ranks; ++r) {
        const OpenWindow& w = windows[r];
        const bool anyMaximised = maximised != windows.begin() + ranks;
        const std::string section = "Window" + std::to_string(w.windowNumber);
        ok = writeRect(file, section, anyMaximised ? maximised->normal : w.normal) && ok;
        ok = file.writeInt(section, "showCmd", anyMaximised ? kShowMaximized : w.showCmd) && ok;
        ok = file.writeInt(section, "ZOrder", static_cast<int>(r) + 1) && ok;
    }
    return ok;
}

}  // namespace orven
