#include "DocumentTestSupport.h"
#include "ZemloTestMain.h"

#include "widgets/Artwork.h"
#include "app/StatusPanels.h"
#include "documents/OpenDocument.h"
#include "documents/ToolInsertion.h"
#include "fsservice/ClsFSO.h"
#include "fsservice/FsoInfoText.h"

#include <memory>

using namespace doctest;

namespace {
const QString closeQuestion = QStringLiteral("データが編集されています。編集内容を保存しますか？");
} // namespace

class TestNewCloseUndo : public QObject
{
    Q_OBJECT
    std::unique_ptr<MainWindowFixture> f;
    ScriptedPrompts &prompts() { return f->prompts; }
    MDI_Main &main() { return *f->window; }

    Form_Editer *openPage(const QString &name, const QByteArray &bytes)
    {
        return f->openPage(name, bytes);
    }

private Q_SLOTS:
    void initTestCase()
    {
        f = std::make_unique<MainWindowFixture>();
        QVERIFY(main().isChecked(Cmd::m_vtcl)); // pages open coloured
    }
    void cleanupTestCase() { f.reset(); }
    void cleanup()
    {
        closeAllQuietly(main());
        QVERIFY2(!prompts().pendingAnswers(), "a scripted answer was not asked for");
        prompts().clear();
    }

    void newOpensAnEmptyUnmodifiedDocumentWithoutAsking()
    {
        Form_Editer *modified = openPage("m.html", "m");
        type(modified, "x");
        main().runCommand(Cmd::m_mnew);
        Form_Editer *doc = main().activeDocument();
        QVERIFY(doc != modified);
        QCOMPARE(doc->HtmlName(), Form_Editer::NewFileName);
        QCOMPARE(caption(doc), Form_Editer::NewFileName);
        QCOMPARE(doc->RichTextBox1->Text(), QString());
        QCOMPARE(doc->EditerFr, 2);
        QCOMPARE(prompts().count(), 0);
    }

    void undoRightAfterOpeningEmptiesAndASecondBringsTheColouredTextBack()
    {
        Form_Editer *doc = openPage("u.html", "<b>bold</b>\r\n");
        const RichImage loaded = doc->RichTextBox1->TextRTF();
        QVERIFY(!loaded.runs.isEmpty()); // coloured
        main().runCommand(Cmd::m_eund);
        QCOMPARE(doc->RichTextBox1->Text(), QString());
        QCOMPARE(doc->EditerFr, 3);
        main().runCommand(Cmd::m_eund);
        QCOMPARE(doc->RichTextBox1->TextRTF(), loaded);
    }

    void undoAfterTheFirstEditRestoresTheLoadedText()
    {
        Form_Editer *doc = openPage("e.html", "<i>x</i>\r\n");
        const RichImage loaded = doc->RichTextBox1->TextRTF();
        type(doc, "t");
        main().runCommand(Cmd::m_eund);
        QCOMPARE(doc->RichTextBox1->TextRTF(), loaded);
    }

    void undoInAnEmptyNewDocumentLeavesItEmpty()
    {
        main().runCommand(Cmd::m_mnew);
        main().runCommand(Cmd::m_eund);
        QCOMPARE(main().activeDocument()->RichTextBox1->Text(), QString());
    }

    void undoTwiceToggles()
    {
        Form_Editer *doc = openPage("t.html", "a\r\n");
        type(doc, "1");
        type(doc, "2");
        main().runCommand(Cmd::m_eund);
        QCOMPARE(doc->RichTextBox1->Text(), QString("1a\n"));
        main().runCommand(Cmd::m_eund);
        QCOMPARE(doc->RichTextBox1->Text(), QString("12a\n"));
    }

    void undoKeepsTheCaret_data()
    {
        QTest::addColumn<int>("caret");
        QTest::addColumn<int>("expected");
        QTest::newRow("inside the shorter text") << 2 << 2;
        QTest::newRow("past the end of the shorter text") << 6 << 5;
    }
    void undoKeepsTheCaret()
    {
        QFETCH(int, caret);
        QFETCH(int, expected);
        Form_Editer *doc = openPage("c.html", "abcd\r\n"); // 5 characters with the line end
        doc->RichTextBox1->setSelStart(4);
        type(doc, "W");
        doc->RichTextBox1->setSelStart(caret);
        main().runCommand(Cmd::m_eund);
        QCOMPARE(doc->RichTextBox1->Text(), QString("abcd\n"));
        QCOMPARE(doc->RichTextBox1->SelStart(), expected);
    }

    void undoAfterAToolInsertionRemovesExactlyIt()
    {
        Form_Editer *doc = openPage("tool.html", "<p></p>\r\n");
        doc->RichTextBox1->setSelStart(3);
        type(doc, "a");
        const QString before = doc->RichTextBox1->Text();
        InsertAtCaret(main(), *doc, "#FF0000");
        QCOMPARE(doc->RichTextBox1->Text(), QString("<p>a#FF0000</p>\n"));
        main().runCommand(Cmd::m_eund);
        QCOMPARE(doc->RichTextBox1->Text(), before);
    }

    void closeAsksOnlyAboutAModifiedPage()
    {
        Form_Editer *plain = openPage("p.html", "p");
        Form_Editer *edited = openPage("q.html", "q");
        type(edited, "z");
        const Msg question{f->path("q.html") + crlf + closeQuestion, Prompt::Buttons::YesNoCancel,
                           Prompt::Icon::Information, "閉じる"};
        prompts().answer(Prompt::Answer::Cancel);
        main().runCommand(Cmd::m_mclos);
        compareMessages(prompts(), {question});
        QCOMPARE(main().documents().size(), 2);
        QCOMPARE(main().cursor().shape(), Artwork::customPointer().shape());
        prompts().answer(Prompt::Answer::No);
        main().runCommand(Cmd::m_mclos);
        QCOMPARE(main().documents(), QList<Form_Editer *>{plain});
        QCOMPARE(readFile(f->path("q.html")), QByteArray("q"));
        prompts().clear();
        main().runCommand(Cmd::m_mclos);
        QVERIFY(main().documents().isEmpty());
        QCOMPARE(prompts().count(), 0);
    }

    void fileInformationShowsTheFileAsSaved()
    {
        Form_Editer *doc = openPage("info.html", QByteArray(3 * 1024, 'a'));
        doc->RichTextBox1->setSelText(QString(8 * 1024, QLatin1Char('b')));
        main().runCommand(Cmd::m_minf);
        ClsFSO onDisk(nullptr);
        onDisk.InfoFile(f->path("info.html"));
        QCOMPARE(prompts().count(), 1);
        const MessageRequest shown = prompts().messages().first();
        QCOMPARE(shown.title, QString("ﾌｧｲﾙ 情報"));
        QCOMPARE(shown.text, fso::fileInfoText(onDisk));
        QVERIFY(shown.text.contains(fso::sizeText(3)));
    }
};

ZEMLO_TEST_MAIN(TestNewCloseUndo)
#include "tst_newcloseundo.moc"
