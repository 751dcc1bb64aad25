// The site's UTF-8 export: each page as the single page's export writes it (its pictures reached
// from its folder), other files as they are, the pictures once at the top, and on any failure or
// a cancel nothing at all.
#include "MainWindowFixture.h"
#include "ZemloTestMain.h"

#include "documents/Form_Editer.h"
#include "documents/OpenDocument.h"
#include "site/SitePane.h"
#include "text/Pictographs.h"
#include "text/SiteExport.h"

#include <QDirIterator>
#include <QTreeWidget>

namespace {
// A pictograph with an emoji, one without (a picture), a kept invalid byte, a pictograph in a
// title (its name), LF and mixed line ends, a declared charset and none.
const QList<std::pair<QString, QByteArray>> SitePages = {
    {"index.html", "<head><meta charset=Shift_JIS></head>\r\n\xF8\x9F&#63861;\x82\r\nx"},
    {"sub/b.html", "<title>&#63861;</title>\n<p>\x93\xFA\x96\x7B</p>\r\n&#63861;\n"},
    {"sub/deep/c.htm", "&#63861;<img src=\"../../img/logo.gif\">"},
    {"empty.html", ""},
};

QByteArray readFile(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void write(const QString &path, const QByteArray &bytes)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

QStringList entries(const QString &root)
{
    QStringList all;
    for (QDirIterator it(root, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden,
                         QDirIterator::Subdirectories);
         it.hasNext();)
        all << QDir(root).relativeFilePath(it.next());
    all.sort();
    return all;
}
} // namespace

class TestSiteExport : public QObject
{
    Q_OBJECT
    MainWindowFixture f;
    QString root;
    QString picture;

    SitePane *openSite()
    {
        auto *pane = f.window->findChild<SitePane *>();
        f.prompts.answerFile(root);
        f.window->runCommand(Cmd::m_msite);
        if (!QTest::qWaitFor([pane] { return !pane->busy(); }))
            return nullptr;
        return pane;
    }

private Q_SLOTS:
    void initTestCase()
    {
        root = f.path("site");
        for (const auto &[name, bytes] : SitePages)
            write(root + "/" + name, bytes);
        write(root + "/img/logo.gif", QByteArray("GIF89a\0\xFF", 8));
        write(root + "/notes.txt", "\x82\xA0");
        picture = Pictographs::bySjis(0xF975)->imageFile();
        QDir().mkpath(QFileInfo(f.path(picture)).absolutePath());
        QVERIFY(QFile::copy(QString(ZEMLO_SOURCE_DATA "/") + picture, f.path(picture)));
    }

    void cleanup()
    {
        f.prompts.clear();
        QDir(f.path("copy")).removeRecursively();
    }

    // Every page of the copy is what the single page's export writes for it, but for the way
    // up to the pictures from a page in a folder.
    void pagesAsTheSinglePageExportWritesThem()
    {
        SitePane *pane = openSite();
        QVERIFY(pane);
        const QStringList before = entries(root);
        f.prompts.answerFile(f.path("copy"));
        f.window->runCommand(Cmd::m_msutf);
        QTRY_VERIFY(!pane->busy());
        QCOMPARE(f.prompts.messages().size(), 1);
        const MessageRequest report = f.prompts.messages().first();
        QVERIFY2(report.text.startsWith("サイトを UTF-8 で書き出しました。\r\n" + f.path("copy") +
                                        "\r\n\r\nUTF-8 にしたページ: 4\r\nそのままコピーしたファイル: 2\r\n"),
                 qPrintable(report.text));
        QCOMPARE(report.list, (QStringList{"index.html: U+FFFD にした不正なバイトと外字 1（2 行目）",
                                           "sub/b.html: 名前にした絵文字 1"}));
        QCOMPARE(entries(root), before);
        QCOMPARE(entries(f.path("copy")),
                 (QStringList{"emoji", "emoji/63861.gif", "empty.html", "img", "img/logo.gif",
                              "index.html", "notes.txt", "sub", "sub/b.html", "sub/deep",
                              "sub/deep/c.htm"}));
        QCOMPARE(readFile(f.path("copy/img/logo.gif")), readFile(root + "/img/logo.gif"));
        QCOMPARE(readFile(f.path("copy/notes.txt")), readFile(root + "/notes.txt"));
        QCOMPARE(readFile(f.path("copy/emoji/63861.gif")), readFile(f.path(picture)));

        for (const auto &[name, bytes] : SitePages) {
            Form_Editer *doc = OpenDocument(*f.window, root + "/" + name);
            QVERIFY(doc);
            f.prompts.clear();
            f.prompts.answerFile(f.path("single.html"));
            f.window->runCommand(Cmd::m_mutf8);
            QByteArray single = readFile(f.path("single.html"));
            single.replace("src=\"emoji/", "src=\"" + QByteArray("../").repeated(name.count('/')) +
                                               "emoji/");
            QCOMPARE(readFile(f.path("copy/" + name)), single);
            doc->close();
        }
        f.prompts.clear();
        QDir(f.path("copy")).removeRecursively();
    }

    // Refused before a file is written, or undone whole: the target stays as it was and no
    // hidden work folder is left beside it.
    void failuresLeaveNothing_data()
    {
        QTest::addColumn<QString>("target");
        QTest::addColumn<bool>("pictureThere");
        QTest::addColumn<QString>("message"); // its start
        QTest::newRow("inside the site") << "site/out" << true << "書き出し先がサイトのフォルダの中";
        QTest::newRow("not empty") << "full" << true << "書き出し先が空のフォルダではありません";
        QTest::newRow("picture missing") << "copy" << false << "";
        QTest::newRow("a file") << "notes" << true << "書き出し先が空のフォルダではありません";
    }
    void failuresLeaveNothing()
    {
        QFETCH(QString, target);
        QFETCH(bool, pictureThere);
        QFETCH(QString, message);
        write(f.path("full/keep.txt"), "keep");
        write(f.path("notes"), "keep");
        const QStringList site = entries(root);
        const QStringList program = entries(f.dir.path());
        if (!pictureThere)
            QVERIFY(QFile::rename(f.path(picture), f.path("away.gif")));
        SitePane *pane = openSite();
        QVERIFY(pane);
        f.prompts.answerFile(f.path(target));
        f.window->runCommand(Cmd::m_msutf);
        QTRY_VERIFY(!pane->busy());
        if (!pictureThere)
            QVERIFY(QFile::rename(f.path("away.gif"), f.path(picture)));
        QCOMPARE(f.prompts.messages().size(), 1);
        const MessageRequest shown = f.prompts.messages().first();
        QVERIFY2(shown.text.startsWith(message) && shown.text.endsWith("何も書き出していません。") &&
                     shown.icon == Prompt::Icon::Exclamation,
                 qPrintable(shown.text));
        QCOMPARE(entries(root), site);
        QCOMPARE(entries(f.dir.path()), program);
        f.prompts.clear();
    }

    // A cancel removes what was written.
    void cancelledLeavesNothing()
    {
        const Site::Listing site = Site::walk(root);
        Site::Progress progress;
        const QStringList program = entries(f.dir.path());
        progress.cancelled = true;
        const SiteExport::Result result =
            SiteExport::write(site, f.path("copy"), f.dir.path(), &progress);
        QVERIFY(result.cancelled && !result.failure);
        QCOMPARE(entries(f.dir.path()), program);
    }
};

ZEMLO_TEST_MAIN(TestSiteExport)
#include "tst_siteexport.moc"
