// Makes sure only one copy of the program runs per user.
#include "qt/single_instance.h"

#include <QCryptographicHash>
#include <QLocalServer>
#include <QLocalSocket>

#ifdef Q_OS_UNIX
#include <sys/socket.h>
#include <unistd.h>
#endif

namespace quillane {
namespace {

constexpr int kAnswerMilliseconds = 1000;

// Whether a running copy of this user answers on `name`. A server of another user that took
// the name (anyone can, in the abstract namespace) is not a copy of ours.
bool OwnCopyAnswers(const QString& name) {
    QLocalSocket probe;
#ifdef Q_OS_LINUX
    probe.setSocketOptions(QLocalSocket::AbstractNamespaceOption);
#endif
    probe.connectToServer(name);
    if (!probe.waitForConnected(kAnswerMilliseconds)) return false;
#ifdef Q_OS_LINUX
    ucred peer{};
    socklen_t size = sizeof peer;
    if (::getsockopt(static_cast<int>(probe.socketDescriptor()), SOL_SOCKET, SO_PEERCRED, &peer, &size) == 0) {
        return peer.uid == ::geteuid();
    }
#endif
    return true;
}

}  // namespace

SingleInstanceGuard::SingleInstanceGuard(const QString& name) : name_(name) {}

SingleInstanceGuard::~SingleInstanceGuard() = default;

bool SingleInstanceGuard::tryAcquire() {
    if (server_ != nullptr) return true;
    server_ = std::make_unique<QLocalServer>();
#ifdef Q_OS_LINUX
    server_->setSocketOptions(QLocalServer::AbstractNamespaceOption);
#else
    server_->setSocketOptions(QLocalServer::UserAccessOption);
#endif
    // A later copy only needs to reach the server to learn that it runs.
    QObject::connect(server_.get(), &QLocalServer::newConnection, server_.get(), [server = server_.get()] {
        while (QLocalSocket* socket = server->nextPendingConnection()) {
            socket->disconnectFromServer();
            socket->deleteLater();
        }
    });
    if (server_->listen(name_)) return true;
    if (server_->serverError() == QAbstractSocket::AddressInUseError && OwnCopyAnswers(name_)) {
        server_.reset();
        return false;
    }
#ifndef Q_OS_LINUX
    // The socket file of a copy that died: nothing answers on it.
    QLocalServer::removeServer(name_);
    server_->listen(name_);
#endif
    // Whatever else keeps the server from starting, it is no running copy: start without it.
    return true;
}

QString SingleInstanceName(const QString& application, const QString& settingsFile) {
    QString user;
#ifdef Q_OS_UNIX
    user = QString::number(::geteuid());
#else
    user = qEnvironmentVariable("USERNAME");
#endif
    const QByteArray store = QCryptographicHash::hash(settingsFile.toUtf8(), QCryptographicHash::Sha256).toHex();
    return application + QLatin1Char('-') + user + QLatin1Char('-') + QString::fromLatin1(store.left(16));
}

}  // namespace quillane
