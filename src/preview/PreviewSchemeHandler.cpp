#include "preview/PreviewSchemeHandler.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMimeDatabase>
#include <algorithm>
#include <QWebEngineUrlRequestJob>

const QByteArray PreviewSchemeHandler::scheme = QByteArrayLiteral("zemlo-file");

QByteArray PreviewSchemeHandler::contentTypeFor(const QString &path)
{
    const QString suffix = QFileInfo(path).suffix().toLower();
    static const QStringList pageSuffixes = {"htm", "html", "jsp", "asp", "lbi", "tmp", "txt"};
    if (pageSuffixes.contains(suffix) || suffix.isEmpty())
        return QByteArrayLiteral("text/html");
    return QMimeDatabase().mimeTypeForFile(path, QMimeDatabase::MatchExtension).name().toLatin1();
}

namespace {
// The path with every link in it resolved; of a path that does not exist (yet), that of its
// deepest folder that does, followed by the rest.
QString resolved(const QString &path)
{
    QString head = QDir::cleanPath(path), rest;
    for (;;) {
        const QString real = QFileInfo(head).canonicalFilePath();
        if (!real.isEmpty())
            return rest.isEmpty() ? real : QDir::cleanPath(real + QLatin1Char('/') + rest);
        const qsizetype slash = head.lastIndexOf(QLatin1Char('/'));
        if (slash < 0)
            return QString();
        rest = rest.isEmpty() ? head.mid(slash + 1) : head.mid(slash + 1) + QLatin1Char('/') + rest;
        head = slash == 0 ? QStringLiteral("/") : head.left(slash);
    }
}
} // namespace

bool PreviewSchemeHandler::mayRead(const QUrl &page, const QUrl &target)
{
    const QString own = QString::fromLatin1(scheme);
    if (page.scheme() != own || target.scheme() != own ||
        !page.path().startsWith(QLatin1Char('/')) || !target.path().startsWith(QLatin1Char('/')))
        return false;
    const QString folder = resolved(QFileInfo(page.path()).path());
    const QString path = resolved(target.path());
    return !folder.isEmpty() && !path.isEmpty() &&
           (folder == QStringLiteral("/") || path.startsWith(folder + QLatin1Char('/')));
}

PreviewSchemeHandler::PreviewSchemeHandler(PageFilter filter, QObject *parent)
    : QWebEngineUrlSchemeHandler(parent), m_filter(std::move(filter))
{
}

void PreviewSchemeHandler::setAlias(const QString &addressPath, const QString &file)
{
    m_aliasPath = addressPath;
    m_aliasFile = file;
}

QString PreviewSchemeHandler::fileFor(const QString &path) const
{
    return !m_aliasPath.isEmpty() && path == m_aliasPath ? m_aliasFile : path;
}

namespace {
QByteArray references(const QString &text)
{
    QByteArray out;
    for (QChar c : text)
        out += c.unicode() < 0x80 ? QByteArray(1, char(c.unicode()))
                                  : "&#" + QByteArray::number(c.unicode()) + ';';
    return out;
}
} // namespace

QByteArray PreviewSchemeHandler::firstPart(const QByteArray &head, qint64 total)
{
    QByteArray part = head.left(shownBytes);
    // Line ends and '>' are never the second byte of a double-byte character.
    const qsizetype cut = std::max(part.lastIndexOf('\n'), part.lastIndexOf('>'));
    if (cut >= 0)
        part.truncate(cut + 1);
    const QString notice =
            QStringLiteral("プレビューはここまでです（ページ %1 KB のうち先頭 %2 KB）。")
                    .arg((total + 1023) / 1024)
                    .arg(part.size() / 1024);
    return part + "\r\n<hr><p><font color=\"#808080\">" + references(notice) + "</font></p>\r\n";
}

void PreviewSchemeHandler::requestStarted(QWebEngineUrlRequestJob *job)
{
    const QString requested = job->requestUrl().path();
    const QString path = fileFor(requested);
    auto *file = new QFile(path, job);
    // Only a file is read: a pipe or a device would keep the window waiting for ever.
    if (!QFileInfo(path).isFile() || !file->open(QIODevice::ReadOnly)) {
        job->fail(QFileInfo::exists(path) ? QWebEngineUrlRequestJob::RequestDenied
                                          : QWebEngineUrlRequestJob::UrlNotFound);
        return;
    }
    const QByteArray type = contentTypeFor(path);
    if (type != "text/html") {
        job->reply(type, file);
        return;
    }
    // A page's charset is the one a phone reads it in, not the one it may declare: sent with
    // the page, it outweighs the page's own.
    const bool cut =
        !m_aliasPath.isEmpty() && requested == m_aliasPath && file->size() > shownBytes;
    ServedPage served{cut ? firstPart(file->read(shownBytes), file->size()) : file->readAll(),
                      QByteArrayLiteral("Shift_JIS")};
    file->close();
    if (m_filter)
        served = m_filter(served.bytes);
    auto *page = new QBuffer(job);
    page->setData(served.bytes);
    page->open(QIODevice::ReadOnly);
    job->reply("text/html;charset=" + served.charset, page);
}
