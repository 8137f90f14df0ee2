#include "app/ui/ListWindows.h"

#include <algorithm>

#include <QAction>
#include <QMdiArea>
#include <QMenu>

#include "app/CommandIds.h"
#include "app/ui/CChildFrame.h"
#include "app/ui/ListWindowView.h"
#include "app/ui/QtRect.h"
#include "app/ui/QtText.h"

namespace orven::ui {
namespace {

constexpr int kMenuItemChars = 30;
constexpr int kFreeBottom = 150;  // left free below the three-window layout

bool placed(const Rect& r) {
    const int unset = WindowPlacement::kUnset;
    return r.left != unset && r.top != unset && r.right != unset && r.bottom != unset &&
           r.right > r.left && r.bottom > r.top;
}

}  // namespace

ListWindows::ListWindows(QMdiArea& area, CORVENDoc& doc) : m_area(area), m_doc(doc) {}

CChildFrame* ListWindows::open() {
    const int number = count() + 1;
    if (!m_factory || number > CORVENDoc::kListWindows) {
        return nullptr;
    }
    QWidget* view = m_factory(number);
    if (view == nullptr) {
        return nullptr;
    }
    auto* frame = new CChildFrame(number, view);
    connect(frame, &CChildFrame::released, this, &ListWindows::onClosed);
    connect(frame, &QWidget::windowTitleChanged, this, &ListWindows::titleChanged);
    m_area.addSubWindow(frame);
    frame->show();
    m_area.setActiveSubWindow(frame);
    emit countChanged(count());
    return frame;
}

void ListWindows::closeAll() {
    for (CChildFrame* frame : inWindowOrder()) {
        disconnect(frame, &CChildFrame::released, this, nullptr);
        delete frame;
    }
    emit countChanged(0);
}

CChildFrame* ListWindows::active() const {
    auto* frame = qobject_cast<CChildFrame*>(m_area.currentSubWindow());
    return frame != m_dying ? frame : nullptr;
}

QList<CChildFrame*> ListWindows::inWindowOrder() const {
    QList<CChildFrame*> frames;
    const auto stacked = m_area.subWindowList(QMdiArea::StackingOrder);
    for (auto it = stacked.rbegin(); it != stacked.rend(); ++it) {
        auto* frame = qobject_cast<CChildFrame*>(*it);
        if (frame != nullptr && frame != m_dying) {
            frames.append(frame);
        }
    }
    const qsizetype at = frames.indexOf(active());
    if (at > 0) {
        std::rotate(frames.begin(), frames.begin() + at, frames.end());
    }
    return frames;
}

CChildFrame* ListWindows::byNumber(int windowNumber) const {
    for (CChildFrame* frame : inWindowOrder()) {
        if (frame->windowNumber() == windowNumber) {
            return frame;
        }
    }
    return nullptr;
}

void ListWindows::activate(int windowNumber) {
    if (CChildFrame* frame = byNumber(windowNumber)) {
        m_area.setActiveSubWindow(frame);
    }
}

// The windows above the closed one move down a number, and their slots with them, so that
// the next start finds them in slots 1 to count.
void ListWindows::onClosed(CChildFrame* frame, int windowNumber) {
    m_dying = frame;
    QList<CChildFrame*> rest = inWindowOrder();
    std::sort(rest.begin(), rest.end(),
              [](CChildFrame* a, CChildFrame* b) { return a->windowNumber() < b->windowNumber(); });
    for (CChildFrame* other : rest) {
        const int n = other->windowNumber();
        if (n > windowNumber) {
            m_doc.windowBoxLists[n - 2] = m_doc.windowBoxLists[n - 1];
            m_doc.windowFolderNames[n - 2] = m_doc.windowFolderNames[n - 1];
            m_doc.windowBoxLists[n - 1].clear();
            m_doc.windowFolderNames[n - 1].clear();
            other->setWindowNumber(n - 1);
        }
    }
    emit countChanged(static_cast<int>(rest.size()));
    m_dying = nullptr;
}

bool ListWindows::restore(const std::vector<WindowPlacement::ListWindow>& stored) {
    for (const WindowPlacement::ListWindow& placement : stored) {
        if (!openRestored(placement)) {
            closeAll();
            return false;
        }
    }
    for (int number : WindowPlacement::activationOrder(stored)) {
        activate(number);
    }
    return true;
}

bool ListWindows::openRestored(const WindowPlacement::ListWindow& placement) {
    CChildFrame* frame = open();
    if (frame == nullptr || frame->view() == nullptr || frame->view()->boxesFailedToOpen()) {
        return false;
    }
    if (placement.showCmd == WindowPlacement::kShowMaximized) {
        frame->showMaximized();
    } else if (placed(placement.normal)) {
        frame->setNormalRect(placement.normal);
    }
    return true;
}

std::vector<WindowPlacement::OpenWindow> ListWindows::placements() const {
    std::vector<WindowPlacement::OpenWindow> windows;
    for (CChildFrame* frame : inWindowOrder()) {
        windows.push_back({frame->windowNumber(), frame->normalRect(), frame->showCmd()});
    }
    return windows;
}

void ListWindows::tile() {
    const QList<CChildFrame*> frames = inWindowOrder();
    if (frames.size() != 3) {
        m_area.tileSubWindows();
        return;
    }
    const QSize client = m_area.viewport()->size();
    const auto rects = threeWindowLayout(client.width(), client.height());
    for (int i = 0; i < 3; ++i) {
        frames[i]->setNormalRect(toRect(rects[static_cast<std::size_t>(i)]));
    }
}

void ListWindows::tileRows() {
    tileEvenly(true);
}

void ListWindows::tileColumns() {
    tileEvenly(false);
}

// The last window takes what the division leaves over, so the area is covered exactly.
void ListWindows::tileEvenly(bool rows) {
    const QList<CChildFrame*> frames = inWindowOrder();
    const int n = static_cast<int>(frames.size());
    const QSize client = m_area.viewport()->size();
    const int span = rows ? client.height() : client.width();
    for (int i = 0; i < n; ++i) {
        const int from = span * i / n;
        const int size = span * (i + 1) / n - from;
        const QRect r =
            rows ? QRect(0, from, client.width(), size) : QRect(from, 0, size, client.height());
        frames[i]->setNormalRect(toRect(r));
    }
}

std::array<QRect, 3> ListWindows::threeWindowLayout(int width, int height) {
    const int half = width / 2;
    const int used = std::max(0, height - kFreeBottom);
    return {QRect(0, 0, half, used), QRect(half, 0, width - half, used / 2),
            QRect(half, used / 2, width - half, used - used / 2)};
}

void ListWindows::addMenuItems(QMenu& menu) {
    QList<CChildFrame*> frames = inWindowOrder();
    if (frames.isEmpty()) {
        return;
    }
    std::sort(frames.begin(), frames.end(),
              [](CChildFrame* a, CChildFrame* b) { return a->windowNumber() < b->windowNumber(); });
    const CChildFrame* current = active();
    menu.addSeparator();
    for (CChildFrame* frame : frames) {
        const int n = frame->windowNumber();
        QAction* item = menu.addAction(menuItemText(qs(m_doc.windowBoxLists[n - 1].str())));
        item->setObjectName(QStringLiteral("action%1").arg(command::kFirstListWindow + n - 1));
        item->setCheckable(true);
        item->setChecked(frame == current);
        connect(item, &QAction::triggered, this, [this, n] { activate(n); });
    }
}

QString ListWindows::menuItemText(const QString& boxList) {
    QString text = boxList;
    text.replace(u'?', u',');
    if (text.size() > kMenuItemChars) {
        const bool splitsPair = text.at(kMenuItemChars - 1).isHighSurrogate();
        text = text.left(splitsPair ? kMenuItemChars - 1 : kMenuItemChars) + "...";
    }
    // A menu reads "&" as an access key.
    return text.replace(u'&', QStringLiteral("&&"));
}

}  // namespace orven::ui
