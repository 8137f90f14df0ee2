#pragma once

#include <QMdiSubWindow>

#include "app/WindowPlacement.h"

namespace orven::ui {

class ListWindowView;

// The frame of one list window. It carries the window number (1 to 4) that indexes the
// window's slot in the document record, and remembers its normal rectangle, which a
// maximised sub-window no longer shows.
class CChildFrame : public QMdiSubWindow {
    Q_OBJECT

  public:
    // view must be a QWidget that implements ListWindowView; the frame takes it.
    CChildFrame(int windowNumber, QWidget* view);
    ~CChildFrame() override;

    int windowNumber() const { return m_windowNumber; }
    void setWindowNumber(int windowNumber);
    ListWindowView* view() const;

    Rect normalRect() const;
    void setNormalRect(const Rect& rect);
    int showCmd() const;

  signals:
    // Emitted from the destructor: the window's slot is free.
    void released(orven::ui::CChildFrame* frame, int windowNumber);

  protected:
    void moveEvent(QMoveEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

  private:
    void rememberNormal();

    int m_windowNumber;
    QRect m_normal;
};

}  // namespace orven::ui
