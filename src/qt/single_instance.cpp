// Makes sure only one copy of the program runs per user.
#include "qt/single_instance.h"

#include <QDir>
#include <QFileInfo>

namespace quillane {

SingleInstanceGuard::SingleInstanceGuard(const QString& lockFilePath)
    : lock_(std::make_unique<QLockFile>(lockFilePath)) {
    // Judge staleness only by whether the owner still runs: a copy left open for days must
    // keep its lock.
    lock_->setStaleLockTime(0);
}

SingleInstanceGuard::~SingleInstanceGuard() = default;

bool SingleInstanceGuard::tryAcquire() {
    if (lock_->isLocked()) {
        return true;
    }
    QDir().mkpath(QFileInfo(lock_->fileName()).absolutePath());
    return lock_->tryLock(0);
}

bool SingleInstanceGuard::isHeld() const { return lock_->isLocked(); }

}  // namespace quillane
