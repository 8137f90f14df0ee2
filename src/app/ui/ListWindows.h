#pragma once

#include <array>
#include <functional>
#include <vector>

#include <QList>
#include <QObject>
#include <QRect>

#include "app/CORVENDoc.h"
#include "app/WindowPlacement.h"

class QMdiArea;
class QMenu;

namespace orven::ui {

class CChildFrame;

// The list windows inside the main window's MDI area: at most four, numbered 1 to 4 in the
// order they were opened, each number indexing a slot of the document record. Closing one
// moves the windows (and slots) above it down by one, so the numbers stay 1 to count.
class ListWindows : public QObject {
    Q_OBJECT

  public:
    // Makes the view of a new list window once its slot is filled; it must be a QWidget
    // implementing ListWindowView. Null while the program has no list view.
    using ViewFactory = std::function<QWidget*(int windowNumber)>;

    ListWindows(QMdiArea& area, CORVENDoc& doc);

    void setViewFactory(ViewFactory factory) { m_factory = std::move(factory); }
    bool available() const { return static_cast<bool>(m_factory); }

    // Opens the next window; null when four are open or there is no list view.
    CChildFrame* open();
    void closeAll();
    int count() const { return static_cast<int>(inWindowOrder().size()); }
    CChildFrame* active() const;
    // From the active window down the stacking order, as the window order runs.
    QList<CChildFrame*> inWindowOrder() const;
    CChildFrame* byNumber(int windowNumber) const;
    void activate(int windowNumber);

    // Reopens the windows of the last run; false when one could not open its boxes, in
    // which case every list window is closed again.
    bool restore(const std::vector<WindowPlacement::ListWindow>& stored);
    std::vector<WindowPlacement::OpenWindow> placements() const;

    // "並べて表示": three windows get a layout of their own, other counts the platform's.
    void tile();
    // "上下に並べて表示" and "左右に並べて表示": equal rows or columns over the whole area.
    void tileRows();
    void tileColumns();
    static std::array<QRect, 3> threeWindowLayout(int width, int height);

    // Appends one item per window (ids 10001 to 10004) to the window menu.
    void addMenuItems(QMenu& menu);
    static QString menuItemText(const QString& boxList);

  signals:
    void countChanged(int count);
    void titleChanged();

  private:
    void onClosed(CChildFrame* frame, int windowNumber);
    bool openRestored(const WindowPlacement::ListWindow& placement);
    void tileEvenly(bool rows);

    QMdiArea& m_area;
    CORVENDoc& m_doc;
    ViewFactory m_factory;
    CChildFrame* m_dying = nullptr;  // being destroyed, still listed by the area
};

}  // namespace orven::ui
