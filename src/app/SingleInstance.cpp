#include "app/SingleInstance.h"

#include <QCryptographicHash>
#include <QDir>

SingleInstance::SingleInstance(const QString &programFolder)
{
    const QByteArray key =
        QCryptographicHash::hash(QDir::cleanPath(programFolder).toUtf8(), QCryptographicHash::Sha1)
            .toHex()
            .left(16);
    m_path = QDir::tempPath() + "/zemlo-" + QString::fromLatin1(key) + ".lock";
}

bool SingleInstance::acquire()
{
    m_lock = std::make_unique<QLockFile>(m_path);
    // A lock left by a copy that crashed is taken over; a live one is not.
    m_lock->setStaleLockTime(0);
    if (m_lock->tryLock(0))
        return true;
    m_lock.reset();
    return false;
}
