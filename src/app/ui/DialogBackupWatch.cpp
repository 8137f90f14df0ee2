#include "app/ui/DialogBackupWatch.h"

#include <QDialog>

namespace orven::ui {

namespace {

DialogBackupWatch::Hooks& installedHooks() {
    static DialogBackupWatch::Hooks hooks;
    return hooks;
}

}  // namespace

void DialogBackupWatch::install(Hooks hooks) {
    installedHooks() = std::move(hooks);
}

DialogBackupWatch::DialogBackupWatch(QDialog& dialog) : m_dialog(dialog) {
    m_timer.setSingleShot(true);
    QObject::connect(&m_timer, &QTimer::timeout, &m_timer, [this] { onTick(); });
    start();
}

void DialogBackupWatch::start() {
    const Hooks& hooks = installedHooks();
    if (hooks.armed && hooks.armed()) {
        m_timer.start(hooks.periodMs);
    }
}

void DialogBackupWatch::stop() {
    m_timer.stop();
}

void DialogBackupWatch::onTick() {
    const Hooks& hooks = installedHooks();
    if (hooks.acceptDueBackup && hooks.acceptDueBackup()) {
        m_dialog.reject();
        return;
    }
    start();
}

}  // namespace orven::ui
