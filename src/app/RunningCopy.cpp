#include "app/RunningCopy.h"

#include "app/CommandLine.h"
#include "app/PageMessage.h"

#include <QCryptographicHash>
#include <QDeadlineTimer>
#include <QDir>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>
#include <QStandardPaths>
#include <QThread>
#include <memory>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const QByteArray Greeting = QByteArrayLiteral("zemlo 1\n");

// A folder of this user's alone: really a folder, not a link, owned by this user, and nobody
// else may enter it.
bool ownFolder(const QString &path)
{
    struct stat st
    {
    };
    return ::lstat(QFile::encodeName(path).constData(), &st) == 0 && S_ISDIR(st.st_mode) &&
           st.st_uid == ::geteuid() && (st.st_mode & 077) == 0;
}

// Where the socket lives: the runtime folder, or where there is none (started by su, by cron,
// over ssh without a desktop), a folder made for this user in the temporary folder. Never the
// temporary folder itself, where another user could listen under the socket's name first.
// Empty when no folder is this user's alone: then there is no socket.
QString socketFolder()
{
    const QString runtime = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (!runtime.isEmpty() && ownFolder(runtime))
        return runtime;
    const QString own = QDir::tempPath() + QStringLiteral("/zemlo-") + QString::number(::geteuid());
    (void)::mkdir(QFile::encodeName(own).constData(), 0700);
    return ownFolder(own) ? own : QString();
}

// The other end of a connection runs as this user: no other user's copy is answered or told
// a page.
bool peerIsThisUser(const QLocalSocket &socket)
{
    ucred peer{};
    socklen_t size = sizeof peer;
    const int fd = int(socket.socketDescriptor());
    return ::getsockopt(fd, SOL_SOCKET, SO_PEERCRED, &peer, &size) == 0 && peer.uid == ::geteuid();
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
    const QString folder = socketFolder();
    if (folder.isEmpty())
        return {};
    const QString canonical = QFileInfo(programFolder).canonicalFilePath();
    const QByteArray id = QCryptographicHash::hash(
        (canonical.isEmpty() ? programFolder : canonical).toUtf8(), QCryptographicHash::Sha256);
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
    if (m_name.isEmpty())
        return false;
    // A copy that runs without a lock (a program folder nobody may write) keeps its socket:
    // listening would put this one in its place. Another user's socket is no copy of ours.
    QLocalSocket probe;
    probe.connectToServer(m_name);
    if (probe.waitForConnected(0) && peerIsThisUser(probe))
        return false;
    probe.abort();
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
        if (!peerIsThisUser(*socket)) {
            socket->abort();
            continue;
        }
        auto reader = std::make_shared<PageMessage::Reader>();
        connect(socket, &QLocalSocket::readyRead, this,
                [this, socket, reader] { read(socket, *reader); });
        socket->write(Greeting);
    }
}

void PageReceiver::read(QLocalSocket *socket, PageMessage::Reader &reader)
{
    // Gathered as it comes and read once whole: a long message in small pieces would
    // otherwise be read again for every piece.
    switch (reader.add(socket->readAll())) {
    case PageMessage::Reader::State::Incomplete:
        return;
    case PageMessage::Reader::State::TooLong:
        socket->abort();
        return;
    case PageMessage::Reader::State::Whole:
        break;
    }
    // Read once: whatever else comes is no part of it.
    QObject::disconnect(socket, &QLocalSocket::readyRead, this, nullptr);
    socket->disconnectFromServer();
    const QStringList pages = PageMessage::parse(reader.message()).value_or(QStringList());
    // Opening may show a message box; by then this socket's signal has returned.
    if (!pages.isEmpty())
        QMetaObject::invokeMethod(
            this, [this, pages] { Q_EMIT pagesHanded(pages); }, Qt::QueuedConnection);
}

bool HandOverPages(const QString &programFolder, const QStringList &paths)
{
    const QString name = RunningCopySocketName(programFolder);
    if (name.isEmpty())
        return false;
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
    if (!peerIsThisUser(socket))
        return false;
    if (!waitForBytes(socket, Greeting.size(), deadline) ||
        socket.read(Greeting.size()) != Greeting)
        return false;
    socket.write(PageMessage::format(AbsolutePaths(paths, QDir::currentPath())));
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
