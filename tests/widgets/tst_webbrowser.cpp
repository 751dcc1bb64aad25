#include "ZemloTestMain.h"

#include "preview/PreviewSchemeHandler.h"
#include "widgets/WebBrowser.h"

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QSignalSpy>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QWebEngineFindTextResult>
#include <QWebEnginePage>
#include <QWebEngineView>

#include <sys/stat.h>

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
// How often text is found in the page, its frames included.
int matches(WebBrowser &browser, const QString &text)
{
    int found = -1;
    browser.view()->page()->findText(text, {}, [&](const QWebEngineFindTextResult &result) {
        found = result.numberOfMatches();
    });
    QDeadlineTimer deadline(10000);
    while (found < 0 && !deadline.hasExpired())
        QTest::qWait(20);
    browser.view()->page()->findText(QString());
    return found;
}
// A page's site in dir: secret.html above it, site/inside.html, and links out of the site
// (site/pw.html to secret.html, site/up to dir) and within it; dir's path with a slash.
QString site(const QTemporaryDir &dir)
{
    const QString top = dir.path() + "/";
    QDir(top).mkpath("site");
    QDir(top).mkpath("site2");
    writeAll(top + "secret.html", "<p>SECRET-ABOVE</p>");
    writeAll(top + "site/inside.html", "<p>SECRET-INSIDE</p>");
    writeAll(top + "site2/b.html", "x");
    QFile::link(top + "secret.html", top + "site/pw.html");
    QFile::link(top, top + "site/up");
    QFile::link(top + "site/inside.html", top + "site/same.html");
    QFile::link(top + "site", top + "link");
    return top;
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
        QTest::addColumn<QByteArray>("type");
        QTest::newRow("page") << "/p/a.html" << QByteArray("text/html");
        QTest::newRow("template") << "/p/a.tmp" << QByteArray("text/html");
        QTest::newRow("image") << "/p/a.gif" << QByteArray("image/gif");
    }
    void contentTypes()
    {
        QFETCH(QString, path);
        QTEST(PreviewSchemeHandler::contentTypeFor(path), "type");
    }

    // A load that fails or is refused, typed or followed from a page, says why in the pane
    // and the status text, never 完了 over a blank pane; the next page takes the message away.
    void failedLoadsSayWhy_data()
    {
        QTest::addColumn<QString>("address");
        QTest::addColumn<bool>("followed");
        QTest::addColumn<QString>("message");
        QTest::newRow("missing") << "/nonexistent-zemlo/a.html" << false << "ページが見つかりません。";
        QTest::newRow("link, missing") << "missing.html" << true << "ページが見つかりません。";
        QTest::newRow("file:, missing") << "file:///nonexistent-zemlo/a" << false
                                        << "ページが見つかりません。";
        QTest::newRow("link, no network") << "http://zemlo.invalid/" << true << "接続できません。";
        QTest::newRow("other program") << "tel:0120000000" << false
                                       << "このアドレスはプレビューでは開けません。";
    }
    void failedLoadsSayWhy()
    {
        QFETCH(QString, address);
        QFETCH(bool, followed);
        QFETCH(QString, message);
        QTemporaryDir dir;
        const QString page = dir.path() + "/a.html";
        writeAll(page, "<a href=\"" + address.toUtf8() + "\" style=\"display:block;height:99px\">a</a>");
        WebBrowser browser;
        browser.resize(200, 300);
        browser.show();
        QVERIFY(loaded(browser, page));
        QSignalSpy status(&browser, &WebBrowser::StatusTextChange);
        if (followed)
            QTest::mouseClick(browser.view()->focusProxy(), Qt::LeftButton, {}, {20, 50});
        else
            browser.Navigate(address);
        QTRY_VERIFY_WITH_TIMEOUT(browser.failureMessage().startsWith(message), 20000);
        // Empty texts (the pointer leaving a link) leave the status bar as it is.
        QVERIFY(status.count() > 0);
        QCOMPARE(status.last().first().toString().isEmpty() ? status.at(status.count() - 2).first()
                                                             : status.last().first(),
                 QVariant(message));
        QVERIFY(loaded(browser, page));
        QCOMPARE(browser.failureMessage(), QString());
    }

    // What a page may read by itself, of files that are there and of files that are not.
    void whatAPageMayRead_data()
    {
        QTest::addColumn<QString>("page"); // in the folder of site(), or an address
        QTest::addColumn<QString>("target");
        QTest::addColumn<bool>("may");
        QTest::newRow("beside") << "site/a.html" << "site/inside.html" << true;
        QTest::newRow("below, not there") << "site/a.html" << "site/new/b.gif" << true;
        QTest::newRow("above") << "site/a.html" << "secret.html" << false;
        QTest::newRow("a folder of a longer name") << "site/a.html" << "site2/b.html" << false;
        QTest::newRow("way up and back") << "site/a.html" << "site/../secret.html" << false;
        QTest::newRow("link to a file above") << "site/a.html" << "site/pw.html" << false;
        QTest::newRow("through a linked folder") << "site/a.html" << "site/up/secret.html" << false;
        QTest::newRow("link to a file beside") << "site/a.html" << "site/same.html" << true;
        QTest::newRow("page reached through a link") << "link/a.html" << "site/inside.html" << true;
        QTest::newRow("file: address") << "site/a.html" << "file:site/inside.html" << false;
        QTest::newRow("remote page") << "http://a.invalid/a.html" << "site/inside.html" << false;
    }
    void whatAPageMayRead()
    {
        QFETCH(QString, page);
        QFETCH(QString, target);
        QTemporaryDir dir;
        const QString top = site(dir);
        const auto url = [&top](const QString &name) {
            return name.contains("://")       ? QUrl(name)
                   : name.startsWith("file:") ? QUrl::fromLocalFile(top + name.mid(5))
                                              : WebBrowser::urlForPath(top + name);
        };
        QTEST(PreviewSchemeHandler::mayRead(url(page), url(target)), "may");
    }

    // A page shows what lies in its folder and below it, in a frame or by a refresh, and nothing
    // else, however it names it. Where the user follows a link it goes anywhere.
    void aPageReadsItsOwnFolderOnly_data()
    {
        QTest::addColumn<QString>("markup"); // %1 the folder above the page's
        QTest::addColumn<bool>("shown");
        const QString frame = "<iframe src=\"%1\"></iframe>",
                      refresh = "<meta http-equiv=\"refresh\" content=\"0;url=%1\">";
        QTest::newRow("frame, inside") << frame.arg("inside.html") << true;
        QTest::newRow("frame, file:") << frame.arg("file://%1/secret.html") << false;
        QTest::newRow("frame, link to a file") << frame.arg("pw.html") << false;
        QTest::newRow("refresh, file:") << refresh.arg("file://%1/secret.html") << false;
        QTest::newRow("refresh, own scheme") << refresh.arg("zemlo-file://%1/secret.html") << false;
        QTest::newRow("refresh, way up") << refresh.arg("../secret.html") << false;
        QTest::newRow("link followed, way up")
            << "<a href=\"../secret.html\" style=\"display:block;height:99px\">a</a>" << true;
    }
    void aPageReadsItsOwnFolderOnly()
    {
        QFETCH(QString, markup);
        QFETCH(bool, shown);
        QTemporaryDir dir;
        const QString page = site(dir) + "site/a.html";
        writeAll(page, markup.arg(dir.path()).toUtf8() + "<p>page</p>");
        WebBrowser browser;
        browser.resize(200, 300);
        browser.show();
        QVERIFY(loaded(browser, page));
        // A click that comes before the page is drawn is lost: the link is clicked until it is
        // followed (a click on the page it leads to does nothing).
        const auto click = [&] {
            QTest::mouseClick(browser.view()->focusProxy(), Qt::LeftButton, {}, {20, 50});
            return matches(browser, "SECRET") == 1;
        };
        if (markup.startsWith("<a "))
            QTRY_VERIFY_WITH_TIMEOUT(click(), 20000);
        if (shown) {
            QTRY_COMPARE_WITH_TIMEOUT(matches(browser, "SECRET"), 1, 20000);
        } else {
            // A refresh would come at once and a frame with the page; some time is left for both.
            QTest::qWait(1500);
            QCOMPARE(matches(browser, "SECRET"), 0);
        }
    }

    // What is no file (a pipe, a device) is refused, not read: reading it would never end.
    void refusesWhatIsNoFile()
    {
        QTemporaryDir dir;
        const QString pipe = dir.path() + "/pipe.html";
        QCOMPARE(::mkfifo(QFile::encodeName(pipe).constData(), 0600), 0);
        WebBrowser browser;
        browser.show();
        QVERIFY(loaded(browser, "about:blank"));
        browser.Navigate(pipe);
        QTRY_VERIFY_WITH_TIMEOUT(
            browser.failureMessage().startsWith("このアドレスはプレビューでは開けません。"), 20000);
    }

    // 中止 ends a load under way, and the status text says it has ended.
    void stopEndsTheLoad()
    {
        QTcpServer silent; // takes the connection and never answers
        QVERIFY(silent.listen(QHostAddress::LocalHost));
        WebBrowser browser;
        browser.show();
        QVERIFY(loaded(browser, "about:blank"));
        QSignalSpy status(&browser, &WebBrowser::StatusTextChange);
        browser.Navigate(QString("http://127.0.0.1:%1/").arg(silent.serverPort()));
        QTRY_VERIFY_WITH_TIMEOUT(
            !status.isEmpty() && status.last().first().toString() == "読み込み中...", 20000);
        status.clear();
        browser.Stop();
        QTRY_VERIFY_WITH_TIMEOUT(!status.isEmpty(), 20000);
        QCOMPARE(status.last().first().toString(), QString("中止しました"));
        QCOMPARE(browser.failureMessage(), QString());
    }

    // A page is read as Shift-JIS whatever charset it declares, as a phone reads it.
    void readsPagesAsShiftJisWhateverTheyDeclare()
    {
        QTemporaryDir dir;
        const QString page = dir.path() + "/a.html";
        writeAll(page, "<meta charset=\"UTF-8\"><p>\x82\xA0\x82\xA0</p>");
        WebBrowser browser;
        browser.show();
        QVERIFY(loaded(browser, page));
        QCOMPARE(shownText(browser).trimmed(), QString("ああ"));
    }

    // A page that changes while it loads is loaded once more when the load ends, with the
    // newest text, however many changes came meanwhile; then the next change loads at once.
    void changesDuringALoadLoadOnceMore()
    {
        QTemporaryDir dir;
        const QString page = dir.path() + "/zemlo.htm";
        writeAll(page, "0");
        WebBrowser browser;
        browser.show();
        QVERIFY(loaded(browser, page));
        QSignalSpy complete(&browser, &WebBrowser::DocumentComplete);
        for (int i = 1; i <= 5; ++i) {
            writeAll(page, QByteArray::number(i));
            browser.Navigate(page);
        }
        QTRY_COMPARE_WITH_TIMEOUT(complete.count(), 2, 20000);
        QCOMPARE(shownText(browser).trimmed(), QString("5"));
        QVERIFY(!complete.wait(1000));
        writeAll(page, "6");
        QVERIFY(loaded(browser, page));
        QCOMPARE(shownText(browser).trimmed(), QString("6"));
    }

    // A preview too large for the engine to lay out quickly shows its first part, cut at a
    // line end, and says so; the same file reached as a page of its own is shown whole.
    void showsTheFirstPartOfAHugePreview()
    {
        QTemporaryDir dir;
        const QString preview = dir.path() + "/zemlo.htm", copy = dir.path() + "/copy.html";
        QByteArray page; // "日本" in Shift-JIS on each line
        while (page.size() < 2 * PreviewSchemeHandler::shownBytes)
            page += "<p>\x93\xfa\x96\x7b" + QByteArray::number(page.size()) + "</p>\r\n";
        writeAll(preview, page + "last");
        writeAll(copy, page + "last");
        WebBrowser browser;
        browser.show();
        browser.setPreviewAddress(preview, QString());
        QVERIFY(loaded(browser, preview));
        const QString shown = shownText(browser).trimmed();
        QVERIFY(shown.startsWith("日本0\n") && !shown.contains("last"));
        QVERIFY2(shown.endsWith(QString("プレビューはここまでです（ページ %1 KB のうち先頭 %2 KB）。")
                                        .arg((page.size() + 4 + 1023) / 1024)
                                        .arg(PreviewSchemeHandler::shownBytes / 1024 - 1)),
                 qPrintable(shown.right(60)));
        QVERIFY(loaded(browser, copy));
        QVERIFY(shownText(browser).endsWith("last"));
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
