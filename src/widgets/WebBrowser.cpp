#include "widgets/WebBrowser.h"

#include "text/PictographMarkup.h"
#include "text/Pictographs.h"
#include "widgets/PreviewEngine.h"

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
    events.loadStarted = [this] {
        m_stopAsked = false;
        showFailure(QString());
        Q_EMIT StatusTextChange(QStringLiteral("読み込み中..."));
    };
    events.loadFinished = [this](PreviewLoad end, const QUrl &url, const QString &failure) {
        loadFinished(end, url, failure);
    };
    events.servedPage = [](const QByteArray &page) {
        return ServedPage{PictographMarkup::mapForPreview(page, pictographPicture),
                          PictographMarkup::previewCharset(page)};
    };
    m_engine.reset(create(this, previewScheme, events));
    if (!m_previewAddress.isEmpty())
        m_engine->setAlias(urlForPath(m_previewAddress), m_previewFile);
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

void WebBrowser::loadFinished(PreviewLoad end, const QUrl &url, const QString &failure)
{
    // A load cut short by the next one ends nothing: the next one is under way. One the user
    // stopped has ended.
    const bool stopAsked = std::exchange(m_stopAsked, false);
    if (end == PreviewLoad::Stopped && !stopAsked && url != m_loading)
        return;
    const QUrl again = std::exchange(m_loading, QUrl());
    if (end == PreviewLoad::Failed) {
        showFailure(failure + QStringLiteral("\n\n") + shownAddress(url));
        Q_EMIT StatusTextChange(failure);
    } else if (end == PreviewLoad::Succeeded) {
        Q_EMIT StatusTextChange(QStringLiteral("完了"));
        Q_EMIT DocumentComplete(shownAddress(m_engine->url()));
    } else if (stopAsked) {
        Q_EMIT StatusTextChange(QStringLiteral("中止しました"));
    }
    if (std::exchange(m_again, false) && !again.isEmpty() && m_engine) {
        m_loading = again;
        m_engine->load(again);
    }
}

void WebBrowser::showFailure(const QString &text)
{
    if (text.isEmpty()) {
        if (m_failure)
            m_failure->hide();
        return;
    }
    // Over the view, so that the page's history and address stay as they are.
    if (!m_failure) {
        m_failure = new QLabel(this);
        m_failure->setObjectName(QStringLiteral("failure"));
        m_failure->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        m_failure->setWordWrap(true);
        m_failure->setMargin(8);
        m_failure->setAutoFillBackground(true);
        m_failure->setTextInteractionFlags(Qt::TextSelectableByMouse);
    }
    m_failure->setText(text);
    m_failure->setGeometry(rect());
    m_failure->raise();
    m_failure->show();
}

QString WebBrowser::failureMessage() const
{
    return m_failure && !m_failure->isHidden() ? m_failure->text() : QString();
}

void WebBrowser::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    if (m_failure)
        m_failure->setGeometry(rect());
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

QString WebBrowser::shownAddress(const QUrl &url) const
{
    if (!m_previewAddress.isEmpty() && url.scheme() == QLatin1String(previewScheme) &&
        url.path() == urlForPath(m_previewAddress).path())
        return m_previewFile;
    return addressFor(url);
}

void WebBrowser::setPreviewAddress(const QString &file, const QString &address)
{
    const QString shownAs = address.isEmpty() ? file : address;
    if (file == m_previewFile && shownAs == m_previewAddress)
        return;
    m_previewFile = file;
    m_previewAddress = shownAs;
    if (m_engine)
        m_engine->setAlias(urlForPath(m_previewAddress), file);
}

void WebBrowser::Navigate(const QString &target)
{
    if (m_engine)
        load(target);
    else
        m_pending = target;
}

QUrl WebBrowser::urlFor(const QString &target) const
{
    if (!m_previewAddress.isEmpty() && target == m_previewFile)
        return urlForPath(m_previewAddress);
    if (target.startsWith(QLatin1Char('/')))
        return urlForPath(target);
    const QUrl url = QUrl::fromUserInput(target);
    // Local pages are read as the preview reads them, whichever way they were written.
    return url.isLocalFile() ? urlForPath(url.toLocalFile()) : url;
}

void WebBrowser::load(const QString &target)
{
    const QUrl url = urlFor(target);
    // Addresses for other programs (tel:, mailto:) are not the preview's to open.
    static const QStringList shown = {QString::fromLatin1(previewScheme), "http", "https", "about",
                                      "data"};
    if (!shown.contains(url.scheme())) {
        showFailure(QStringLiteral("このアドレスはプレビューでは開けません。\n\n") + target);
        Q_EMIT StatusTextChange(QStringLiteral("このアドレスはプレビューでは開けません。"));
        return;
    }
    if (!m_loading.isEmpty() && url == m_loading) {
        m_again = true;
        return;
    }
    m_again = false;
    m_loading = url;
    m_engine->load(url);
}

// Moving in the history leaves nothing to load again.
void WebBrowser::GoBack()
{
    if (!m_engine)
        return;
    m_loading.clear();
    m_again = false;
    m_engine->back();
}

void WebBrowser::GoForward()
{
    if (!m_engine)
        return;
    m_loading.clear();
    m_again = false;
    m_engine->forward();
}

void WebBrowser::Stop()
{
    if (!m_engine)
        return;
    m_again = false;
    m_stopAsked = true;
    m_engine->stop();
}

void WebBrowser::Refresh()
{
    if (!m_engine)
        return;
    m_loading.clear();
    m_again = false;
    m_engine->reload();
}

void WebBrowser::GoHome() { Navigate(m_home); }

QString WebBrowser::LocationURL() const
{
    return m_engine ? shownAddress(m_engine->url()) : QString();
}
