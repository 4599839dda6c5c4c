// Follows the num-lock state for the status bar.
#pragma once

#include <QObject>

namespace quillane {

// There is no portable query for num lock, so the state is read from the keyboard LEDs where
// the system exposes them, and then followed from the keys themselves: the NumLock key
// toggles it, a keypad digit proves it on, a keypad arrow or Home/End proves it off.
class KeyboardLocks : public QObject {
    Q_OBJECT
public:
    explicit KeyboardLocks(QObject* parent = nullptr);
    bool numLock() const { return numLock_; }

signals:
    void numLockChanged(bool on);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void setNumLock(bool on);
    bool numLock_ = false;
};

}  // namespace quillane
