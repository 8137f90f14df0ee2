#pragma once

#include <QRect>

class QWidget;

namespace orven::ui {

// A window's rectangle as the settings keep it: the outer frame, title bar included. Qt
// places a window by its inside, and learns the frame around it only from the window system.
class FrameGeometry {
  public:
    // Places the window so that its frame covers `frame` (within its minimum size). Before the
    // window is first shown its frame is not known yet: the size is put right again once
    // the window is shown and once it is on the screen.
    static void apply(QWidget& window, const QRect& frame);

    // The frame of the window in its normal state (not maximised or minimised).
    static QRect normalFrame(const QWidget& window);
};

}  // namespace orven::ui
