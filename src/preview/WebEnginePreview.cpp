// The preview's browser engine, loaded by the program once its window is on screen.
#include "platform/PreviewEngine.h"
#include "preview/PreviewSchemeHandler.h"

#include <QCoreApplication>
#include <QOpenGLContext>
#include <QPointer>
#include <QQuickWindow>
#include <QWebEnginePage>
#include <QWebEngineProfile>
#include <QWebEngineSettings>
#include <QWebEngineUrlScheme>
#include <QWebEngineView>

QT_BEGIN_NAMESPACE
Q_GUI_EXPORT void qt_gl_set_global_share_context(QOpenGLContext *context);
Q_GUI_EXPORT QOpenGLContext *qt_gl_global_share_context();
QT_END_NAMESPACE

namespace {
// Set up once, before the engine's first view: the engine starts with it.
QWebEngineProfile *previewProfile(const QByteArray &schemeName,
                                  const PreviewSchemeHandler::PageFilter &filter)
{
    static QWebEngineProfile *profile = [&] {
        QWebEngineUrlScheme scheme(schemeName);
        scheme.setSyntax(QWebEngineUrlScheme::Syntax::Path);
        scheme.setFlags(QWebEngineUrlScheme::LocalScheme);
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

class WebEnginePreview final : public PreviewEngine
{
public:
    WebEnginePreview(QWidget *parent, const QByteArray &scheme, const PreviewEngineEvents &events)
        : m_view(new QWebEngineView(parent))
    {
        auto *page = new QWebEnginePage(previewProfile(scheme, events.servedPage), m_view);
        m_view->setPage(page);
        QObject::connect(page, &QWebEnginePage::linkHovered, m_view, events.linkHovered);
        QObject::connect(page, &QWebEnginePage::loadStarted, m_view, events.loadStarted);
        QObject::connect(page, &QWebEnginePage::loadFinished, m_view,
                         [f = events.loadFinished](bool) { f(); });
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

private:
    QPointer<QWebEngineView> m_view;
};
} // namespace

extern "C" Q_DECL_EXPORT PreviewEngine *zemloCreatePreviewEngine(QWidget *parent,
                                                                 const QByteArray &scheme,
                                                                 const PreviewEngineEvents &events)
{
    return new WebEnginePreview(parent, scheme, events);
}
