#include "FakeHost.h"
#include "ZemloTestMain.h"

#include "documents/DocumentCommands.h"
#include "documents/Form_Editer.h"
#include "widgets/RichTextBox.h"
#include "tools/TagColor.h"
#include "tools/TagColoring.h"
#include "tools/TextConversion.h"

#include <QFile>
#include <QMdiSubWindow>

using Answer = Prompt::Answer;

namespace {
const QString original = QStringLiteral("<b>ガイド</b>ＡＢＣ　１２３<font>ひらがな漢字");
const QString narrowed = QStringLiteral("<b>ｶﾞｲﾄﾞ</b>ABC 123<font>ひらがな漢字");
} // namespace

class TestTextConversion : public QObject
{
    Q_OBJECT

    std::unique_ptr<FakeHost> host;
    Form_Editer *doc = nullptr;
    RichImage before;

private Q_SLOTS:
    void initTestCase()
    {
        // The conversion, the colouring pass it runs and Undo, without the main window.
        host = std::make_unique<FakeHost>();
        InstallDocumentCommands(*host);
        InstallTagColoring(*host);
        InstallTextConversion(*host);
        doc = host->openPage("page.html", "");
        QVERIFY(doc);
    }

    // Each test starts from a coloured, unmodified page whose last snapshot is its content.
    void init()
    {
        host->setChecked(Cmd::m_vtcl, true);
        doc->RichTextBox1->setText(original);
        host->runCommand(Cmd::m_vtag);
        doc->RichTextBox1->setSelStart(5);
        doc->BuffBuff = doc->RichTextBox1->TextRTF();
        doc->UndoBuff = RichImage{};
        doc->EditerFr = Form_Editer::Unmodified;
        before = doc->RichTextBox1->TextRTF();
        host->script.clear();
    }

    void cleanupTestCase() { host.reset(); }

    void cancelLeavesTheDocumentAlone()
    {
        host->script.answer(Answer::Cancel);
        host->runCommand(Cmd::m_ezth);
        const QList<MessageRequest> shown = host->script.messages();
        QCOMPARE(shown.size(), 1);
        QCOMPARE(shown[0].text, QString("全角カタカナを半角ｶﾀｶﾅへ変換します。"));
        QCOMPARE(shown[0].title, QString("変換"));
        QCOMPARE(shown[0].icon, Prompt::Icon::Information);
        QCOMPARE(shown[0].buttons, Prompt::Buttons::OkCancel);
        QVERIFY(doc->RichTextBox1->TextRTF() == before);
        QCOMPARE(doc->EditerFr, 2);
        QVERIFY(doc->UndoBuff.isEmpty());
    }

    void okNarrowsThenColoursWhenSwitchedOn_data()
    {
        QTest::addColumn<bool>("coloring");
        QTest::newRow("colouring on") << true;
        QTest::newRow("colouring off") << false;
    }

    void okNarrowsThenColoursWhenSwitchedOn()
    {
        QFETCH(bool, coloring);
        host->setChecked(Cmd::m_vtcl, coloring);
        host->script.answer(Answer::Ok);
        host->runCommand(Cmd::m_ezth);
        RichTextBox *box = doc->RichTextBox1;
        QCOMPARE(box->Text(), narrowed);
        QCOMPARE(doc->EditerFr, 3);
        const int font = int(narrowed.indexOf("<font>"));
        const quint32 plain = box->colorAt(int(narrowed.indexOf(u'ひ')));
        if (coloring) {
            QCOMPARE(box->colorAt(0), TagColors::Block);
            QCOMPARE(box->colorAt(font + 5), TagColors::Font);
            QCOMPARE(box->SelStart(), 0);
        } else {
            // The replacement dropped every colour and nothing coloured them again.
            QCOMPARE(box->colorAt(0), plain);
            QCOMPARE(box->colorAt(font + 5), plain);
        }
    }

    void undoImageHoldsTheTextBeforeTheConversion()
    {
        host->script.answer(Answer::Ok);
        host->runCommand(Cmd::m_ezth);
        QCOMPARE(doc->RichTextBox1->Text(), narrowed);
        QVERIFY(doc->UndoBuff == before);
        // Undo brings the page back as it was, colours included.
        host->runCommand(Cmd::m_eund);
        QCOMPARE(doc->RichTextBox1->Text(), original);
        QCOMPARE(doc->RichTextBox1->colorAt(0), TagColors::Block);
    }

    void charactersLeftAloneKeepTheirBytes()
    {
        // ≒ as NEC row 13 (87 90), ガ, ＂ as NEC-selected IBM (EE FC), 纊 as NEC-selected
        // IBM (ED 40), an LF: the narrowed ones are new characters, the rest keep their bytes.
        QFile page(host->path("twins.html"));
        QVERIFY(page.open(QIODevice::WriteOnly));
        page.write(QByteArray::fromHex("87 90 83 4B EE FC ED 40 0A"));
        page.close();
        doc->RichTextBox1->LoadFile(page.fileName());
        host->script.answer(Answer::Ok);
        host->runCommand(Cmd::m_ezth);
        QCOMPARE(doc->RichTextBox1->fileBytes(), QByteArray::fromHex("87 90 B6 DE 22 ED 40 0A"));
    }

    void withoutDocumentOkChangesNothing()
    {
        host->script.answer(Answer::No); // the modified page is not saved
        QVERIFY(doc->parentWidget()->close());
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(!host->activeDocument());
        host->script.clear();
        // The menu greys the item without a page; the command itself must still hold.
        host->script.answer(Answer::Ok);
        host->runCommand(Cmd::m_ezth);
        QCOMPARE(host->script.messages().size(), 1);
        QVERIFY(host->documents().isEmpty());
    }
};

ZEMLO_TEST_MAIN(TestTextConversion)
#include "tst_textconversion.moc"
