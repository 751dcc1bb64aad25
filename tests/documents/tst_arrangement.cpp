#include "CommandByName.h"
#include "DocumentTestSupport.h"
#include "ZemloTestMain.h"

#include "app/Settings.h"
#include "app/TileLayout.h"
#include "documents/OpenDocument.h"

#include <QMdiArea>
#include <QMenu>
#include <memory>

using namespace doctest;

namespace {
const QString closeQuestion = QStringLiteral("データが編集されています。編集内容を保存しますか？");

QRect frame(Form_Editer *doc)
{
    return doc->parentWidget()->geometry();
}
} // namespace

class TestArrangement : public QObject
{
    Q_OBJECT
    std::unique_ptr<MainWindowFixture> f;
    ScriptedPrompts &prompts() { return f->prompts; }
    MDI_Main &main() { return *f->window; }

    QList<Form_Editer *> openPages(int count)
    {
        QList<Form_Editer *> docs;
        for (int i = 0; i < count; ++i) {
            writeFile(f->path(QString("w%1.html").arg(i)), "w");
            docs << OpenDocument(main(), f->path(QString("w%1.html").arg(i)));
        }
        return docs;
    }

private Q_SLOTS:
    void initTestCase()
    {
        f = std::make_unique<MainWindowFixture>();
        main().resize(1000, 700);
    }
    void cleanupTestCase() { f.reset(); }
    void cleanup()
    {
        closeAllQuietly(main());
        QVERIFY2(!prompts().pendingAnswers(), "a scripted answer was not asked for");
        prompts().clear();
    }

    void stripsCoverTheAreaWithoutGaps_data()
    {
        QTest::addColumn<Qt::Orientation>("stacking");
        QTest::addColumn<int>("count");
        QTest::addColumn<QList<QRect>>("places");
        const QRect area(0, 0, 300, 100);
        QTest::newRow("one") << Qt::Vertical << 1 << QList<QRect>{area};
        QTest::newRow("rows") << Qt::Vertical << 3
                              << QList<QRect>{{0, 0, 300, 33}, {0, 33, 300, 33}, {0, 66, 300, 34}};
        QTest::newRow("columns") << Qt::Horizontal << 2
                                 << QList<QRect>{{0, 0, 150, 100}, {150, 0, 150, 100}};
        QTest::newRow("none") << Qt::Vertical << 0 << QList<QRect>{};
    }
    void stripsCoverTheAreaWithoutGaps()
    {
        QFETCH(Qt::Orientation, stacking);
        QFETCH(int, count);
        QFETCH(QList<QRect>, places);
        QCOMPARE(TileStrips(QRect(0, 0, 300, 100), count, stacking), places);
    }

    void cascadeStepsAndStartsAgainAtTheTop()
    {
        const QList<QRect> places = CascadePlaces(QRect(0, 0, 300, 300), 5, 40);
        QCOMPARE(places.size(), 5);
        QCOMPARE(places.at(0), QRect(0, 0, 200, 200));
        QCOMPARE(places.at(1).topLeft(), QPoint(40, 40));
        QCOMPARE(places.at(2).topLeft(), QPoint(80, 80));
        QCOMPARE(places.at(3).topLeft(), QPoint(0, 0)); // the next would leave the area
        for (const QRect &r : places)
            QVERIFY(QRect(0, 0, 300, 300).contains(r));
    }

    void tilingPlacesTheDocumentWindows_data()
    {
        QTest::addColumn<QString>("button");
        QTest::addColumn<bool>("aboveEachOther");
        QTest::newRow("m_wt") << "" << true;
        QTest::newRow("t_winV") << "t_winV" << true;
        QTest::newRow("m_wy") << "" << false;
        QTest::newRow("t_winH") << "t_winH" << false;
    }
    void tilingPlacesTheDocumentWindows()
    {
        QFETCH(QString, button);
        QFETCH(bool, aboveEachOther);
        const QList<Form_Editer *> docs = openPages(2);
        if (button.isEmpty())
            main().runCommand(commandNamed(QTest::currentDataTag()));
        else
            main().Toolbar1_ButtonClick(button);
        const QRect area = main().mdiArea->viewport()->rect();
        const QRect a = frame(docs.at(0)), b = frame(docs.at(1));
        if (aboveEachOther) {
            QCOMPARE(a.width(), area.width());
            QCOMPARE(b.width(), area.width());
            QCOMPARE(a.top(), 0);
            QCOMPARE(b.top(), a.bottom() + 1);
            QCOMPARE(b.bottom(), area.bottom());
        } else {
            QCOMPARE(a.height(), area.height());
            QCOMPARE(b.height(), area.height());
            QCOMPARE(a.left(), 0);
            QCOMPARE(b.left(), a.right() + 1);
            QCOMPARE(b.right(), area.right());
        }
        QCOMPARE(main().activeDocument(), docs.at(1));
    }

    void cascadeOffsetsEachWindowAndKeepsTheActiveInFront()
    {
        const QList<Form_Editer *> docs = openPages(3);
        docs.at(2)->parentWidget()->showMaximized();
        main().runCommand(Cmd::m_wc);
        QVERIFY(!docs.at(2)->parentWidget()->isMaximized());
        QVERIFY(frame(docs.at(1)).left() > frame(docs.at(0)).left());
        QVERIFY(frame(docs.at(2)).top() > frame(docs.at(1)).top());
        QCOMPARE(main().activeDocument(), docs.at(2));
        QCOMPARE(main().mdiArea->subWindowList(QMdiArea::StackingOrder).last(),
                 docs.at(2)->parentWidget());
    }

    void arrangementsWithoutDocumentsDoNothing()
    {
        for (const char *item : {"m_wt", "m_wy", "m_wc", "m_wclose"})
            main().runCommand(commandNamed(item));
        QVERIFY(main().documents().isEmpty());
        QCOMPARE(prompts().count(), 0);
    }

    void closeAllWithoutChangesAsksNothing()
    {
        openPages(3);
        main().runCommand(Cmd::m_wclose);
        QVERIFY(main().documents().isEmpty());
        QCOMPARE(prompts().count(), 0);
        QVERIFY(!main().menu("m_edit")->menuAction()->isVisible());
        QVERIFY(!main().menu("m_win")->menuAction()->isVisible());
        for (const char *button : {"t_save", "t_name", "t_winV", "t_load"})
            QVERIFY2(!main().action(button)->isEnabled(), button);
    }

    void closeAllAsksAgainAfterCancelUntilNo()
    {
        Form_Editer *doc = openPages(1).first();
        type(doc, "x");
        const Msg question{doc->HtmlName() + crlf + closeQuestion, Prompt::Buttons::YesNoCancel,
                           Prompt::Icon::Information, "閉じる"};
        prompts().answer(Prompt::Answer::Cancel);
        prompts().answer(Prompt::Answer::Cancel);
        prompts().answer(Prompt::Answer::No);
        main().runCommand(Cmd::m_wclose);
        compareMessages(prompts(), {question, question, question});
        QVERIFY(main().documents().isEmpty());
        QCOMPARE(readFile(f->path("w0.html")), QByteArray("w"));
    }

    void closeAllWithANewDocumentClosesOnlyOnNo()
    {
        main().runCommand(Cmd::m_mnew);
        type(main().activeDocument(), "x");
        const Msg question{Form_Editer::NewFileName + crlf + closeQuestion,
                           Prompt::Buttons::YesNoCancel, Prompt::Icon::Information, "閉じる"};
        const Msg nameIt{"ファイル名を付けて保存してください。", Prompt::Buttons::Ok,
                         Prompt::Icon::Information, Form_Editer::NewFileName};
        prompts().answer(Prompt::Answer::Yes);
        prompts().answer(Prompt::Answer::Ok);
        prompts().answer(Prompt::Answer::No);
        main().runCommand(Cmd::m_wclose);
        compareMessages(prompts(), {question, nameIt, question});
        QVERIFY(main().documents().isEmpty());
    }

    void windowSizeToggles_data()
    {
        QTest::addColumn<Qt::WindowState>("from");
        QTest::addColumn<bool>("maximised");
        QTest::newRow("normal") << Qt::WindowNoState << true;
        QTest::newRow("maximised") << Qt::WindowMaximized << false;
        QTest::newRow("minimised") << Qt::WindowMinimized << false;
    }
    void windowSizeToggles()
    {
        QFETCH(Qt::WindowState, from);
        QFETCH(bool, maximised);
        main().setWindowState(from);
        main().runCommand(Cmd::m_mwin);
        QCOMPARE(main().windowState(), maximised ? Qt::WindowMaximized : Qt::WindowNoState);
        main().setWindowState(Qt::WindowNoState);
    }

    void exitRefusedByACloseQueryKeepsEverythingAndWritesNoSettings()
    {
        MainWindowFixture g;
        MDI_Main &w = *g.window;
        const QString settings = ProgramFiles::settings(g.dir.path());
        QFile::remove(settings);
        writeFile(g.path("x.html"), "x");
        Form_Editer *doc = OpenDocument(w, g.path("x.html"));
        OpenDocument(w, g.path("x.html"));
        type(w.activeDocument(), "edit");
        g.prompts.answer(Prompt::Answer::Cancel);
        w.runCommand(Cmd::m_mexit);
        QCOMPARE(g.prompts.count(), 1);
        QVERIFY(w.isVisible());
        QCOMPARE(w.documents().size(), 2);
        QVERIFY(!QFile::exists(settings));
        // Answered No, the program ends: documents closed, settings written.
        g.prompts.clear();
        g.prompts.answer(Prompt::Answer::No);
        w.runCommand(Cmd::m_mexit);
        QCOMPARE(g.prompts.count(), 1);
        QVERIFY(w.documents().isEmpty());
        QVERIFY(QFile::exists(settings));
        QCOMPARE(readFile(g.path("x.html")), QByteArray("x"));
        Q_UNUSED(doc);
    }
};

ZEMLO_TEST_MAIN(TestArrangement)
#include "tst_arrangement.moc"
