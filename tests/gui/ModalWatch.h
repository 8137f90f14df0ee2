#pragma once

#include <functional>

#include <QAbstractButton>
#include <QApplication>
#include <QDeadlineTimer>
#include <QMessageBox>
#include <QPointer>
#include <QTimer>

namespace orven::test {

// Acts once on the next modal dialog of type T, from a polling timer, while the code under
// test waits in that dialog's exec(). The watch ends when it has acted, when it times out or
// when it goes out of scope, so a box that never came cannot be caught by a later step.
template <typename T>
class ModalWatch {
  public:
    explicit ModalWatch(std::function<void(T*)> action, int timeoutMs = 5000)
        : m_timer(new QTimer), m_deadline(timeoutMs) {
        QObject::connect(m_timer, &QTimer::timeout, m_timer, [this, action] {
            if (auto* dialog = qobject_cast<T*>(QApplication::activeModalWidget())) {
                m_timer->stop();
                m_fired = true;
                action(dialog);
            } else if (m_deadline.hasExpired()) {
                m_timer->stop();
            }
        });
        m_timer->start(10);
    }
    ~ModalWatch() { delete m_timer; }
    ModalWatch(const ModalWatch&) = delete;
    ModalWatch& operator=(const ModalWatch&) = delete;

    bool fired() const { return m_fired; }

  private:
    QTimer* m_timer;
    QDeadlineTimer m_deadline;
    bool m_fired = false;
};

// A message box as the user saw it.
struct SeenBox {
    QString title;
    QString text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QStringList buttons;
};

// Presses `trigger` and answers the message box it shows with the button labelled `answer`
// (the first one when empty). Returns what the box showed; an empty text when none came.
inline SeenBox pressAndAnswerBox(QAbstractButton* trigger, const QString& answer = {}) {
    SeenBox seen;
    ModalWatch<QMessageBox> watch([&](QMessageBox* box) {
        seen.title = box->windowTitle();
        seen.text = box->text();
        seen.icon = box->icon();
        QAbstractButton* chosen = nullptr;
        for (QAbstractButton* button : box->buttons()) {
            seen.buttons << button->text();
            if (!chosen && (answer.isEmpty() || button->text() == answer)) {
                chosen = button;
            }
        }
        if (chosen) {
            chosen->click();
        }
    });
    trigger->click();
    return seen;
}

}  // namespace orven::test
