#include "ui/SingleInstance.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QLocalServer>
#include <QLocalSocket>
#include <QStandardPaths>
#include <QThread>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace {

constexpr char activateLine[] = "show\n";

QString defaultFolder()
{
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (!runtime.isEmpty() && QDir(runtime).exists())
        return runtime;
    return QDir::tempPath() + QStringLiteral("/norvane-%1").arg(::getuid());
}

} // namespace

SingleInstance::SingleInstance(QString folder, QObject* parent)
    : QObject(parent)
    , m_folder(folder.isEmpty() ? defaultFolder() : std::move(folder))
{ }

SingleInstance::~SingleInstance()
{
    if (m_server != nullptr)
        m_server->close();
    if (m_fd >= 0)
        ::close(m_fd);
}

QString SingleInstance::lockPath() const
{
    return m_folder + QStringLiteral("/norvane-desk.lock");
}

QString SingleInstance::socketPath() const
{
    return m_folder + QStringLiteral("/norvane-desk.socket");
}

bool SingleInstance::acquire()
{
    m_lastErrorText.clear();
    // The folder is the user's own; a shared temporary folder gets a private subfolder.
    if (!QDir().mkpath(m_folder)) {
        m_lastErrorText = QStringLiteral("cannot create %1").arg(m_folder);
        return true;
    }
    const QByteArray path = QFile::encodeName(lockPath());
    const int fd = ::open(path.constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (fd < 0) {
        // Without a lock the program still starts, as the only instance.
        m_lastErrorText = QStringLiteral("cannot open %1: %2")
                              .arg(lockPath(), QString::fromLocal8Bit(std::strerror(errno)));
        return true;
    }
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        const int error = errno;
        ::close(fd);
        if (error == EWOULDBLOCK)
            return false;
        m_lastErrorText = QStringLiteral("cannot lock %1: %2")
                              .arg(lockPath(), QString::fromLocal8Bit(std::strerror(error)));
        return true;
    }
    m_fd = fd;
    // The lock is ours, so a socket file left there belongs to an instance that has ended.
    QLocalServer::removeServer(socketPath());
    m_server = new QLocalServer(this);
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    connect(m_server, &QLocalServer::newConnection, this, &SingleInstance::serveConnection);
    if (!m_server->listen(socketPath()))
        m_lastErrorText
            = QStringLiteral("cannot listen on %1: %2").arg(socketPath(), m_server->errorString());
    return true;
}

void SingleInstance::serveConnection()
{
    while (QLocalSocket* socket = m_server->nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
            // Only the one request exists; anything else on the socket is ignored.
            if (socket->canReadLine() && socket->readLine(64) == activateLine)
                Q_EMIT activationRequested();
            socket->disconnectFromServer();
        });
    }
}

bool SingleInstance::activateRunning(int waitMs) const
{
    QLocalSocket socket;
    // The first instance may still be starting: it takes the lock before it listens.
    QDeadlineTimer deadline(waitMs);
    while (true) {
        socket.connectToServer(socketPath());
        if (socket.waitForConnected(
                static_cast<int>(std::max<qint64>(deadline.remainingTime(), 0))))
            break;
        if (deadline.hasExpired())
            return false;
        QThread::msleep(50);
    }
    socket.write(activateLine);
    return socket.waitForBytesWritten(
        static_cast<int>(std::max<qint64>(deadline.remainingTime(), 100)));
}
