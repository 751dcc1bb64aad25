#pragma once

#include "widgets/PreviewEngine.h"

#include <QByteArray>
#include <QUrl>
#include <QWebEngineUrlSchemeHandler>
#include <functional>

// Serves local files to the preview browser, pages in the charset their filter names.
class PreviewSchemeHandler : public QWebEngineUrlSchemeHandler
{
    Q_OBJECT
public:
    static const QByteArray scheme;
    // What a page is sent as, made from the file's bytes; the file keeps its own. Without one
    // a page is sent as it is, as Shift_JIS.
    using PageFilter = std::function<ServedPage(const QByteArray &page)>;

    PreviewSchemeHandler(PageFilter filter, QObject *parent);
    void requestStarted(QWebEngineUrlRequestJob *job) override;

    // The content type of a file, "text/html" for a page, which gets its charset as it is sent.
    static QByteArray contentTypeFor(const QString &path);

    // Whether a page shown at page may read target by itself (a frame, a picture, a style sheet,
    // a refresh): a file of this scheme in the page's folder or below it, links resolved on
    // both sides. What the user follows or types is the user's choice and not asked here.
    static bool mayRead(const QUrl &page, const QUrl &target);

    // Requests for addressPath are served from file, so that a page written elsewhere finds
    // what it refers to beside the address it is shown under. An empty addressPath ends it.
    void setAlias(const QString &addressPath, const QString &file);
    // The file a request for this path is served from.
    QString fileFor(const QString &path) const;

    // Of a page served under the alias, at most this much is shown: the engine takes seconds
    // to lay out a megabyte of markup and minutes for ten, while a phone took 100 KB at most.
    // Pages a phone could show are shown whole.
    static constexpr qint64 shownBytes = 128 * 1024;
    // The first part of a page of total bytes, cut at a line end (never inside a character of
    // code page 932), with a line saying so in character references, which read the same in
    // any charset.
    static QByteArray firstPart(const QByteArray &head, qint64 total);

private:
    QString m_aliasPath;
    QString m_aliasFile;
    PageFilter m_filter;
};
