#include "app/ui/FrameGeometry.h"

#include <QEvent>
#include <QWidget>
#include <QWindow>

namespace orven::ui {
namespace {

QMargins frameMargins(const QWidget& window) {
    const QWindow* handle = window.windowHandle();
    return handle != nullptr ? handle->frameMargins() : QMargins();
}

void place(QWidget& window, const QRect& frame) {
    window.move(frame.topLeft());  // a window's position is that of its frame
    window.resize(frame.size().shrunkBy(frameMargins(window)));
}

// Places the window again when it is shown (some window systems tell the frame then) and
// when it is first exposed (the others have framed it by then), unless it was resized
// meanwhile; then it goes. Its position may change by itself when it gets its frame.
class LateFrame : public QObject {
  public:
    LateFrame(QWidget& window, const QRect& frame)
        : QObject(&window), m_window(window), m_frame(frame), m_size(window.size()) {
        window.installEventFilter(this);
    }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        const bool shown = watched == &m_window && event->type() == QEvent::Show;
        const bool exposed = watched != &m_window && event->type() == QEvent::Expose;
        if ((shown || exposed) && m_window.size() == m_size) {
            place(m_window, m_frame);
            m_size = m_window.size();
        }
        if (shown && m_window.windowHandle() != nullptr) {
            m_window.windowHandle()->installEventFilter(this);
        }
        if (exposed) {
            deleteLater();
        }
        return false;
    }

  private:
    QWidget& m_window;
    QRect m_frame;
    QSize m_size;
};

}  // namespace

void FrameGeometry::apply(QWidget& window, const QRect& frame) {
    place(window, frame);
    if (!window.isVisible()) {
        new LateFrame(window, frame);
    }
}

QRect FrameGeometry::normalFrame(const QWidget& window) {
    return window.normalGeometry().marginsAdded(frameMargins(window));
}

}  // namespace orven::ui
