#pragma once

#include <QUrl>
#include <QWidget>
#include <memory>

class PreviewEngine;
enum class PreviewLoad;
class QLabel;
class QWebEngineView;

// The preview browser: a real browser engine showing local pages and web addresses.
// Local pages are served by our own URL scheme so that a page is read as Shift-JIS whatever it
// declares, as a phone reads it, scripts never run and a page reads nothing outside its folder.
//
// Loading and starting the engine takes longer than building the whole rest of the window, so
// it is loaded (a library of its own) only once the pane has first been painted; until then a
// busy label holds its place. Calls made before that are safe: the last address asked for is
// loaded as soon as the engine is up, the others do nothing.
class WebBrowser : public QWidget
{
    Q_OBJECT
public:
    // Nothing to do before the application object exists: the engine registers its scheme
    // itself when it starts.
    static void registerSchemes();

    explicit WebBrowser(QWidget *parent = nullptr);
    ~WebBrowser() override;

    // A local file path (absolute) or an address as typed. While an address is loading, asking
    // for it again loads it once more when it has finished, however often it was asked for:
    // the pane is never more than one load behind a page that changes faster than it loads.
    void Navigate(const QString &target);
    // The preview file is shown under the address of another (a path), so that what it refers
    // to relatively is found beside that; it is still reported as itself. An empty address
    // shows it under its own. Of a large preview the pane shows the first part.
    void setPreviewAddress(const QString &file, const QString &address);
    // The message the pane shows for a load that failed; empty when none is shown.
    QString failureMessage() const;
    void GoBack();
    void GoForward();
    void Stop();
    void Refresh();
    void GoHome();

    void setHomePage(const QString &target) { m_home = target; }
    QString homePage() const { return m_home; }
    // The current address as Navigate() would take it (local pages as paths); empty until the
    // engine is up.
    QString LocationURL() const;
    // Null until the engine is up.
    QWebEngineView *view() const;
    bool isEngineReady() const { return m_engine != nullptr; }

    // The URL shown for a local path, and back.
    static QUrl urlForPath(const QString &path);
    static QString addressFor(const QUrl &url);

Q_SIGNALS:
    void StatusTextChange(const QString &text);
    void DocumentComplete(const QString &address);
    // The engine is up and view() is set; emitted once.
    void engineReady();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    void startEngine();
    void load(const QString &target);
    QUrl urlFor(const QString &target) const;
    // As addressFor(), with the preview's own address reported as its file.
    QString shownAddress(const QUrl &url) const;
    void loadFinished(PreviewLoad end, const QUrl &url, const QString &failure);
    void showFailure(const QString &text);

    QLabel *m_busy = nullptr;
    std::unique_ptr<PreviewEngine> m_engine;
    bool m_startQueued = false;
    // The address asked for before the engine was up; null when none.
    QString m_pending;
    QString m_home = QStringLiteral("about:blank");
    QString m_previewFile;
    QString m_previewAddress;
    // The address last loaded by Navigate() while it loads; asked for again meanwhile.
    QUrl m_loading;
    bool m_again = false;
    // 中止 was asked for since the last load started.
    bool m_stopAsked = false;
    QLabel *m_failure = nullptr;
};
