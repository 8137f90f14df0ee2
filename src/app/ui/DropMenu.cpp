#include "app/ui/DropMenu.h"

#include <QCursor>
#include <QPushButton>

namespace orven::ui {
namespace {
constexpr int kSameClickMs = 400;
}

DropMenu::DropMenu(QPushButton* button, const QString& objectName, QWidget* parent)
    : QObject(parent), m_button(button), m_menu(parent) {
    m_menu.setObjectName(objectName);
    // A press outside the open menu only closes it; it must not also reach what lies below.
    m_menu.setAttribute(Qt::WA_NoMouseReplay);
    connect(&m_menu, &QMenu::aboutToHide, this, [this] {
        if (m_button->rect().contains(m_button->mapFromGlobal(QCursor::pos()))) {
            m_closedAt.start();
        }
    });
}

bool DropMenu::toggle() {
    if (isOpen()) {
        close();
        return false;
    }
    if (m_closedAt.isValid() && m_closedAt.elapsed() < kSameClickMs) {
        m_closedAt.invalidate();
        return false;
    }
    return true;
}

void DropMenu::open() {
    m_menu.popup(m_button->mapToGlobal(QPoint(0, m_button->height())));
}

}  // namespace orven::ui
