// The num-lock state: read from the system at start, when the program becomes active again and
// after the NumLock key; followed from the keys where the system cannot tell.
#include "app/keyboard_locks.h"

#include <QGuiApplication>
#include <QTest>
#include <QWindow>

#include <memory>
#include <optional>

using namespace quillane;

namespace {

// A system whose state the test sets; `told` false: it cannot tell.
struct FakeState {
    bool on = false;
    bool told = true;
};

class FakeSource : public LockStateSource {
public:
    explicit FakeSource(std::shared_ptr<FakeState> state) : state_(std::move(state)) {}
    std::optional<bool> numLock() const override {
        return state_->told ? std::optional<bool>(state_->on) : std::nullopt;
    }

private:
    std::shared_ptr<FakeState> state_;
};

void BecomeActive() {
    QApplicationStateChangeEvent active(Qt::ApplicationActive);
    QCoreApplication::sendEvent(QCoreApplication::instance(), &active);
}

}  // namespace

class KeyboardLocksTest : public QObject {
    Q_OBJECT

    std::shared_ptr<FakeState> state_;
    std::unique_ptr<KeyboardLocks> locks_;
    QWindow window_;  // where keys arrive

    void start(bool on, bool told) {
        state_ = std::make_shared<FakeState>(FakeState{on, told});
        locks_ = std::make_unique<KeyboardLocks>(std::make_unique<FakeSource>(state_));
    }

private slots:
    void initTestCase() {
        window_.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window_));
    }

    // Num Lock already on when the program starts shows at once.
    void startUpReadsTheSystem() {
        for (const bool on : {true, false}) {
            start(on, true);
            QCOMPARE(locks_->numLock(), on);
        }
    }

    // Toggled while another program had the keyboard: read again on coming back.
    void activationReadsTheSystemAgain() {
        start(false, true);
        state_->on = true;
        QCOMPARE(locks_->numLock(), false);
        BecomeActive();
        QCOMPARE(locks_->numLock(), true);
        QApplicationStateChangeEvent inactive(Qt::ApplicationInactive);
        state_->on = false;
        QCoreApplication::sendEvent(QCoreApplication::instance(), &inactive);
        QCOMPARE(locks_->numLock(), true);  // only becoming active reads it
    }

    // The NumLock key is not counted: the system's state after it is what shows, so a state
    // that was on at start goes off with the first press.
    void numLockKeyAsksTheSystem() {
        start(true, true);
        state_->on = false;
        QTest::keyClick(&window_, Qt::Key_NumLock);
        QTRY_COMPARE(locks_->numLock(), false);
        // A keypad key proves nothing against a system that tells.
        QTest::keyClick(&window_, Qt::Key_7, Qt::KeypadModifier);
        QCOMPARE(locks_->numLock(), false);
    }

    void withoutTheSystemTheKeysAreFollowed() {
        start(false, false);
        QTest::keyClick(&window_, Qt::Key_NumLock);
        QCOMPARE(locks_->numLock(), true);
        QTest::keyClick(&window_, Qt::Key_Home, Qt::KeypadModifier);
        QCOMPARE(locks_->numLock(), false);
        BecomeActive();
        QCOMPARE(locks_->numLock(), false);
    }
};

QTEST_MAIN(KeyboardLocksTest)
#include "keyboard_locks_test.moc"
