#pragma once

#include <QRect>

#include "app/WindowPlacement.h"

namespace orven::ui {

// Stored placements keep the right and bottom edges, Qt keeps width and height.
inline Rect toRect(const QRect& r) {
    return {r.left(), r.top(), r.left() + r.width(), r.top() + r.height()};
}

inline QRect toQRect(const Rect& r) {
    return QRect(r.left, r.top, r.right - r.left, r.bottom - r.top);
}

}  // namespace orven::ui
