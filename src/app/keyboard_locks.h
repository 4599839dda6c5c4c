// Follows the num-lock state for the status bar.
#pragma once

#include <QObject>

#include <memory>
#include <optional>

namespace quillane {

// Where the real num-lock state comes from: the windowing system where it can tell (the
// keyboard indicators on X11, the key state on Windows); tests give a fake one.
class LockStateSource {
public:
    virtual ~LockStateSource() = default;
    // The state now, or none where the system cannot tell.
    virtual std::optional<bool> numLock() const = 0;
};

// The windowing system's state, falling back to the keyboard LEDs Linux exposes under
// /sys/class/leds; none where neither tells.
std::unique_ptr<LockStateSource> SystemLockState();

// The state is read at start and whenever the program becomes the active one again (Num Lock
// may have been pressed in another program meanwhile), and after each NumLock key. Where the
// system cannot tell, it is followed from the keys themselves: the NumLock key toggles it, a
// keypad digit proves it on, a keypad arrow or Home/End proves it off.
class KeyboardLocks : public QObject {
    Q_OBJECT
public:
    explicit KeyboardLocks(std::unique_ptr<LockStateSource> source = SystemLockState(), QObject* parent = nullptr);
    bool numLock() const { return numLock_; }
    // Reads the state from the source again (keeps the followed state where it cannot tell).
    void refresh();

signals:
    void numLockChanged(bool on);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void setNumLock(bool on);

    std::unique_ptr<LockStateSource> source_;
    bool numLock_ = false;
};

}  // namespace quillane
