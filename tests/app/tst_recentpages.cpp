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
        QTest::newRow("not UTF-8") << QByteArray("/a.html\n/\x83y\x81[\x83W.html\n") << QStringList{};
        QTest::newRow("not a full path") << QByteArray("/a.html\nb.html\n") << QStringList{};
        QTest::newRow("control character") << QByteArray("/a\x01.html\n") << QStringList{};
        QTest::newRow("far too long") << QByteArray(100000, '/') << QStringList{};
    }
    void readsTheListFile()
    {
        QFETCH(QByteArray, file);
        QFETCH(QStringList, pages);
        QCOMPARE(RecentPages::parse(file), pages);
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
