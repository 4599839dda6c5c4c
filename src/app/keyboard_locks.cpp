// Follows the num-lock state for the status bar.
#include "app/keyboard_locks.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QKeyEvent>
#include <QWindow>

namespace quillane {
namespace {

// Linux exposes keyboard LEDs as /sys/class/leds/<input>::numlock/brightness.
bool NumLockLedOn() {
    const QDir leds(QStringLiteral("/sys/class/leds"));
    const QStringList entries = leds.entryList({QStringLiteral("*::numlock")}, QDir::Dirs | QDir::System);
    for (const QString& entry : entries) {
        QFile brightness(leds.filePath(entry + QStringLiteral("/brightness")));
        if (brightness.open(QIODevice::ReadOnly) && brightness.readAll().trimmed().toInt() > 0) {
            return true;
        }
    }
    return false;
}

}  // namespace

KeyboardLocks::KeyboardLocks(QObject* parent) : QObject(parent), numLock_(NumLockLedOn()) {
    QCoreApplication::instance()->installEventFilter(this);
}

bool KeyboardLocks::eventFilter(QObject* watched, QEvent* event) {
    // A key press reaches its window first and is then passed on, widget by widget: look at
    // it once, at the window.
    if (event->type() == QEvent::KeyPress && qobject_cast<QWindow*>(watched) != nullptr) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_NumLock && !key->isAutoRepeat()) {
            setNumLock(!numLock_);
        } else if (key->modifiers() & Qt::KeypadModifier) {
            const int k = key->key();
            if (k >= Qt::Key_0 && k <= Qt::Key_9) {
                setNumLock(true);
            } else if ((k >= Qt::Key_Home && k <= Qt::Key_PageDown) || k == Qt::Key_Insert || k == Qt::Key_Delete) {
                setNumLock(false);
            }
        }
    }
    return QObject::eventFilter(watched, event);
}

void KeyboardLocks::setNumLock(bool on) {
    if (on != numLock_) {
        numLock_ = on;
        emit numLockChanged(on);
    }
}

}  // namespace quillane
