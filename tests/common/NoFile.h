#pragma once

#include <QDir>
#include <QFile>
#include <cstring>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/un.h>
#include <unistd.h>

// Puts at a path something that is no regular file: "folder", "FIFO", "socket" or "device"
// (a null device of its own, so that nothing outside the test is ever at stake), or "link to
// a " one of them, made beside the path. A socket stays bound while the object lives.
class NoFile
{
public:
    ~NoFile()
    {
        if (m_socket >= 0)
            ::close(m_socket);
    }
    bool make(const QString &kind, const QString &path)
    {
        const bool link = kind.startsWith(QLatin1String("link to a "));
        target = link ? path + QStringLiteral(".target") : path;
        const QByteArray name = QFile::encodeName(target);
        bool made = false;
        if (kind.endsWith(QLatin1String("folder"))) {
            made = QDir().mkdir(target);
        } else if (kind.endsWith(QLatin1String("FIFO"))) {
            made = ::mkfifo(name.constData(), 0644) == 0;
        } else if (kind.endsWith(QLatin1String("device"))) {
            made = ::mknod(name.constData(), S_IFCHR | 0666, makedev(1, 3)) == 0;
        } else if (kind.endsWith(QLatin1String("socket"))) {
            sockaddr_un address{};
            address.sun_family = AF_UNIX;
            std::strncpy(address.sun_path, name.constData(), sizeof address.sun_path - 1);
            m_socket = ::socket(AF_UNIX, SOCK_STREAM, 0);
            made = ::bind(m_socket, reinterpret_cast<sockaddr *>(&address), sizeof address) == 0;
        }
        return made && (!link || QFile::link(target, path));
    }

    QString target; // where the thing itself is

private:
    int m_socket = -1;
};
