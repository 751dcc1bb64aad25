#include "platform/WebBrowser.h"

#include "platform/PreviewSchemeHandler.h"

#include <QDir>
#include <QFileInfo>
#include <QVBoxLayout>
#include <QWebEngineHistory>
#include <QWebEnginePage>
#include <QWebEngineProfile>
#include <QWebEngineSettings>
#include <QWebEngineUrlScheme>
#include <QWebEngineView>

void WebBrowser::registerSchemes()
{
    QWebEngineUrlScheme scheme(PreviewSchemeHandler::scheme);
    scheme.setSyntax(QWebEngineUrlScheme::Syntax::Path);
    scheme.setFlags(QWebEngineUrlScheme::LocalScheme);
    QWebEngineUrlScheme::registerScheme(scheme);
}

namespace {
QWebEngineProfile *previewProfile()
{
    static QWebEngineProfile *profile = [] {
        auto *p = QWebEngineProfile::defaultProfile();
        p->installUrlSchemeHandler(PreviewSchemeHandler::scheme, new PreviewSchemeHandler(p));
        // Pages come from anywhere; i-mode pages have no scripts, so none run.
        auto *s = p->settings();
        s->setAttribute(QWebEngineSettings::JavascriptEnabled, false);
        s->setAttribute(QWebEngineSettings::LocalContentCanAccessRemoteUrls, false);
        s->setAttribute(QWebEngineSettings::LocalContentCanAccessFileUrls, false);
        s->setAttribute(QWebEngineSettings::PluginsEnabled, false);
        s->setAttribute(QWebEngineSettings::AutoLoadIconsForPage, false);
        return p;
    }();
    return profile;
}
} // namespace

WebBrowser::WebBrowser(QWidget *parent) : QWidget(parent), m_view(new QWebEngineView(this))
{
    auto *page = new QWebEnginePage(previewProfile(), m_view);
    m_view->setPage(page);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_view);
    connect(page, &QWebEnginePage::linkHovered, this, [this](const QString &url) {
        Q_EMIT StatusTextChange(url.isEmpty() ? url : addressFor(QUrl(url)));
    });
    connect(page, &QWebEnginePage::loadStarted, this,
            [this] { Q_EMIT StatusTextChange(QStringLiteral("読み込み中...")); });
    connect(page, &QWebEnginePage::loadFinished, this, [this](bool) {
        Q_EMIT StatusTextChange(QStringLiteral("完了"));
        Q_EMIT DocumentComplete(addressFor(m_view->url()));
    });
}

WebBrowser::~WebBrowser() = default;

QUrl WebBrowser::urlForPath(const QString &path)
{
    QUrl url;
    url.setScheme(QString::fromLatin1(PreviewSchemeHandler::scheme));
    url.setPath(QDir::fromNativeSeparators(QFileInfo(path).absoluteFilePath()));
    return url;
}

QString WebBrowser::addressFor(const QUrl &url)
{
    if (url.scheme() == QLatin1String(PreviewSchemeHandler::scheme) || url.isLocalFile())
        return url.isLocalFile() ? url.toLocalFile() : url.path();
    return url.toString();
}

void WebBrowser::Navigate(const QString &target)
{
    if (target.startsWith(QLatin1Char('/')))
        m_view->setUrl(urlForPath(target));
    else
        m_view->setUrl(QUrl::fromUserInput(target));
}

void WebBrowser::GoBack() { m_view->back(); }

void WebBrowser::GoForward() { m_view->forward(); }

void WebBrowser::Stop() { m_view->stop(); }

void WebBrowser::Refresh() { m_view->reload(); }

void WebBrowser::GoHome() { Navigate(m_home); }

QString WebBrowser::LocationURL() const { return addressFor(m_view->url()); }
