#include "platform/FileReplace.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <cerrno>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// True when the mode bits let nobody write at path. Root's writes ignore the bits, so without
// this check a read-only page, or a page in a read-only folder, would be replaced all the same.
bool noWriteBits(const QString &path)
{
    struct stat st
    {
    };
    return ::stat(QFile::encodeName(path).constData(), &st) == 0 && (st.st_mode & 0222) == 0;
}

} // namespace

int OpenFailureNumber(const QString &path, bool forWriting)
{
    if (path.isEmpty())
        return forWriting ? ZErr::PathFileAccess : ZErr::FileNotFound;
    const QFileInfo file(path);
    const QFileInfo folder(file.absolutePath());
    if (!folder.isDir())
        return ZErr::PathNotFound;
    if (file.isDir())
        return ZErr::PathFileAccess;
    if (!file.exists())
        return forWriting ? ZErr::PermissionDenied : ZErr::FileNotFound;
    return ZErr::PermissionDenied;
}

QByteArray ReadFileContent(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw ZError(OpenFailureNumber(path, false));
    QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        throw ZError(ZErr::PathFileAccess);
    return bytes;
}

std::optional<ZErrorInfo> ReplaceFileContent(const QString &path, QByteArrayView bytes)
{
    // The bytes go where a link points, beside the file it names.
    const QFileInfo named(path);
    const QFileInfo target(named.exists() ? named.canonicalFilePath() : named.absoluteFilePath());
    if ((target.isFile() && noWriteBits(target.filePath())) || noWriteBits(target.absolutePath()))
        return ZError(ZErr::PermissionDenied).info();
    QSaveFile file(path);
    // Unbuffered, so that every write reaches the file at once and its count is the truth: a
    // buffered write reports success and the short write that follows went unnoticed.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return ZError(OpenFailureNumber(path, true)).info();
    qint64 written = 0;
    while (written < bytes.size()) {
        // A short count is tried again; on a full disk the next try fails.
        const qint64 count = file.write(bytes.data() + written, bytes.size() - written);
        if (count <= 0) {
            file.cancelWriting();
            return ZError(ZErr::DiskFull).info();
        }
        written += count;
    }
    // Space a file system only allots on the way to the disk is known for sure after a sync.
    // (A file system that cannot sync says EINVAL; there is nothing more to wait for.)
    if (::fsync(file.handle()) != 0 && errno != EINVAL) {
        const int err = errno;
        file.cancelWriting();
        return ZError::fromErrno(err).info();
    }
    if (!file.commit()) {
        const bool writeFailed = file.error() == QFileDevice::WriteError;
        return ZError(writeFailed ? ZErr::DiskFull : ZErr::PathFileAccess).info();
    }
    return std::nullopt;
}
