// The site pane: a folder opened as the site lists its pages and pictures, names what cannot be
// read, changes nothing, opens a page on Enter, and is offered again at the next start.
#include "MainWindowFixture.h"
#include "ZemloTestMain.h"

#include "documents/Form_Editer.h"
#include "site/SitePane.h"
#include "widgets/RichTextBox.h"

#include <QCheckBox>
#include <QCryptographicHash>
#include <QDirIterator>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QThread>
#include <QTreeWidget>
#include <sys/stat.h>

namespace {
// Every entry of the site with its content and time: looking must leave all of it as it was.
QStringList state(const QString &root)
{
    QStringList all;
    for (QDirIterator it(root, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden,
                         QDirIterator::Subdirectories);
         it.hasNext();) {
        const QFileInfo info(it.next());
        QByteArray bytes;
        if (info.isFile()) {
            QFile f(info.filePath());
            if (f.open(QIODevice::ReadOnly))
                bytes = QCryptographicHash::hash(f.readAll(), QCryptographicHash::Sha1);
        }
        all << info.filePath() + bytes.toHex() + info.lastModified().toString(Qt::ISODateWithMs);
    }
    all.sort();
    return all;
}

void write(const QString &path, const QByteArray &bytes)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

QTreeWidgetItem *find(QTreeWidget *tree, const QString &name)
{
    const auto items = tree->findItems(name, Qt::MatchExactly | Qt::MatchRecursive);
    return items.isEmpty() ? nullptr : items.first();
}
} // namespace

class TestSitePane : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void openSiteListsAndOpensPages()
    {
        MainWindowFixture f;
        const QString root = f.path("サイト");
        write(root + "/index.html", "<a href=\"x.html\">x</a>\r\n");
        write(root + "/日本語/ページ.html", "\x82\xA0\r\n");
        write(root + "/img/logo.gif", "GIF89a");
        write(root + "/data.bin", QByteArray("\0\1\2\xFF", 4));
        write(root + "/bad.html", "\x82\r\n\xFF");
        QCOMPARE(::mkfifo(QFile::encodeName(root + "/pipe").constData(), 0600), 0);
        QVERIFY(QFile::link(root + "/nowhere", root + "/broken.html"));
        const QByteArray settings = [&] {
            QFile s(f.path("zemlo.vrn"));
            return s.open(QIODevice::ReadOnly) ? s.readAll() : QByteArray();
        }();
        const QStringList before = state(root);

        f.prompts.answerFile(root);
        f.window->runCommand(Cmd::m_msite);
        auto *pane = f.window->findChild<SitePane *>();
        QVERIFY(pane && pane->isVisible());
        QTRY_VERIFY(!pane->busy() && pane->hasSite());

        QTreeWidgetItem *page = find(pane->tree, "ページ.html");
        QVERIFY(page && page->parent() && page->parent()->text(0) == "日本語");
        QVERIFY(find(pane->tree, "logo.gif"));
        QVERIFY(find(pane->tree, "bad.html"));
        QVERIFY(!find(pane->tree, "data.bin"));
        QVERIFY2(pane->statusLabel->text().contains("pipe") &&
                     pane->statusLabel->text().contains("broken.html"),
                 qPrintable(pane->statusLabel->text()));
        QCOMPARE(state(root), before);

        pane->tree->setCurrentItem(page);
        QTest::keyClick(pane->tree, Qt::Key_Return);
        QVERIFY(f.window->activeDocument());
        QCOMPARE(f.window->activeDocument()->HtmlName(), root + "/日本語/ページ.html");
        // A picture is not a page: Enter on it opens nothing.
        pane->tree->setCurrentItem(find(pane->tree, "logo.gif"));
        QTest::keyClick(pane->tree, Qt::Key_Return);
        QCOMPARE(f.window->documents().size(), 1);

        QFile last(SitePane::lastSiteFile(f.dir.path()));
        QVERIFY(last.open(QIODevice::ReadOnly));
        QCOMPARE(QString::fromUtf8(last.readAll()).trimmed(), root);
        QFile s(f.path("zemlo.vrn"));
        QCOMPARE(s.open(QIODevice::ReadOnly) ? s.readAll() : QByteArray(), settings);
        QVERIFY(f.close());
    }

    // The check reads an open page as its window holds it, lists problems apart from external
    // addresses, and Enter on a finding selects its link in the page.
    void linkCheckListsAndOpensFindings()
    {
        MainWindowFixture f;
        const QString root = f.path("site");
        write(root + "/index.html", "<a href=\"about.html\">\r\n<a href=\"gone.html\">\r\n");
        write(root + "/about.html", "<a href=\"http://example.jp/\">\r\n");
        f.prompts.answerFile(root);
        f.window->runCommand(Cmd::m_msite);
        auto *pane = f.window->findChild<SitePane *>();
        QTRY_VERIFY(!pane->busy() && pane->hasSite());
        // Edited and not saved: its window's text is what the check reads.
        pane->openPage("about.html");
        Form_Editer *about = f.window->activeDocument();
        about->RichTextBox1->setSelStart(0);
        about->RichTextBox1->setSelText("<img src=\"new.gif\">\n");
        pane->close();

        f.window->runCommand(Cmd::m_mslnk);
        QTRY_VERIFY(!pane->busy());
        QVERIFY(pane->isVisible());
        QTreeWidgetItem *problems = pane->results->topLevelItem(0);
        QTreeWidgetItem *external = pane->results->topLevelItem(1);
        QVERIFY(problems && external);
        QCOMPARE(problems->childCount(), 2);
        QCOMPARE(external->childCount(), 1);
        QCOMPARE(external->child(0)->text(0), "about.html");
        QCOMPARE(external->child(0)->text(1), "2");
        QCOMPARE(problems->child(0)->text(0), "about.html");
        QCOMPARE(problems->child(0)->text(2), "ファイルがありません: new.gif");
        QCOMPARE(problems->child(1)->text(0), "index.html");
        QCOMPARE(problems->child(1)->text(1), "2");

        pane->results->setFocus();
        pane->results->setCurrentItem(problems->child(1));
        QTest::keyClick(pane->results, Qt::Key_Return);
        Form_Editer *index = f.window->activeDocument();
        QCOMPARE(index->HtmlName(), root + "/index.html");
        QCOMPARE(index->RichTextBox1->SelText(), "gone.html");
        QCOMPARE(f.window->documents().size(), 2);
    }

    // Typed into the pane's find row: every page is searched, an open one as its window holds
    // it, and Enter on a match selects it in its page.
    void findInSiteSelectsTheMatch()
    {
        MainWindowFixture f;
        const QString root = f.path("site");
        write(root + "/a.html", "<p>\x83\x81\x83\x6A\x83\x85\x81\x5B</p>\r\n"); // メニュー
        write(root + "/sub/b.html", "x\r\n<a>\xD2\xC6\xAD\xB0</a>\r\n"); // ﾒﾆｭｰ
        f.prompts.answerFile(root);
        f.window->runCommand(Cmd::m_msite);
        auto *pane = f.window->findChild<SitePane *>();
        QTRY_VERIFY(!pane->busy() && pane->hasSite());
        pane->openPage("a.html");
        f.window->activeDocument()->RichTextBox1->setSelStart(0);
        f.window->activeDocument()->RichTextBox1->setSelText("\n");

        f.window->runCommand(Cmd::m_msfnd);
        QVERIFY(pane->findEdit->hasFocus());
        pane->ignoreWidth->setChecked(true);
        pane->findEdit->insert("メニュー");
        QTest::keyClick(pane->findEdit, Qt::Key_Return);
        QTRY_VERIFY(!pane->busy());
        QTreeWidgetItem *found = pane->results->topLevelItem(0);
        QVERIFY(found);
        QCOMPARE(found->childCount(), 2);
        QCOMPARE(found->child(0)->text(1), "2");
        QCOMPARE(found->child(1)->text(0), "sub/b.html");
        QCOMPARE(found->child(1)->text(2), "<a>ﾒﾆｭｰ</a>");

        QTest::keyClick(pane->results, Qt::Key_Down);
        QTest::keyClick(pane->results, Qt::Key_Return);
        QCOMPARE(f.window->activeDocument()->HtmlName(), root + "/sub/b.html");
        QCOMPARE(f.window->activeDocument()->RichTextBox1->SelText(), "ﾒﾆｭｰ");
    }

    // Work runs off the window's thread with its bar and a キャンセル that stops it; one work
    // at a time.
    void workCanBeCancelled()
    {
        MainWindowFixture f;
        auto *pane = f.window->findChild<SitePane *>();
        pane->show();
        std::optional<bool> ended;
        QVERIFY(pane->run("…", [](Site::Progress &p) {
            while (!p.stop())
                QThread::msleep(5);
        }, [&](bool cancelled) { ended = cancelled; }));
        QVERIFY(pane->busy() && pane->progressBar->isVisible() && pane->cancelButton->isVisible());
        QVERIFY(!pane->run("…", [](Site::Progress &) {}, [](bool) {}));
        QTest::mouseClick(pane->cancelButton, Qt::LeftButton);
        QTRY_VERIFY(ended.has_value());
        QVERIFY(*ended && !pane->busy() && !pane->progressBar->isVisible());
        QCOMPARE(pane->statusLabel->text(), "キャンセルしました。");
    }

    void lastSiteOfferedAtStart_data()
    {
        QTest::addColumn<QString>("recorded");
        QTest::addColumn<bool>("shown");
        QTest::newRow("there") << "site" << true;
        QTest::newRow("gone") << "gone" << false;
        QTest::newRow("not a full path") << "relative" << false;
    }
    void lastSiteOfferedAtStart()
    {
        QFETCH(QString, recorded);
        QFETCH(bool, shown);
        MainWindowFixture f({}, true, {}, [&](const QString &folder, ScriptedPrompts &) {
            write(folder + "/site/a.html", "a");
            const QString path = recorded == "relative" ? "site" : folder + "/" + recorded;
            write(SitePane::lastSiteFile(folder), path.toUtf8() + "\n");
        });
        auto *pane = f.window->findChild<SitePane *>();
        QVERIFY(pane);
        QTRY_VERIFY(!pane->busy());
        QCOMPARE(pane->isVisible(), shown);
        QCOMPARE(find(pane->tree, "a.html") != nullptr, shown);
        QCOMPARE(f.prompts.messages().size(), 0);
    }
};

ZEMLO_TEST_MAIN(TestSitePane)
#include "tst_sitepane.moc"
