#include "taglib/FileReplace.h"

#include <QFileInfo>
#include <QSaveFile>

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

std::optional<ZErrorInfo> ReplaceFileContent(const QString &path, QByteArrayView bytes)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return ZError(OpenFailureNumber(path, true)).info();
    if (!bytes.isEmpty() && file.write(bytes.data(), bytes.size()) != bytes.size()) {
        file.cancelWriting();
        return ZError(ZErr::DiskFull).info();
    }
    if (!file.commit()) {
        // The buffered bytes are flushed by commit: a full disk shows up here as a write error.
        const bool writeFailed = file.error() == QFileDevice::WriteError;
        return ZError(writeFailed ? ZErr::DiskFull : ZErr::PathFileAccess).info();
    }
    return std::nullopt;
}
