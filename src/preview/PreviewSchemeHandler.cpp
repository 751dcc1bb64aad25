#include "preview/PreviewSchemeHandler.h"

#include <QBuffer>
#include <QFile>
#include <QFileInfo>
#include <QMimeDatabase>
#include <QRegularExpression>
#include <QWebEngineUrlRequestJob>

const QByteArray PreviewSchemeHandler::scheme = QByteArrayLiteral("zemlo-file");

QByteArray PreviewSchemeHandler::contentTypeFor(const QString &path, const QByteArray &head)
{
    const QString suffix = QFileInfo(path).suffix().toLower();
    static const QStringList pageSuffixes = {"htm", "html", "jsp", "asp", "lbi", "tmp", "txt"};
    if (pageSuffixes.contains(suffix) || suffix.isEmpty()) {
        // A page that names its own charset is left to it.
        static const QRegularExpression declared(QStringLiteral("<meta[^>]*charset"),
                                                 QRegularExpression::CaseInsensitiveOption);
        if (declared.match(QString::fromLatin1(head)).hasMatch())
            return QByteArrayLiteral("text/html");
        return QByteArrayLiteral("text/html;charset=Shift_JIS");
    }
    return QMimeDatabase().mimeTypeForFile(path, QMimeDatabase::MatchExtension).name().toLatin1();
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

void PreviewSchemeHandler::requestStarted(QWebEngineUrlRequestJob *job)
{
    const QString path = fileFor(job->requestUrl().path());
    auto *file = new QFile(path, job);
    if (QFileInfo(path).isDir() || !file->open(QIODevice::ReadOnly)) {
        job->fail(QFileInfo::exists(path) ? QWebEngineUrlRequestJob::RequestDenied
                                          : QWebEngineUrlRequestJob::UrlNotFound);
        return;
    }
    const QByteArray head = file->peek(1024);
    job->reply(contentTypeFor(path, head), file);
}
