// Follows the num-lock state for the status bar.
#include "app/keyboard_locks.h"

#include "app/x11_num_lock.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QTimer>
#include <QWindow>

#if defined(Q_OS_WIN)
#include <windows.h>
#endif

namespace quillane {
namespace {

// Linux exposes keyboard LEDs as /sys/class/leds/<input>::numlock/brightness; many machines
// have none (a virtual console, a remote session), and then this tells nothing.
std::optional<bool> NumLockLed() {
    const QDir leds(QStringLiteral("/sys/class/leds"));
    const QStringList entries = leds.entryList({QStringLiteral("*::numlock")}, QDir::Dirs | QDir::System);
    if (entries.isEmpty()) return std::nullopt;
    for (const QString& entry : entries) {
        QFile brightness(leds.filePath(entry + QStringLiteral("/brightness")));
        if (brightness.open(QIODevice::ReadOnly) && brightness.readAll().trimmed().toInt() > 0) return true;
    }
    return false;
}

// The keyboard indicator named "Num Lock" of the X server the program shows on.
std::optional<bool> WindowSystemNumLock() {
#if defined(QUILLANE_HAVE_X11)
    return X11NumLock();
#elif defined(Q_OS_WIN)
    return (GetKeyState(VK_NUMLOCK) & 1) != 0;
#else
    return std::nullopt;
#endif
}

class SystemSource : public LockStateSource {
public:
    std::optional<bool> numLock() const override {
        if (const std::optional<bool> on = WindowSystemNumLock()) return on;
        return NumLockLed();
    }
};

}  // namespace

std::unique_ptr<LockStateSource> SystemLockState() { return std::make_unique<SystemSource>(); }

KeyboardLocks::KeyboardLocks(std::unique_ptr<LockStateSource> source, QObject* parent)
    : QObject(parent), source_(std::move(source)) {
    if (source_) numLock_ = source_->numLock().value_or(false);
    QCoreApplication::instance()->installEventFilter(this);
}

void KeyboardLocks::refresh() {
    if (!source_) return;
    if (const std::optional<bool> on = source_->numLock()) setNumLock(*on);
}

bool KeyboardLocks::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::ApplicationStateChange && watched == QCoreApplication::instance() &&
        static_cast<QApplicationStateChangeEvent*>(event)->applicationState() == Qt::ApplicationActive) {
        refresh();
    }
    // A key reaches its window first and is then passed on, widget by widget: look at it once,
    // at the window.
    if (event->type() == QEvent::KeyRelease && qobject_cast<QWindow*>(watched) != nullptr &&
        static_cast<QKeyEvent*>(event)->key() == Qt::Key_NumLock && source_ && source_->numLock().has_value()) {
        // The system turns its lock off when the key comes up, and on when it goes down.
        refresh();
    }
    if (event->type() == QEvent::KeyPress && qobject_cast<QWindow*>(watched) != nullptr) {
        const auto* key = static_cast<QKeyEvent*>(event);
        const bool told = source_ && source_->numLock().has_value();
        if (key->key() == Qt::Key_NumLock && !key->isAutoRepeat()) {
            if (told) {
                // The system switches its indicator as it handles the key: ask once it has.
                QTimer::singleShot(0, this, &KeyboardLocks::refresh);
            } else {
                setNumLock(!numLock_);
            }
        } else if (!told && (key->modifiers() & Qt::KeypadModifier)) {
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
