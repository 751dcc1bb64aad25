// The recent pages: the list file as it is read, and the File menu's list as pages are opened,
// saved and chosen.
#include "MainWindowFixture.h"
#include "ZemloTestMain.h"

#include "app/RecentPages.h"
#include "app/Settings.h"
#include "documents/Form_Editer.h"
#include "documents/OpenDocument.h"
#include "documents/SaveCommands.h"

#include <QAction>
#include <QFile>
#include <QMenu>
#include <QTemporaryDir>
#include <sys/stat.h>

namespace {
QByteArray readAll(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}
} // namespace

class TestRecentPages : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void readsTheListFile_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QStringList>("pages");
        QTest::newRow("one a line") << QByteArray("/a/x.html\n/b/ペ.html\n") << QStringList{"/a/x.html", "/b/ペ.html"};
        QTest::newRow("CR LF, blank lines, twice") << QByteArray("/a.html\r\n\r\n/a.html\n/b.html")
                                                   << QStringList{"/a.html", "/b.html"};
        QByteArray nine;
        for (int i = 1; i <= 9; ++i)
            nine += "/" + QByteArray::number(i) + "\n";
        QTest::newRow("only eight") << nine << QStringList{"/1", "/2", "/3", "/4", "/5", "/6", "/7", "/8"};
        // A damaged line costs that line only.
        QTest::newRow("not UTF-8")
            << QByteArray("/\x83y\x81[\x83W.html\n/a.html\n") << QStringList{"/a.html"};
        QTest::newRow("not a full path")
            << QByteArray("/a.html\nb.html\n") << QStringList{"/a.html"};
        QTest::newRow("control character")
            << QByteArray("/a\x01.html\n/b.html") << QStringList{"/b.html"};
        QTest::newRow("far too long") << QByteArray(100000, '/') << QStringList{};
    }
    void readsTheListFile()
    {
        QFETCH(QByteArray, file);
        QFETCH(QStringList, pages);
        QCOMPARE(RecentPages::parse(file), pages);
    }

    // Only a regular file of a list's size is read: anything else gives no list, at once.
    void readsOnlyAFile_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QStringList>("pages");
        QTest::newRow("a list through a link") << "link to list" << QStringList{"/a.html"};
        QTest::newRow("a FIFO") << "fifo" << QStringList{};
        QTest::newRow("a link to an endless device") << "link to /dev/zero" << QStringList{};
        QTest::newRow("a folder") << "folder" << QStringList{};
    }
    void readsOnlyAFile()
    {
        QFETCH(QString, kind);
        QTemporaryDir dir;
        const QString list = dir.filePath("zemlo.mru"), real = dir.filePath("real");
        QFile file(real);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("/a.html\n");
        file.close();
        if (kind == "fifo")
            QVERIFY(::mkfifo(QFile::encodeName(list).constData(), 0600) == 0);
        else if (kind == "folder")
            QVERIFY(QDir().mkdir(list));
        else
            QVERIFY(QFile::link(kind == "link to /dev/zero" ? "/dev/zero" : real, list));
        // Today a FIFO would hold the start up here, as the lock is held.
        QTEST(RecentPages::load(list), "pages");
    }

    // A page whose name holds a line break stays out of the list, which keeps the rest.
    void aLineBreakInANameCostsNoOtherPage()
    {
        MainWindowFixture f;
        f.openPage("a.html", "<p>");
        f.openPage("new\nline.html", "<p>");
        QCOMPARE(f.window->recentPages(), QStringList{f.path("a.html")});
        MDI_Main next(f.dir.path(), &f.prompts);
        QCOMPARE(next.recentPages(), QStringList{f.path("a.html")});
    }

    void opensSavesChoosesAndRemembers()
    {
        MainWindowFixture f;
        MDI_Main *w = f.window;
        QMenu *menu = w->menu("m_menu")->findChild<QMenu *>("m_mmru");
        QVERIFY(menu && !menu->menuAction()->isEnabled());
        for (int i = 1; i <= 9; ++i)
            f.openPage(QStringLiteral("p%1.html").arg(i), "<p>");
        OpenDocument(*w, Form_Editer::NewFileName);
        SaveDocumentAs(*w, f.path("saved.html"));
        QStringList expected{f.path("saved.html")};
        for (int i = 9; i >= 3; --i)
            expected << f.path(QStringLiteral("p%1.html").arg(i));
        QCOMPARE(w->recentPages(), expected);
        QCOMPARE(readAll(ProgramFiles::recentPages(f.dir.path())), RecentPages::format(expected));
        QCOMPARE(menu->actions().at(1)->text(), "&2 " + f.path("p9.html"));

        // A page that is gone is reported and leaves the list; one that is there opens.
        QFile::remove(f.path("p9.html"));
        const qsizetype open = w->documents().size();
        menu->actions().at(1)->trigger();
        QCOMPARE(f.prompts.messages().size(), 1);
        QVERIFY(f.prompts.messages().first().text.startsWith(f.path("p9.html")));
        QCOMPARE(w->documents().size(), open);
        expected.removeAt(1);
        QCOMPARE(w->recentPages(), expected);
        menu->actions().at(2)->trigger();
        QCOMPARE(w->documents().size(), open + 1);
        expected.move(2, 0);
        QCOMPARE(w->recentPages(), expected);

        // The next start finds the list; a damaged file is no list.
        MDI_Main next(f.dir.path(), &f.prompts);
        QCOMPARE(next.recentPages(), expected);
        QFile damaged(ProgramFiles::recentPages(f.dir.path()));
        QVERIFY(damaged.open(QIODevice::WriteOnly));
        damaged.write("\xff\xfe/a.html\n");
        damaged.close();
        MDI_Main afterDamage(f.dir.path(), &f.prompts);
        QCOMPARE(afterDamage.recentPages(), QStringList());
    }
};

ZEMLO_TEST_MAIN(TestRecentPages)
#include "tst_recentpages.moc"
