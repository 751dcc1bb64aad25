#include "ZemloTestMain.h"

#include "platform/PreviewSchemeHandler.h"
#include "platform/WebBrowser.h"

#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QWebEnginePage>
#include <QWebEngineView>

namespace {
void writeAll(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    if (f.open(QIODevice::WriteOnly))
        f.write(bytes);
}
QString shownText(WebBrowser &browser)
{
    QString text;
    bool done = false;
    browser.view()->page()->toPlainText([&](const QString &t) {
        text = t;
        done = true;
    });
    QDeadlineTimer deadline(10000);
    while (!done && !deadline.hasExpired())
        QTest::qWait(20);
    return text;
}
} // namespace

class TestWebBrowser : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void contentTypes_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QByteArray>("head");
        QTest::addColumn<QByteArray>("type");
        QTest::newRow("undeclared page") << "/p/a.html" << QByteArray("<html>")
                                         << QByteArray("text/html;charset=Shift_JIS");
        QTest::newRow("template") << "/p/a.tmp" << QByteArray("x")
                                  << QByteArray("text/html;charset=Shift_JIS");
        QTest::newRow("declared charset") << "/p/a.htm"
                                          << QByteArray("<META http-equiv=\"Content-Type\" "
                                                        "content=\"text/html; charset=UTF-8\">")
                                          << QByteArray("text/html");
        QTest::newRow("image") << "/p/a.gif" << QByteArray("GIF89a") << QByteArray("image/gif");
    }
    void contentTypes()
    {
        QFETCH(QString, path);
        QFETCH(QByteArray, head);
        QTEST(PreviewSchemeHandler::contentTypeFor(path, head), "type");
    }

    void addressesOfLocalPages()
    {
        const QUrl url = WebBrowser::urlForPath("/tmp/ページ a.html");
        QCOMPARE(url.scheme(), QString("zemlo-file"));
        QCOMPARE(WebBrowser::addressFor(url), QString("/tmp/ページ a.html"));
        QCOMPARE(WebBrowser::addressFor(QUrl("https://example.com/x")),
                 QString("https://example.com/x"));
    }

    void showsAnUndeclaredPageAsShiftJisWithoutScripts()
    {
        QTemporaryDir dir;
        const QString page = dir.path() + "/zemlo.htm";
        // "日本語ｶﾅ" in Shift-JIS, and a script that must not run.
        writeAll(page, "<html><body>\x93\xfa\x96\x7b\x8c\xea\xb6\xc5<p id=s>static</p>"
                       "<script>document.getElementById('s').textContent='ran'</script>"
                       "</body></html>");
        WebBrowser browser;
        browser.resize(200, 300);
        browser.show();
        QSignalSpy complete(&browser, &WebBrowser::DocumentComplete);
        browser.Navigate(page);
        QVERIFY(complete.wait(20000));
        QCOMPARE(complete.first().first().toString(), page);
        const QString text = shownText(browser);
        QVERIFY2(text.contains(QString("日本語ｶﾅ")), qPrintable(text));
        QVERIFY2(text.contains("static") && !text.contains("ran"), qPrintable(text));
        QCOMPARE(browser.LocationURL(), page);
    }
};

ZEMLO_TEST_MAIN(TestWebBrowser)
#include "tst_webbrowser.moc"
