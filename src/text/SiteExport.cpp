#include "text/SiteExport.h"

#include "platform/FileReplace.h"
#include "platform/ZError.h"
#include "text/Pictographs.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSet>
#include <QTemporaryDir>

namespace SiteExport {

namespace {

void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size() || !f.flush())
        throw ZError(ZErr::PathFileAccess, QStringLiteral("書き込めません: ") + path +
                                               QStringLiteral("\r\n") + f.errorString());
}

QString carefulText(const Utf8Export::Report &r)
{
    QStringList what;
    if (r.invalidBytes > 0) {
        QStringList lines;
        for (int line : r.invalidLines.mid(0, 10))
            lines << QString::number(line);
        what << QStringLiteral("U+FFFD にした不正なバイトと外字 %1（%2 行目%3）")
                    .arg(r.invalidBytes)
                    .arg(lines.join(QStringLiteral(", ")),
                         r.invalidLines.size() > 10 ? QStringLiteral(" ほか") : QString());
    }
    if (r.names > 0)
        what << QStringLiteral("名前にした絵文字 %1").arg(r.names);
    return what.join(QStringLiteral("、"));
}

} // namespace

Utf8Export::Copy convertPage(const QString &page, const QByteArray &bytes)
{
    const Cp932::Page decoded = Cp932::decodePage(bytes);
    Utf8Export::Options options;
    options.lineEnds = decoded.lineEnds;
    options.forms = decoded.forms;
    options.imageFolderPrefix = QStringLiteral("../").repeated(page.count(u'/'));
    return Utf8Export::convert(decoded.text, options);
}

Result write(const Site::Listing &site, const QString &target, const QString &programFolder,
             Site::Progress *progress)
{
    Result result;
    Report &report = result.report;
    const QString out = QDir::cleanPath(QFileInfo(target).absoluteFilePath());
    const QFileInfo there(out);
    if (out == site.root || out.startsWith(site.root + u'/')) {
        result.failure = QStringLiteral("書き出し先がサイトのフォルダの中です。サイトの外のフォルダ"
                                        "を選んでください。\r\n") +
                         out;
        return result;
    }
    if (there.exists() &&
        (!there.isDir() || !QDir(out).isEmpty(QDir::AllEntries | QDir::NoDotAndDotDot |
                                              QDir::Hidden | QDir::System))) {
        result.failure =
            QStringLiteral(
                "書き出し先が空のフォルダではありません。新しいフォルダを選んでください。\r\n") +
            out;
        return result;
    }
    const QString parent = there.absolutePath();
    QTemporaryDir work(parent + QStringLiteral("/.") + there.fileName() +
                       QStringLiteral(".zemlo-XXXXXX"));
    if (!work.isValid()) {
        result.failure = QStringLiteral("書き出し先のフォルダを作れません。\r\n") + parent +
                         QStringLiteral("\r\n") + work.errorString();
        return result;
    }
    if (progress)
        progress->total = int(site.files.size());
    report.skipped = site.unreadable;
    try {
        for (const QString &folder : site.folders)
            if (!QDir(work.path()).mkpath(folder))
                throw ZError(ZErr::PathFileAccess, QStringLiteral("フォルダを作れません: ") +
                                                       work.path() + u'/' + folder);
        QSet<QString> names;
        for (const Site::File &file : site.files) {
            if (progress && progress->stop()) {
                result.cancelled = true;
                return result;
            }
            if (progress)
                progress->step();
            names.insert(file.path);
            QString error;
            const std::optional<QByteArray> bytes = Site::read(site.root, file.path, &error);
            if (!bytes)
                throw ZError(ZErr::PathFileAccess, QStringLiteral("読めません: ") + site.root +
                                                       u'/' + file.path + QStringLiteral("\r\n") +
                                                       error);
            if (file.kind != Site::FileKind::Page) {
                writeFile(work.path() + u'/' + file.path, *bytes);
                ++report.copied;
                continue;
            }
            const Utf8Export::Copy copy = convertPage(file.path, *bytes);
            writeFile(work.path() + u'/' + file.path, copy.bytes);
            const Utf8Export::Report &r = copy.report;
            ++report.pages;
            report.emoji += r.emoji;
            report.images += r.images;
            report.names += r.names;
            report.invalidBytes += r.invalidBytes;
            report.charsets += r.charsetsChanged > 0 || r.charsetInserted;
            for (const Pictograph *p : r.pictures)
                if (!report.pictures.contains(p))
                    report.pictures << p;
            if (const QString careful = carefulText(r); !careful.isEmpty())
                report.careful << std::pair(file.path, careful);
        }
        if (!report.pictures.isEmpty()) {
            const QString folder = QLatin1String(Utf8Export::ImageFolder);
            QDir(work.path()).mkpath(folder);
            for (const Pictograph *p : report.pictures) {
                const QString source = Pictographs::imagePath(programFolder, *p);
                const QString name = folder + u'/' + QFileInfo(source).fileName();
                // The site's own picture of that name stays, and the copy would show it in
                // place of the pictograph: better no copy than a wrong one.
                if (names.contains(name))
                    throw ZError(
                        ZErr::FileExists,
                        QStringLiteral("サイトに同じ名前の画像があり、絵文字の画像を置けません: ") +
                            name);
                writeFile(work.path() + u'/' + name, ReadFileContent(source));
            }
        }
        if (there.exists() && !QDir().rmdir(out))
            throw ZError(ZErr::PathFileAccess,
                         QStringLiteral("書き出し先を置き換えられません: ") + out);
        if (!QDir().rename(work.path(), out)) {
            if (there.exists())
                QDir().mkdir(out);
            throw ZError(ZErr::PathFileAccess,
                         QStringLiteral("書き出し先に名前を付けられません: ") + out);
        }
        work.setAutoRemove(false);
    } catch (const ZError &e) {
        result.failure = e.description();
    }
    return result;
}

} // namespace SiteExport
