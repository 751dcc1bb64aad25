#include "app/RunningCopy.h"

#include "app/CommandLine.h"

#include <QCryptographicHash>
#include <QDeadlineTimer>
#include <QDir>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>
#include <QStandardPaths>
#include <QThread>

namespace {

const QByteArray Greeting = QByteArrayLiteral("zemlo 1\n");
// More than any list of pages a command line holds; a caller sending more is cut off.
constexpr qsizetype MaxMessage = 4 * 1024 * 1024;

// The paths of a complete message, or nothing while it is incomplete.
std::optional<QStringList> parseMessage(const QByteArray &message)
{
    QStringList paths;
    qsizetype start = 0;
    for (;;) {
        const qsizetype end = message.indexOf('\0', start);
        if (end < 0)
            return std::nullopt;
        if (end == start)
            return paths;
        paths.append(QString::fromUtf8(message.mid(start, end - start)));
        start = end + 1;
    }
}

bool waitForBytes(QLocalSocket &socket, qint64 count, const QDeadlineTimer &deadline)
{
    while (socket.bytesAvailable() < count)
        if (deadline.hasExpired() || !socket.waitForReadyRead(int(deadline.remainingTime())))
            return false;
    return true;
}

} // namespace

QString RunningCopySocketName(const QString &programFolder)
{
    const QString canonical = QFileInfo(programFolder).canonicalFilePath();
    const QByteArray id = QCryptographicHash::hash(
        (canonical.isEmpty() ? programFolder : canonical).toUtf8(), QCryptographicHash::Sha256);
    QString folder = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (folder.isEmpty())
        folder = QDir::tempPath();
    return folder + QStringLiteral("/zemlo-") + QString::fromLatin1(id.toHex().left(24));
}

PageReceiver::PageReceiver(const QString &programFolder, QObject *parent)
    : QObject(parent), m_name(RunningCopySocketName(programFolder))
{
}

PageReceiver::~PageReceiver() = default;

bool PageReceiver::listen()
{
    if (m_server)
        return m_server->isListening();
    // A copy that runs without a lock (a program folder nobody may write) keeps its socket:
    // listening would put this one in its place.
    QLocalSocket probe;
    probe.connectToServer(m_name);
    if (probe.waitForConnected(0))
        return false;
    m_server = new QLocalServer(this);
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    if (!m_server->listen(m_name)) {
        QLocalServer::removeServer(m_name);
        if (!m_server->listen(m_name))
            return false;
    }
    connect(m_server, &QLocalServer::newConnection, this, &PageReceiver::accept);
    return true;
}

void PageReceiver::accept()
{
    while (QLocalSocket *socket = m_server->nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] { read(socket); });
        socket->write(Greeting);
    }
}

void PageReceiver::read(QLocalSocket *socket)
{
    // The message so far lives in the socket's buffer until it is whole.
    const QByteArray message = socket->peek(socket->bytesAvailable());
    const std::optional<QStringList> paths = parseMessage(message);
    if (!paths) {
        if (message.size() > MaxMessage)
            socket->abort();
        return;
    }
    socket->disconnectFromServer();
    // Only absolute paths: a relative one would be read against this copy's folder, not the
    // caller's.
    QStringList pages;
    for (const QString &p : *paths)
        if (QDir::isAbsolutePath(p))
            pages.append(p);
    // Opening may show a message box; by then this socket's signal has returned.
    if (!pages.isEmpty())
        QMetaObject::invokeMethod(
            this, [this, pages] { Q_EMIT pagesHanded(pages); }, Qt::QueuedConnection);
}

bool HandOverPages(const QString &programFolder, const QStringList &paths)
{
    const QString name = RunningCopySocketName(programFolder);
    QLocalSocket socket;
    // A copy that has just taken the lock listens a moment later: until the second is up, no
    // socket yet, or one refusing because it was left by a copy that died, is tried again.
    const QDeadlineTimer deadline(1000);
    for (;;) {
        socket.connectToServer(name);
        if (socket.waitForConnected(int(deadline.remainingTime())))
            break;
        if (deadline.hasExpired())
            return false;
        QThread::msleep(50);
    }
    if (!waitForBytes(socket, Greeting.size(), deadline) ||
        socket.read(Greeting.size()) != Greeting)
        return false;
    QByteArray message;
    for (const QString &p : AbsolutePaths(paths, QDir::currentPath()))
        if (!p.isEmpty())
            message += p.toUtf8() + '\0';
    message += '\0';
    socket.write(message);
    // The copy answered, so it reads; a long list may take longer than the greeting did.
    const QDeadlineTimer writing(10000);
    while (socket.bytesToWrite() > 0)
        if (!socket.waitForBytesWritten(int(writing.remainingTime())))
            return false;
    socket.disconnectFromServer();
    if (socket.state() != QLocalSocket::UnconnectedState)
        socket.waitForDisconnected(int(writing.remainingTime()));
    return true;
}
