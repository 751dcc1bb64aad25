#include "OnePixelGif.h"
#include "ZemloTestMain.h"

#include "preview/PreviewSchemeHandler.h"
#include "platform/WebBrowser.h"

#include <QDir>
#include <QFile>
#include <QLabel>
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
QColor pixelAt(WebBrowser &browser, QPoint at)
{
    return browser.view()->grab().toImage().pixelColor(at);
}
// Loads target and waits for the pane to settle on it.
bool loaded(WebBrowser &browser, const QString &target)
{
    QSignalSpy complete(&browser, &WebBrowser::DocumentComplete);
    browser.Navigate(target);
    return complete.wait(20000);
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

    // The preview file lies apart from the page; shown under the page's address, the page's
    // relative references are found beside the page, and a link leads to its sibling. Files
    // outside it are still not read by file address.
    void showsThePageUnderItsOwnAddress()
    {
        QTemporaryDir dir;
        QVERIFY(QDir(dir.path()).mkpath("site/img") && QDir(dir.path()).mkpath("program/img"));
        const QString preview = dir.path() + "/program/zemlo.htm",
                      page = dir.path() + "/site/index.html", sibling = dir.path() + "/site/b.html";
        writeAll(dir.path() + "/site/img/logo.gif", onePixelGif(255, 0, 0));
        writeAll(dir.path() + "/program/img/logo.gif", onePixelGif(0, 255, 0));
        writeAll(dir.path() + "/outside.gif", onePixelGif(0, 0, 255));
        writeAll(preview, "<body style='margin:0'><img src=\"img/logo.gif\" width=40 height=40>"
                          "<img src=\"file://" + dir.path().toUtf8() + "/outside.gif\" width=40 "
                          "height=40><img src=\"../outside.gif\" width=40 height=40><a href=\"b.html\" style=\"display:block;height:60px\">"
                          "b</a></body>");
        writeAll(page, "<p>saved</p>");
        writeAll(sibling, "<p>sibling</p>");
        WebBrowser browser;
        browser.resize(200, 300);
        browser.show();
        browser.setPreviewAddress(preview, page);
        QSignalSpy complete(&browser, &WebBrowser::DocumentComplete);
        browser.Navigate(preview);
        QVERIFY(complete.wait(20000));
        // Reported as the preview file, which the address box never lists.
        QCOMPARE(complete.first().first().toString(), preview);
        QCOMPARE(browser.LocationURL(), preview);
        QTRY_COMPARE_WITH_TIMEOUT(pixelAt(browser, {20, 20}), QColor(Qt::red), 10000);
        QVERIFY(pixelAt(browser, {60, 20}) != QColor(Qt::blue));

        complete.clear();
        QTest::mouseClick(browser.view()->focusProxy(), Qt::LeftButton, {}, {20, 70});
        QVERIFY(complete.wait(20000));
        QCOMPARE(complete.last().first().toString(), sibling);
        QCOMPARE(shownText(browser).trimmed(), QString("sibling"));

        // Without a file of its own, the page is shown as the preview file it is.
        browser.setPreviewAddress(preview, QString());
        QVERIFY(loaded(browser, preview));
        QTRY_COMPARE_WITH_TIMEOUT(pixelAt(browser, {20, 20}), QColor(Qt::green), 10000);
    }

    // A load that fails or is refused, typed or followed from a page, says why in the pane
    // and the status text, never 完了 over a blank pane.
    void failedLoadsSayWhy_data()
    {
        QTest::addColumn<QString>("address");
        QTest::addColumn<bool>("followed");
        QTest::addColumn<QString>("message");
        const QString notFound = "ページが見つかりません。", unreachable = "接続できません。",
                      refused = "このアドレスはプレビューでは開けません。";
        QTest::newRow("missing page") << "/nonexistent-zemlo/a.html" << false << notFound;
        QTest::newRow("link to a missing page") << "missing.html" << true << notFound;
        QTest::newRow("unreachable") << "http://zemlo.invalid/" << false << unreachable;
        QTest::newRow("link to an unreachable page") << "http://zemlo.invalid/" << true
                                                      << unreachable;
        QTest::newRow("other program") << "tel:0120000000" << false << refused;
        QTest::newRow("file address") << "file:///nonexistent-zemlo/a.html" << false << notFound;
    }
    void failedLoadsSayWhy()
    {
        QFETCH(QString, address);
        QFETCH(bool, followed);
        QFETCH(QString, message);
        QTemporaryDir dir;
        const QString page = dir.path() + "/a.html";
        writeAll(page, "<body style='margin:0'><a href=\"" + address.toUtf8() +
                           "\" style=\"display:block;height:100px\">link</a></body>");
        WebBrowser browser;
        browser.resize(200, 300);
        browser.show();
        QSignalSpy status(&browser, &WebBrowser::StatusTextChange);
        QVERIFY(loaded(browser, page));
        QCOMPARE(browser.failureMessage(), QString());
        status.clear();
        if (followed)
            QTest::mouseClick(browser.view()->focusProxy(), Qt::LeftButton, {}, {20, 50});
        else
            browser.Navigate(address);
        QTRY_VERIFY_WITH_TIMEOUT(!browser.failureMessage().isEmpty(), 20000);
        QVERIFY2(browser.failureMessage().startsWith(message), qPrintable(browser.failureMessage()));
        // Empty status texts (the pointer leaving a link) leave the status bar as it is.
        QString shown;
        for (const QList<QVariant> &text : status)
            if (!text.first().toString().isEmpty())
                shown = text.first().toString();
        QCOMPARE(shown, message);
        // The next page that loads takes the message away.
        QVERIFY(loaded(browser, page));
        QCOMPARE(browser.failureMessage(), QString());
    }

    // A page that changes while it loads is loaded once more when the load ends, with the
    // newest text, however many changes came meanwhile.
    void changesDuringALoadLoadOnceMore()
    {
        QTemporaryDir dir;
        const QString page = dir.path() + "/zemlo.htm";
        writeAll(page, "<p>0</p>");
        WebBrowser browser;
        browser.resize(200, 300);
        browser.show();
        QVERIFY(loaded(browser, page));
        QSignalSpy complete(&browser, &WebBrowser::DocumentComplete);
        for (int i = 1; i <= 5; ++i) {
            writeAll(page, "<p>" + QByteArray::number(i) + "</p>");
            browser.Navigate(page);
        }
        QTRY_COMPARE_WITH_TIMEOUT(complete.count(), 2, 20000);
        QCOMPARE(shownText(browser).trimmed(), QString("5"));
        // Nothing more is under way: the next change loads at once.
        QVERIFY(!complete.wait(1000));
        writeAll(page, "<p>6</p>");
        QVERIFY(loaded(browser, page));
        QCOMPARE(shownText(browser).trimmed(), QString("6"));
    }

    // A preview too large for the engine to lay out quickly shows its first part and says so;
    // the same file reached as a page of its own is shown whole.
    void showsTheFirstPartOfAHugePreview()
    {
        QTemporaryDir dir;
        const QString preview = dir.path() + "/zemlo.htm", copy = dir.path() + "/copy.html";
        // "日本" on each line, in Shift-JIS, then a last line that lies beyond the part shown.
        QByteArray page;
        while (page.size() < 2 * PreviewSchemeHandler::shownBytes)
            page += "<p>\x93\xfa\x96\x7b" + QByteArray::number(page.size()) + "</p>\r\n";
        page += "<p>last</p>\r\n";
        writeAll(preview, page);
        writeAll(copy, page);
        WebBrowser browser;
        browser.resize(200, 300);
        browser.show();
        browser.setPreviewAddress(preview, QString());
        QVERIFY(loaded(browser, preview));
        const QString shown = shownText(browser);
        QVERIFY(shown.contains("日本0\n"));
        QVERIFY(!shown.contains("last"));
        // The cut falls at the last line end before the limit.
        QVERIFY2(shown.trimmed().endsWith(QString("プレビューはここまでです（ページ %1 KB のうち先頭 %2 KB）。")
                                                  .arg((page.size() + 1023) / 1024)
                                                  .arg(PreviewSchemeHandler::shownBytes / 1024 - 1)),
                 qPrintable(shown.right(100)));
        QVERIFY(loaded(browser, copy));
        QVERIFY(shownText(browser).trimmed().endsWith("last"));
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

    // The engine starts only once the pane is on screen; what is asked of it before then is
    // either kept for it (the last address) or ignored, and the history works once it is up.
    void waitsForTheScreenThenShowsTheLastAddressAndItsHistory()
    {
        QTemporaryDir dir;
        const QString first = dir.path() + "/first.html", second = dir.path() + "/second.html",
                      third = dir.path() + "/third.html";
        writeAll(first, "<p>first</p>");
        writeAll(second, "<p>second</p>");
        writeAll(third, "<p>third</p>");
        WebBrowser browser;
        browser.resize(200, 300);
        QSignalSpy ready(&browser, &WebBrowser::engineReady);
        QSignalSpy complete(&browser, &WebBrowser::DocumentComplete);
        browser.GoBack();
        browser.GoForward();
        browser.Stop();
        browser.Refresh();
        browser.Navigate(first);
        browser.Navigate(second);
        QTest::qWait(50);
        QVERIFY(!browser.isEngineReady());
        QVERIFY(!browser.view());
        QCOMPARE(browser.LocationURL(), QString());
        auto *busy = browser.findChild<QLabel *>();
        QVERIFY(busy);
        QCOMPARE(busy->text(), QString("プレビューを準備中・・・"));

        browser.show();
        QVERIFY(ready.wait(20000));
        QCOMPARE(ready.count(), 1);
        QVERIFY(browser.isEngineReady() && browser.view());
        QVERIFY(!browser.findChild<QLabel *>() || !browser.findChild<QLabel *>()->isVisible());
        QTRY_COMPARE_WITH_TIMEOUT(complete.count(), 1, 20000);
        QCOMPARE(complete.takeFirst().first().toString(), second);
        QCOMPARE(shownText(browser).trimmed(), QString("second"));

        browser.Navigate(third);
        QTRY_COMPARE_WITH_TIMEOUT(complete.count(), 1, 20000);
        browser.GoBack();
        QTRY_COMPARE_WITH_TIMEOUT(complete.count(), 2, 20000);
        QCOMPARE(complete.last().first().toString(), second);
        browser.GoForward();
        QTRY_COMPARE_WITH_TIMEOUT(complete.count(), 3, 20000);
        QCOMPARE(browser.LocationURL(), third);
        QCOMPARE(shownText(browser).trimmed(), QString("third"));
        browser.setHomePage(first);
        browser.GoHome();
        QTRY_COMPARE_WITH_TIMEOUT(browser.LocationURL(), first, 20000);
    }
};

ZEMLO_TEST_MAIN(TestWebBrowser)
#include "tst_webbrowser.moc"
