// Makes sure only one copy of the program runs per user.
#pragma once

#include <QString>

#include <memory>

class QLocalServer;

namespace quillane {

// Holds a local server under a per-user name for as long as it lives; a second copy finds the
// name taken. Nothing of it is a file: on Linux the name lives in the kernel's abstract socket
// namespace and goes with the process, however that ends (a crash, kill -9, a power loss), so
// nothing is ever left behind that could keep the program out. Elsewhere a socket file that no
// running copy answers on is taken over.
class SingleInstanceGuard {
public:
    explicit SingleInstanceGuard(const QString& name);
    SingleInstanceGuard(const SingleInstanceGuard&) = delete;
    SingleInstanceGuard& operator=(const SingleInstanceGuard&) = delete;
    ~SingleInstanceGuard();

    // True unless another running copy of this user holds the name (the name is then ours).
    // A failure to set up the server never counts as another copy: the program starts.
    bool tryAcquire();

private:
    QString name_;
    std::unique_ptr<QLocalServer> server_;
};

// The name for `application` and the settings file it keeps: one per user and per settings
// store, so two copies never share (and overwrite) one store.
QString SingleInstanceName(const QString& application, const QString& settingsFile);

}  // namespace quillane
