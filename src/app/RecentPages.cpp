#include "app/RecentPages.h"

#include "platform/FileReplace.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStringDecoder>
#include <algorithm>

namespace RecentPages {

namespace {
// Eight paths of the longest a system allows, with room to spare.
constexpr qint64 MaxFileSize = 64 * 1024;

QString normalised(const QString &path) { return QDir::cleanPath(QFileInfo(path).absoluteFilePath()); }

// A line break would cut the page in two lines of the file; other control characters are
// no part of a name the user means to see in a menu.
bool storable(const QString &page)
{
    return std::none_of(page.cbegin(), page.cend(),
                        [](QChar c) { return c.category() == QChar::Other_Control; });
}

// A line that names one full path, or nothing.
std::optional<QString> pageOf(QByteArrayView line)
{
    if (line.endsWith('\r'))
        line.chop(1);
    QStringDecoder decode(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString page = decode(line);
    if (page.isEmpty() || decode.hasError() || !QDir::isAbsolutePath(page) || !storable(page))
        return std::nullopt;
    return page;
}
} // namespace

QStringList parse(const QByteArray &bytes)
{
    if (bytes.size() > MaxFileSize)
        return {};
    // A damaged line costs itself only: the others are still the user's pages.
    QStringList pages;
    for (const QByteArray &line : bytes.split('\n'))
        if (const std::optional<QString> page = pageOf(line); page && !pages.contains(*page))
            pages.append(*page);
    return pages.mid(0, Max);
}

QByteArray format(const QStringList &pages)
{
    QByteArray bytes;
    for (const QString &page : pages)
        if (storable(page))
            bytes += page.toUtf8() + '\n';
    return bytes;
}

QStringList withFront(const QStringList &pages, const QString &path)
{
    const QString page = normalised(path);
    // Such a page opens all the same; it is only not remembered.
    if (!storable(page))
        return pages;
    QStringList list{page};
    for (const QString &p : pages)
        if (p != page && list.size() < Max)
            list.append(p);
    return list;
}

QStringList load(const QString &file)
{
    // Only a regular file, through links, is opened, and never read past the size of a list:
    // a FIFO would hold the start up and a device may never end.
    try {
        const std::unique_ptr<QFile> f = OpenRegularFile(file);
        return parse(f->read(MaxFileSize + 1));
    } catch (const ZError &) {
        return {};
    }
}

bool save(const QString &file, const QStringList &pages)
{
    constexpr auto writeBits = QFile::WriteOwner | QFile::WriteGroup | QFile::WriteOther;
    if (QFileInfo::exists(file) && !(QFileInfo(file).permissions() & writeBits))
        return false;
    QSaveFile f(file);
    if (!f.open(QIODevice::WriteOnly))
        return false;
    const QByteArray bytes = format(pages);
    if (f.write(bytes) != bytes.size()) {
        f.cancelWriting();
        return false;
    }
    return f.commit();
}

} // namespace RecentPages
