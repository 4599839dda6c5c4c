// Makes sure only one copy of the program runs per user.
#pragma once

#include <QLockFile>
#include <QString>

#include <memory>

namespace quillane {

// Holds a lock file for as long as it lives. A copy that crashed leaves its lock file behind;
// the next start sees that the process named in it is gone and takes the lock over, so a crash
// never blocks the program for good.
class SingleInstanceGuard {
public:
    explicit SingleInstanceGuard(const QString& lockFilePath);
    SingleInstanceGuard(const SingleInstanceGuard&) = delete;
    SingleInstanceGuard& operator=(const SingleInstanceGuard&) = delete;
    ~SingleInstanceGuard();

    // True when this is the only running copy (the lock is now ours).
    bool tryAcquire();
    bool isHeld() const;

private:
    std::unique_ptr<QLockFile> lock_;
};

}  // namespace quillane
