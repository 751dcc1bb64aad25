#include "platform/WebBrowser.h"

#include "platform/PictographMarkup.h"
#include "platform/Pictographs.h"
#include "platform/PreviewEngine.h"

#include <QCoreApplication>
#include <QDir>
#include <QEvent>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QLabel>
#include <QLibrary>
#include <QTimer>
#include <QVBoxLayout>
#include <utility>

namespace {
const QByteArray previewScheme = QByteArrayLiteral("zemlo-file");

// The engine's library lies beside the program; programs elsewhere (the bench) have it linked.
CreatePreviewEngine engineEntry()
{
    static const CreatePreviewEngine entry = [] {
        const QString names[] = {QCoreApplication::applicationDirPath() + "/libzemlo_preview",
                                 QStringLiteral("zemlo_preview")};
        for (const QString &name : names) {
            QLibrary library(name);
            if (auto f = reinterpret_cast<CreatePreviewEngine>(library.resolve(ZEMLO_PREVIEW_ENTRY)))
                return f;
        }
        return CreatePreviewEngine(nullptr);
    }();
    return entry;
}
// The pictures beside the program, each read once.
QByteArray pictographPicture(const Pictograph &pictograph)
{
    static QHash<char16_t, QByteArray> pictures;
    auto it = pictures.find(pictograph.sjis);
    if (it == pictures.end()) {
        QFile file(Pictographs::imagePath(QCoreApplication::applicationDirPath(), pictograph));
        it = pictures.insert(pictograph.sjis,
                             file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray());
    }
    return *it;
}
} // namespace

// The engine registers the scheme itself when it starts, which is late enough for it.
void WebBrowser::registerSchemes() {}

WebBrowser::WebBrowser(QWidget *parent)
    : QWidget(parent), m_busy(new QLabel(QStringLiteral("プレビューを準備中・・・"), this))
{
    m_busy->setAlignment(Qt::AlignCenter);
    m_busy->setWordWrap(true);
    m_busy->installEventFilter(this);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_busy);
}

// The engine goes first, while this is still whole: its view may report as it closes.
WebBrowser::~WebBrowser() { m_engine.reset(); }

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
    if (m_engine)
        return;
    const CreatePreviewEngine create = engineEntry();
    if (!create) {
        m_busy->setText(QStringLiteral("プレビューを表示できません"));
        return;
    }
    PreviewEngineEvents events;
    events.linkHovered = [this](const QString &url) {
        Q_EMIT StatusTextChange(url.isEmpty() ? url : addressFor(QUrl(url)));
    };
    events.loadStarted = [this] { Q_EMIT StatusTextChange(QStringLiteral("読み込み中...")); };
    events.loadFinished = [this] {
        Q_EMIT StatusTextChange(QStringLiteral("完了"));
        Q_EMIT DocumentComplete(addressFor(m_engine->url()));
    };
    events.servedPage = [](const QByteArray &page) {
        return PictographMarkup::mapForPreview(page, pictographPicture);
    };
    m_engine.reset(create(this, previewScheme, events));
    // The label's layout item comes back to us to delete.
    delete layout()->replaceWidget(m_busy, m_engine->widget());
    m_busy->removeEventFilter(this);
    m_busy->hide();
    m_busy->deleteLater();
    m_busy = nullptr;
    if (!m_pending.isNull())
        load(std::exchange(m_pending, QString()));
    Q_EMIT engineReady();
}

QWebEngineView *WebBrowser::view() const { return m_engine ? m_engine->view() : nullptr; }

QUrl WebBrowser::urlForPath(const QString &path)
{
    QUrl url;
    url.setScheme(QString::fromLatin1(previewScheme));
    url.setPath(QDir::fromNativeSeparators(QFileInfo(path).absoluteFilePath()));
    return url;
}

QString WebBrowser::addressFor(const QUrl &url)
{
    if (url.scheme() == QLatin1String(previewScheme) || url.isLocalFile())
        return url.isLocalFile() ? url.toLocalFile() : url.path();
    return url.toString();
}

void WebBrowser::Navigate(const QString &target)
{
    if (m_engine)
        load(target);
    else
        m_pending = target;
}

void WebBrowser::load(const QString &target)
{
    if (target.startsWith(QLatin1Char('/')))
        m_engine->load(urlForPath(target));
    else
        m_engine->load(QUrl::fromUserInput(target));
}

void WebBrowser::GoBack()
{
    if (m_engine)
        m_engine->back();
}

void WebBrowser::GoForward()
{
    if (m_engine)
        m_engine->forward();
}

void WebBrowser::Stop()
{
    if (m_engine)
        m_engine->stop();
}

void WebBrowser::Refresh()
{
    if (m_engine)
        m_engine->reload();
}

void WebBrowser::GoHome() { Navigate(m_home); }

QString WebBrowser::LocationURL() const { return m_engine ? addressFor(m_engine->url()) : QString(); }
