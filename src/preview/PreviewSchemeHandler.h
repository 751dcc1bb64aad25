#pragma once

#include <QByteArray>
#include <QWebEngineUrlSchemeHandler>
#include <functional>

// Serves local files to the preview browser. Pages that do not declare their charset are
// sent as Shift_JIS, which is what i-mode pages are written in.
class PreviewSchemeHandler : public QWebEngineUrlSchemeHandler
{
    Q_OBJECT
public:
    static const QByteArray scheme;
    // What a page is sent as, made from the file's bytes; the file keeps its own.
    using PageFilter = std::function<QByteArray(const QByteArray &page)>;

    PreviewSchemeHandler(PageFilter filter, QObject *parent);
    void requestStarted(QWebEngineUrlRequestJob *job) override;

    // The content type to send for a file with these leading bytes.
    static QByteArray contentTypeFor(const QString &path, const QByteArray &head);

private:
    PageFilter m_filter;
};
