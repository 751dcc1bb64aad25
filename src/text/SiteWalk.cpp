#include "text/SiteWalk.h"

#include "platform/FileReplace.h"
#include "platform/ZError.h"

#include <QDir>
#include <QDirIterator>
#include <QFileInfo>
#include <algorithm>

namespace Site {

FileKind kindOf(const QString &name)
{
    const QString suffix = QFileInfo(name).suffix().toLower();
    static const QStringList pages = {"html", "htm", "jsp", "asp", "lbi", "chtml", "xhtml"};
    static const QStringList images = {"gif", "jpg", "jpeg", "png", "bmp"};
    if (pages.contains(suffix))
        return FileKind::Page;
    if (images.contains(suffix))
        return FileKind::Image;
    return FileKind::Other;
}

Listing walk(const QString &root, Progress *progress)
{
    Listing listing;
    listing.root = QDir::cleanPath(QFileInfo(root).absoluteFilePath());
    const QDir base(listing.root);
    QDirIterator it(listing.root,
                    QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        if (progress && progress->stop()) {
            listing.cancelled = true;
            break;
        }
        it.next();
        const QFileInfo info = it.fileInfo();
        const QString path = base.relativeFilePath(info.filePath());
        if (info.isDir()) {
            listing.folders << path;
            if (!info.isReadable() || !info.isExecutable())
                listing.unreadable << path;
        } else if (info.isFile()) {
            listing.files << File{path, kindOf(path)};
        } else {
            listing.unreadable << path;
        }
        if (progress)
            progress->step();
    }
    std::sort(listing.files.begin(), listing.files.end(),
              [](const File &a, const File &b) { return a.path < b.path; });
    listing.folders.sort();
    listing.unreadable.sort();
    return listing;
}

std::optional<QByteArray> read(const QString &root, const QString &path, QString *error,
                               qint64 limit)
{
    try {
        const std::unique_ptr<QFile> f = OpenRegularFile(root + u'/' + path);
        if (f->size() > limit)
            throw ZError(ZErr::PathFileAccess, QStringLiteral("大きすぎるファイルです"));
        QByteArray bytes = f->read(limit + 1);
        if (f->error() != QFileDevice::NoError)
            throw ZError(ZErr::PathFileAccess, f->errorString());
        return bytes;
    } catch (const ZError &e) {
        if (error)
            *error = e.description();
        return std::nullopt;
    }
}

} // namespace Site
