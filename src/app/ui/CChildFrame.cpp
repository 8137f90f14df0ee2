#include "app/ui/CChildFrame.h"

#include "app/ui/ListWindowView.h"
#include "app/ui/QtRect.h"

namespace orven::ui {
namespace {
constexpr int kShowMinimized = 2;
}

CChildFrame::CChildFrame(int windowNumber, QWidget* view) : m_windowNumber(windowNumber) {
    setObjectName(QStringLiteral("listWindow%1").arg(windowNumber));
    setAttribute(Qt::WA_DeleteOnClose);
    setWidget(view);
}

CChildFrame::~CChildFrame() {
    emit released(this, m_windowNumber);
}

void CChildFrame::setWindowNumber(int windowNumber) {
    m_windowNumber = windowNumber;
    setObjectName(QStringLiteral("listWindow%1").arg(windowNumber));
    if (ListWindowView* v = view()) {
        v->setWindowNumber(windowNumber);
    }
}

ListWindowView* CChildFrame::view() const {
    return dynamic_cast<ListWindowView*>(widget());
}

Rect CChildFrame::normalRect() const {
    return toRect(m_normal.isValid() ? m_normal : geometry());
}

void CChildFrame::setNormalRect(const Rect& rect) {
    const QRect r = toQRect(rect);
    if (isMaximized() || isMinimized()) {
        showNormal();
    }
    setGeometry(r);
    m_normal = r;
}

int CChildFrame::showCmd() const {
    if (isMaximized()) {
        return WindowPlacement::kShowMaximized;
    }
    return isMinimized() ? kShowMinimized : WindowPlacement::kShowNormal;
}

void CChildFrame::moveEvent(QMoveEvent* event) {
    QMdiSubWindow::moveEvent(event);
    rememberNormal();
}

void CChildFrame::resizeEvent(QResizeEvent* event) {
    QMdiSubWindow::resizeEvent(event);
    rememberNormal();
}

void CChildFrame::rememberNormal() {
    if (!isMaximized() && !isMinimized()) {
        m_normal = geometry();
    }
}

}  // namespace orven::ui
