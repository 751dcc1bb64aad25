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

PreviewSchemeHandler::PreviewSchemeHandler(PageFilter filter, QObject *parent)
    : QWebEngineUrlSchemeHandler(parent), m_filter(std::move(filter))
{
}

void PreviewSchemeHandler::requestStarted(QWebEngineUrlRequestJob *job)
{
    const QString path = job->requestUrl().path();
    auto *file = new QFile(path, job);
    if (QFileInfo(path).isDir() || !file->open(QIODevice::ReadOnly)) {
        job->fail(QFileInfo::exists(path) ? QWebEngineUrlRequestJob::RequestDenied
                                          : QWebEngineUrlRequestJob::UrlNotFound);
        return;
    }
    const QByteArray head = file->peek(1024);
    const QByteArray type = contentTypeFor(path, head);
    if (!m_filter || !type.startsWith("text/html")) {
        job->reply(type, file);
        return;
    }
    auto *page = new QBuffer(job);
    page->setData(m_filter(file->readAll()));
    file->close();
    page->open(QIODevice::ReadOnly);
    job->reply(type, page);
}
