#include "app/SingleInstance.h"

#include <QFile>
#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

SingleInstance::SingleInstance(const QString &programFolder)
    : m_path(programFolder + QStringLiteral("/zemlo.lck"))
{
}

SingleInstance::~SingleInstance()
{
    // The file stays: removing it would let a copy that opened it just now lock a file that
    // the next copy no longer finds.
    if (m_fd >= 0)
        ::close(m_fd);
}

bool SingleInstance::acquire()
{
    if (m_fd >= 0)
        return true;
    m_unusable = false;
    const QByteArray name = QFile::encodeName(m_path);
    constexpr int flags = O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC;
    // A device is not opened at all: opening some does more than open them.
    struct stat st
    {
    };
    const bool there = ::lstat(name.constData(), &st) == 0;
    int fd = -1;
    if (!there || S_ISREG(st.st_mode) || S_ISDIR(st.st_mode)) {
        fd = ::open(name.constData(), O_RDWR | O_CREAT | flags, 0644);
        // Readable by everyone who runs the program: a lock needs no more, so a file left by
        // another user serves as well.
        if (fd >= 0)
            (void)::fchmod(fd, 0644);
        else
            fd = ::open(name.constData(), O_RDONLY | flags);
    }
    // A folder is locked as well as a file is; anything else is no lock.
    if (fd >= 0 && (::fstat(fd, &st) != 0 || !(S_ISREG(st.st_mode) || S_ISDIR(st.st_mode)))) {
        ::close(fd);
        fd = -1;
    }
    if (fd < 0) {
        // Nothing there and none can be made (a program folder nobody may write): better to
        // run than to refuse for good. Something there that cannot be locked may hide a
        // running copy: no second one is started beside it.
        m_unusable = ::lstat(name.constData(), &st) == 0;
        return !m_unusable;
    }
    while (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        if (errno == EINTR)
            continue;
        const bool held = errno == EWOULDBLOCK;
        ::close(fd);
        return !held;
    }
    m_fd = fd;
    return true;
}
