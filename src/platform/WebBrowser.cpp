#include "platform/WebBrowser.h"

#include "platform/PreviewSchemeHandler.h"

#include <QDir>
#include <QEvent>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLabel>
#include <QOpenGLWidget>
#include <QTimer>
#include <QVBoxLayout>
#include <QWebEngineHistory>
#include <QWebEnginePage>
#include <QWebEngineProfile>
#include <QWebEngineSettings>
#include <QWebEngineUrlScheme>
#include <QWebEngineView>
#include <utility>

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

WebBrowser::WebBrowser(QWidget *parent)
    : QWidget(parent), m_busy(new QLabel(QStringLiteral("プレビューを準備中・・・"), this))
{
    m_busy->setAlignment(Qt::AlignCenter);
    m_busy->setWordWrap(true);
    m_busy->installEventFilter(this);
    // The engine draws through OpenGL, and a window already shown would be destroyed and made
    // anew to take it (it flickers and changes its identity on the screen): a hidden stand-in
    // that draws the same way makes the window take OpenGL from the start.
    // Virtual screens without OpenGL (tests, headless runs) have nothing to switch to.
    const QString platform = QGuiApplication::platformName();
    if (platform != QLatin1String("offscreen") && platform != QLatin1String("minimal")) {
        m_standIn = new QOpenGLWidget(this);
        m_standIn->hide();
    }
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_busy);
}

bool WebBrowser::eventFilter(QObject *watched, QEvent *event)
{
    // The engine starts once the label has been painted, so that the window is on screen first.
    if (watched == m_busy && event->type() == QEvent::Paint && !m_startQueued) {
        m_startQueued = true;
        QTimer::singleShot(0, this, &WebBrowser::startEngine);
    }
    return QWidget::eventFilter(watched, event);
}

void WebBrowser::startEngine()
{
    if (m_view)
        return;
    m_view = new QWebEngineView(this);
    auto *page = new QWebEnginePage(previewProfile(), m_view);
    m_view->setPage(page);
    connect(page, &QWebEnginePage::linkHovered, this, [this](const QString &url) {
        Q_EMIT StatusTextChange(url.isEmpty() ? url : addressFor(QUrl(url)));
    });
    connect(page, &QWebEnginePage::loadStarted, this,
            [this] { Q_EMIT StatusTextChange(QStringLiteral("読み込み中...")); });
    connect(page, &QWebEnginePage::loadFinished, this, [this](bool) {
        Q_EMIT StatusTextChange(QStringLiteral("完了"));
        Q_EMIT DocumentComplete(addressFor(m_view->url()));
    });
    layout()->replaceWidget(m_busy, m_view);
    m_busy->removeEventFilter(this);
    m_busy->hide();
    m_busy->deleteLater();
    m_busy = nullptr;
    delete m_standIn;
    m_standIn = nullptr;
    if (!m_pending.isNull())
        load(std::exchange(m_pending, QString()));
    Q_EMIT engineReady();
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
    if (m_view)
        load(target);
    else
        m_pending = target;
}

void WebBrowser::load(const QString &target)
{
    if (target.startsWith(QLatin1Char('/')))
        m_view->setUrl(urlForPath(target));
    else
        m_view->setUrl(QUrl::fromUserInput(target));
}

void WebBrowser::GoBack()
{
    if (m_view)
        m_view->back();
}

void WebBrowser::GoForward()
{
    if (m_view)
        m_view->forward();
}

void WebBrowser::Stop()
{
    if (m_view)
        m_view->stop();
}

void WebBrowser::Refresh()
{
    if (m_view)
        m_view->reload();
}

void WebBrowser::GoHome() { Navigate(m_home); }

QString WebBrowser::LocationURL() const { return m_view ? addressFor(m_view->url()) : QString(); }
