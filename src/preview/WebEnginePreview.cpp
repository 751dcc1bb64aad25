// The preview's browser engine, loaded by the program once its window is on screen.
#include "widgets/PreviewEngine.h"
#include "preview/PreviewSchemeHandler.h"

#include <QCoreApplication>
#include <QOpenGLContext>
#include <QPointer>
#include <QQuickWindow>
#include <QTimer>
#include <QWebEngineLoadingInfo>
#include <QWebEnginePage>
#include <QWebEngineProfile>
#include <QWebEngineSettings>
#include <QDir>
#include <QWebEngineUrlRequestInterceptor>
#include <QWebEngineUrlScheme>
#include <QWebEngineView>

QT_BEGIN_NAMESPACE
Q_GUI_EXPORT void qt_gl_set_global_share_context(QOpenGLContext *context);
Q_GUI_EXPORT QOpenGLContext *qt_gl_global_share_context();
QT_END_NAMESPACE

namespace {
// What a local page reads by itself (images, frames, style sheets) lies in its own folder or
// below it, and a remote page reads no local file at all. Where the page itself goes is
// PreviewPage's to decide.
class LocalReadGuard final : public QWebEngineUrlRequestInterceptor
{
public:
    LocalReadGuard(const QByteArray &scheme, QObject *parent)
        : QWebEngineUrlRequestInterceptor(parent), m_scheme(QString::fromLatin1(scheme))
    {
    }
    void interceptRequest(QWebEngineUrlRequestInfo &info) override
    {
        if (info.resourceType() == QWebEngineUrlRequestInfo::ResourceTypeMainFrame)
            return;
        const QUrl url = info.requestUrl();
        if ((url.isLocalFile() || url.scheme() == m_scheme) &&
            !PreviewSchemeHandler::mayRead(info.firstPartyUrl(), url))
            info.block(true);
    }

private:
    const QString m_scheme;
};

// Set up once, before the engine's first view: the engine starts with it.
QWebEngineProfile *previewProfile(const QByteArray &schemeName,
                                  const PreviewSchemeHandler::PageFilter &filter)
{
    static QWebEngineProfile *profile = [&] {
        QWebEngineUrlScheme scheme(schemeName);
        scheme.setSyntax(QWebEngineUrlScheme::Syntax::Path);
        scheme.setFlags(QWebEngineUrlScheme::LocalScheme | QWebEngineUrlScheme::CorsEnabled);
        QWebEngineUrlScheme::registerScheme(scheme);
        // The pages are small and still: drawn without OpenGL, the window stays as it was
        // created (taking OpenGL later would make it anew, and taking it from the start costs
        // the start-up what loading this library late saves). The engine looks for a context
        // to share, which it only asks the format of when it draws this way; one that was
        // never made is enough.
        QQuickWindow::setGraphicsApi(QSGRendererInterface::Software);
        if (!qt_gl_global_share_context())
            qt_gl_set_global_share_context(new QOpenGLContext(QCoreApplication::instance()));
        auto *p = QWebEngineProfile::defaultProfile();
        p->installUrlSchemeHandler(schemeName, new PreviewSchemeHandler(filter, p));
        p->setUrlRequestInterceptor(new LocalReadGuard(schemeName, p));
        // Pages come from anywhere; i-mode pages have no scripts, so none run.
        auto *s = p->settings();
        s->setAttribute(QWebEngineSettings::JavascriptEnabled, false);
        s->setAttribute(QWebEngineSettings::LocalContentCanAccessRemoteUrls, false);
        // Without it a local page shows none of its own images; LocalReadGuard keeps it to
        // its own folder.
        s->setAttribute(QWebEngineSettings::LocalContentCanAccessFileUrls, true);
        s->setAttribute(QWebEngineSettings::PluginsEnabled, false);
        s->setAttribute(QWebEngineSettings::AutoLoadIconsForPage, false);
        // A failed load says so in our own words, and links to other programs (tel:, mailto:)
        // stay in the preview rather than starting them.
        s->setAttribute(QWebEngineSettings::ErrorPageEnabled, false);
        s->setUnknownUrlSchemePolicy(QWebEngineSettings::DisallowUnknownUrlSchemes);
        return p;
    }();
    return profile;
}

const QString refusedText = QStringLiteral("このアドレスはプレビューでは開けません。");

// Why a load failed, as the pane says it. Codes are the engine's network error numbers.
QString failureText(const QWebEngineLoadingInfo &info)
{
    switch (info.errorDomain()) {
    case QWebEngineLoadingInfo::HttpStatusCodeDomain:
        return info.errorCode() == 404 ? QStringLiteral("ページが見つかりません。")
                                       : QStringLiteral("ページを表示できません。");
    case QWebEngineLoadingInfo::DnsErrorDomain:
        return QStringLiteral("接続できません。");
    default:
        break;
    }
    switch (info.errorCode()) {
    case -6: // file not found
        return QStringLiteral("ページが見つかりません。");
    case -10: // access denied
    case -20: // blocked by the client
    case -27: // blocked by the response
    case -300: // invalid address
    case -301: // scheme not allowed
    case -302: // unknown scheme
        return refusedText;
    default:
        break;
    }
    return info.errorDomain() == QWebEngineLoadingInfo::ConnectionErrorDomain
            ? QStringLiteral("接続できません。")
            : QStringLiteral("ページを表示できません。");
}

// Opens what a browser shows itself; addresses for other programs (tel:, mailto:) are refused
// and said so, and file addresses are read the way the preview reads local pages.
class PreviewPage final : public QWebEnginePage
{
public:
    PreviewPage(QWebEngineProfile *profile, QObject *parent, QString scheme,
                std::function<void(PreviewLoad, const QUrl &, const QString &)> finished)
        : QWebEnginePage(profile, parent), m_scheme(std::move(scheme)), m_finished(std::move(finished))
    {
    }

protected:
    bool acceptNavigationRequest(const QUrl &url, NavigationType type, bool isMainFrame) override
    {
        static const QStringList shown = {"http", "https", "about", "data"};
        if (shown.contains(url.scheme()))
            return true;
        if (url.scheme() != m_scheme && !url.isLocalFile()) {
            if (isMainFrame)
                m_finished(PreviewLoad::Failed, url, refusedText);
            return false;
        }
        // A file: address is read the way the preview reads local pages.
        QUrl local = url;
        if (url.isLocalFile()) {
            local = QUrl();
            local.setScheme(m_scheme);
            local.setPath(url.path());
        }
        // The user goes anywhere on the disk from a local page; a page by itself (a frame, a
        // refresh) goes only where it may read.
        const bool fromLocalPage = this->url().scheme() == m_scheme;
        const bool chosen =
            isMainFrame && (type == NavigationTypeTyped || type == NavigationTypeBackForward ||
                            type == NavigationTypeReload ||
                            (fromLocalPage && (type == NavigationTypeLinkClicked ||
                                               type == NavigationTypeFormSubmitted)));
        if (!chosen && !PreviewSchemeHandler::mayRead(this->url(), local)) {
            if (isMainFrame)
                m_finished(PreviewLoad::Failed, url, refusedText);
            return false;
        }
        // A frame's file: address would become a load of the whole pane.
        if (url.isLocalFile()) {
            if (isMainFrame)
                QTimer::singleShot(0, this, [this, local] { setUrl(local); });
            return false;
        }
        return true;
    }

private:
    const QString m_scheme;
    const std::function<void(PreviewLoad, const QUrl &, const QString &)> m_finished;
};

class WebEnginePreview final : public PreviewEngine
{
public:
    WebEnginePreview(QWidget *parent, const QByteArray &scheme, const PreviewEngineEvents &events)
        : m_view(new QWebEngineView(parent))
    {
        auto *page = new PreviewPage(previewProfile(scheme, events.servedPage), m_view,
                                     QString::fromLatin1(scheme), events.loadFinished);
        m_view->setPage(page);
        QObject::connect(page, &QWebEnginePage::linkHovered, m_view, events.linkHovered);
        QObject::connect(page, &QWebEnginePage::loadStarted, m_view, events.loadStarted);
        QObject::connect(page, &QWebEnginePage::loadingChanged, m_view,
                         [f = events.loadFinished](const QWebEngineLoadingInfo &info) {
                             switch (info.status()) {
                             case QWebEngineLoadingInfo::LoadSucceededStatus:
                                 f(PreviewLoad::Succeeded, info.url(), QString());
                                 break;
                             case QWebEngineLoadingInfo::LoadFailedStatus:
                                 f(PreviewLoad::Failed, info.url(), failureText(info));
                                 break;
                             case QWebEngineLoadingInfo::LoadStoppedStatus:
                                 f(PreviewLoad::Stopped, info.url(), QString());
                                 break;
                             default:
                                 break;
                             }
                         });
        m_handler = const_cast<PreviewSchemeHandler *>(
                qobject_cast<const PreviewSchemeHandler *>(page->profile()->urlSchemeHandler(scheme)));
    }
    ~WebEnginePreview() override { delete m_view; }

    QWebEngineView *view() const override { return m_view; }
    QWidget *widget() const override { return m_view; }
    void load(const QUrl &url) override { m_view->setUrl(url); }
    void back() override { m_view->back(); }
    void forward() override { m_view->forward(); }
    void stop() override { m_view->stop(); }
    void reload() override { m_view->reload(); }
    QUrl url() const override { return m_view ? m_view->url() : QUrl(); }
    void setAlias(const QUrl &address, const QString &file) override
    {
        if (m_handler)
            m_handler->setAlias(address.path(), file);
    }

private:
    QPointer<QWebEngineView> m_view;
    QPointer<PreviewSchemeHandler> m_handler;
};
} // namespace

extern "C" Q_DECL_EXPORT PreviewEngine *zemloCreatePreviewEngine(QWidget *parent,
                                                                 const QByteArray &scheme,
                                                                 const PreviewEngineEvents &events)
{
    return new WebEnginePreview(parent, scheme, events);
}
