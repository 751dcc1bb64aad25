#include "app/RecentPages.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStringDecoder>

namespace RecentPages {

namespace {
// Eight paths of the longest a system allows, with room to spare.
constexpr qint64 MaxFileSize = 64 * 1024;

QString normalised(const QString &path) { return QDir::cleanPath(QFileInfo(path).absoluteFilePath()); }
} // namespace

QStringList parse(const QByteArray &bytes)
{
    if (bytes.size() > MaxFileSize)
        return {};
    QStringDecoder decode(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString text = decode(bytes);
    if (decode.hasError())
        return {};
    QStringList pages;
    for (QString line : text.split(QLatin1Char('\n'))) {
        if (line.endsWith(QLatin1Char('\r')))
            line.chop(1);
        if (line.isEmpty())
            continue;
        for (const QChar c : line)
            if (c.category() == QChar::Other_Control)
                return {};
        if (!QDir::isAbsolutePath(line))
            return {};
        if (!pages.contains(line))
            pages.append(line);
    }
    return pages.mid(0, Max);
}

QByteArray format(const QStringList &pages)
{
    QByteArray bytes;
    for (const QString &page : pages)
        bytes += page.toUtf8() + '\n';
    return bytes;
}

QStringList withFront(const QStringList &pages, const QString &path)
{
    const QString page = normalised(path);
    QStringList list{page};
    for (const QString &p : pages)
        if (p != page && list.size() < Max)
            list.append(p);
    return list;
}

QStringList load(const QString &file)
{
    QFile f(file);
    if (!f.open(QIODevice::ReadOnly) || f.size() > MaxFileSize)
        return {};
    return parse(f.readAll());
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
