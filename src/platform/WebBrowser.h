#pragma once

#include <QUrl>
#include <QWidget>

class QWebEngineView;
class QWebEngineProfile;

// The preview browser: a real browser engine showing local pages and web addresses.
// Local pages are served by our own URL scheme so that a page without a declared charset is
// read as Shift-JIS, scripts never run and local pages cannot reach other content.
class WebBrowser : public QWidget
{
    Q_OBJECT
public:
    // Must run before the application object exists.
    static void registerSchemes();

    explicit WebBrowser(QWidget *parent = nullptr);
    ~WebBrowser() override;

    // A local file path (absolute) or an address as typed.
    void Navigate(const QString &target);
    void GoBack();
    void GoForward();
    void Stop();
    void Refresh();
    void GoHome();

    void setHomePage(const QString &target) { m_home = target; }
    QString homePage() const { return m_home; }
    // The current address as Navigate() would take it (local pages as paths).
    QString LocationURL() const;
    QWebEngineView *view() const { return m_view; }

    // The URL shown for a local path, and back.
    static QUrl urlForPath(const QString &path);
    static QString addressFor(const QUrl &url);

Q_SIGNALS:
    void StatusTextChange(const QString &text);
    void DocumentComplete(const QString &address);

private:
    QWebEngineView *m_view;
    QString m_home = QStringLiteral("about:blank");
};
