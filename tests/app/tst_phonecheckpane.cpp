// The 機種チェック pane in the main window: the target kept between runs, the list following
// typing with the page's own images counted, and Enter on a finding.
#include "MainWindowFixture.h"
#include "ZemloTestMain.h"

#include "app/PhoneCheckPane.h"
#include "app/Settings.h"
#include "documents/Form_Editer.h"
#include "widgets/RichTextBox.h"

#include <QListWidget>
#include <QMenu>

namespace {
void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    if (f.open(QIODevice::WriteOnly))
        f.write(bytes);
}

QStringList rows(const QListWidget *list)
{
    QStringList texts;
    for (int i = 0; i < list->count(); ++i)
        texts << list->item(i)->text();
    return texts;
}
} // namespace

class TestPhoneCheckPane : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void targetIsKeptBetweenRuns()
    {
        const QString chosen = PhoneCheck::Tables::program().targets.at(6).generation;
        QString folder;
        {
            // A damaged choice falls back to every phone.
            MainWindowFixture f({}, true, {}, [](const QString &dir, ScriptedPrompts &) {
                writeFile(ProgramFiles::phoneTarget(dir), "no such phone\n");
            });
            QCOMPARE(f.window->phoneCheck()->target().label(), QStringLiteral("全機種"));
            QMenu *targets = f.window->findChild<QMenu *>("m_vtarget");
            QVERIFY(targets);
            QAction *item = nullptr;
            for (QAction *a : targets->actions())
                if (a->data().toString() == chosen)
                    item = a;
            QVERIFY(item);
            item->trigger();
            QCOMPARE(f.window->phoneCheck()->target().generation, chosen);
            QFile file(ProgramFiles::phoneTarget(f.dir.path()));
            QVERIFY(file.open(QIODevice::ReadOnly));
            QCOMPARE(file.readAll(), chosen.toUtf8() + "\n");
            folder = f.dir.path();
        }
        MainWindowFixture again({}, true, {}, [&chosen](const QString &dir, ScriptedPrompts &) {
            writeFile(ProgramFiles::phoneTarget(dir), chosen.toUtf8() + "\n");
        });
        QCOMPARE(again.window->phoneCheck()->target().generation, chosen);
        int checked = 0;
        for (QAction *a : again.window->findChild<QMenu *>("m_vtarget")->actions())
            checked += a->isChecked() && a->data().toString() == chosen ? 1 : 0;
        QCOMPARE(checked, 1);
    }

    void followsTypingAndEnterGoesToTheFinding()
    {
        MainWindowFixture f;
        writeFile(f.path("big.gif"), QByteArray(5090, 'G'));
        Form_Editer *doc = f.openPage("p.html", "<html>\r\n<img src=\"big.gif\">\r\n");
        PhoneCheckPane *pane = f.window->phoneCheck();
        f.window->runCommand(Cmd::m_vchk);
        QVERIFY(pane->isVisible());
        QVERIFY(rows(pane->list()).isEmpty());

        // Typing goes on the page; the list catches up by itself once the keys rest. The page
        // (29 bytes, then 36) and its image are then over 5 KB together.
        doc->RichTextBox1->setFocus();
        doc->RichTextBox1->setSelStart(6);
        QTest::keyClicks(doc->RichTextBox1, QStringLiteral("<blink"));
        QTRY_COMPARE(rows(pane->list()).size(), 2);
        QVERIFY2(rows(pane->list())[0].contains(u"画像 5,090 バイト"),
                 qPrintable(rows(pane->list())[0]));
        QVERIFY2(rows(pane->list())[1].startsWith(u"1 行: <blink>"),
                 qPrintable(rows(pane->list())[1]));

        f.window->runCommand(Cmd::m_vchk);
        QVERIFY(pane->list()->hasFocus());
        QTest::keyClick(pane->list(), Qt::Key_Down);
        QTest::keyClick(pane->list(), Qt::Key_Return);
        QCOMPARE(doc->RichTextBox1->SelStart(), 6);
        QVERIFY(doc->RichTextBox1->hasFocus());

        // A double-click does the same: the size finding stands at the page's start.
        QListWidget *list = pane->list();
        const QPoint first = list->visualItemRect(list->item(0)).center();
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, first);
        QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, first);
        QCOMPARE(doc->RichTextBox1->SelStart(), 0);
    }
};

ZEMLO_TEST_MAIN(TestPhoneCheckPane)
#include "tst_phonecheckpane.moc"
