#include "MainWindowFixture.h"
#include "ZemloTestMain.h"

#include "app/MDI_Module.h"
#include "app/Settings.h"
#include "app/StatusPanels.h"
#include "documents/Form_Editer.h"
#include "documents/OpenDocument.h"
#include "widgets/RichTextBox.h"

#include <QFile>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <sys/stat.h>

namespace {
QByteArray readAll(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}
} // namespace

// One main window for the whole run: the browser is slow to start.
class TestFormEditer : public QObject
{
    Q_OBJECT
    std::unique_ptr<MainWindowFixture> f;
    MDI_Main *w = nullptr;

    Form_Editer *open(const QString &name, const QByteArray &content)
    {
        return f->openPage(name, content);
    }

private Q_SLOTS:
    void initTestCase()
    {
        f = std::make_unique<MainWindowFixture>();
        w = f->window;
    }
    void cleanup()
    {
        for (Form_Editer *doc : w->documents()) {
            doc->setCloseAgreed(true);
            doc->parentWidget()->close();
        }
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        f->prompts.clear();
        if (!w->isChecked(Cmd::m_vrpr))
            w->runCommand(Cmd::m_vrpr);
        MDI_Module::TrackEdits = true;
    }
    void cleanupTestCase() { f.reset(); }

    void openedDocumentIsUnmodifiedAndCounts()
    {
        Form_Editer *doc = open("a.html", "<p>hi</p>");
        QCOMPARE(doc->HtmlName(), f->path("a.html"));
        QCOMPARE(doc->parentWidget()->windowTitle(), f->path("a.html"));
        QCOMPARE(doc->EditerFr, 2);
        QCOMPARE(doc->BuffBuff, doc->RichTextBox1->TextRTF());
        QVERIFY(doc->UndoBuff.isEmpty());
        doc->RichTextBox1->setSelStart(0);
        QTest::keyClick(doc->RichTextBox1, Qt::Key_X);
        QCOMPARE(doc->EditerFr, 3);
        QTest::keyClick(doc->RichTextBox1, Qt::Key_Y);
        QCOMPARE(doc->EditerFr, 3);
        QCOMPARE(doc->RichTextBox1->Text(), QString("xy<p>hi</p>"));
        // The undo slot holds the image before the last change.
        QCOMPARE(doc->UndoBuff.text.toString(), QString("x<p>hi</p>"));
    }

    void counterClimbsFromCreation()
    {
        Form_Editer doc(w);
        QCOMPARE(doc.EditerFr, 0);
        for (int expected : {1, 2, 3, 3, 3}) {
            doc.RichTextBox1->setSelText("a");
            QCOMPARE(doc.EditerFr, expected);
        }
    }

    void lessThanGivesAPairWithTheCaretBetween()
    {
        Form_Editer *doc = open("lt.html", "abcd");
        doc->RichTextBox1->setSelStart(2);
        QTest::keyClicks(doc->RichTextBox1, "<");
        QCOMPARE(doc->RichTextBox1->Text(), QString("ab<>cd"));
        QCOMPARE(doc->RichTextBox1->SelStart(), 3);
        // A selection is replaced by the pair.
        doc->RichTextBox1->setSelStart(0);
        doc->RichTextBox1->setSelLength(2);
        QTest::keyClicks(doc->RichTextBox1, "<");
        QCOMPARE(doc->RichTextBox1->Text(), QString("<><>cd"));
        QCOMPARE(doc->RichTextBox1->SelStart(), 1);
        // The full-width sign is an ordinary character.
        doc->RichTextBox1->setSelStart(6);
        QTest::sendKeyEvent(QTest::Click, doc->RichTextBox1, Qt::Key_unknown, QString("＜"),
                            Qt::NoModifier);
        QCOMPARE(doc->RichTextBox1->Text(), QString("<><>cd＜"));
    }

    void untrackedChangesLeaveImagesAndPreview()
    {
        Form_Editer *doc = open("u.html", "abc");
        const RichImage undo = doc->UndoBuff, after = doc->BuffBuff;
        const QByteArray preview = readAll(ProgramFiles::preview(f->dir.path()));
        MDI_Module::TrackEdits = false;
        doc->RichTextBox1->setSelText("zz");
        MDI_Module::TrackEdits = true;
        QCOMPARE(doc->EditerFr, 3);
        QCOMPARE(doc->UndoBuff, undo);
        QCOMPARE(doc->BuffBuff, after);
        QCOMPARE(readAll(ProgramFiles::preview(f->dir.path())), preview);
    }

    void realTimePreviewFollowsTyping()
    {
        Form_Editer *doc = open("p.html", QByteArray(3215, 'a'));
        QCOMPARE(w->StatusBar1->panelText(2), QString("3.13 KB"));
        doc->RichTextBox1->setSelStart(0);
        QTest::keyClick(doc->RichTextBox1, Qt::Key_B);
        QCOMPARE(w->StatusBar1->panelText(2), QString("3.14 KB"));
        QCOMPARE(readAll(ProgramFiles::preview(f->dir.path())).size(), 3216);
        w->runCommand(Cmd::m_vrpr);
        QTest::keyClick(doc->RichTextBox1, Qt::Key_B);
        QCOMPARE(w->StatusBar1->panelText(2), QString("3.14 KB"));
        // The preview command still refreshes on demand.
        w->runCommand(Cmd::m_vpre);
        QCOMPARE(w->StatusBar1->panelText(2), QString("3.14 KB"));
        QCOMPARE(readAll(ProgramFiles::preview(f->dir.path())).size(), 3217);
    }

    void switchingWindowsShowsEachPage()
    {
        Form_Editer *one = open("one.html", "first");
        Form_Editer *two = open("two.html", "second page");
        QCOMPARE(readAll(ProgramFiles::preview(f->dir.path())), QByteArray("second page"));
        w->mdiArea->setActiveSubWindow(qobject_cast<QMdiSubWindow *>(one->parentWidget()));
        QCOMPARE(readAll(ProgramFiles::preview(f->dir.path())), QByteArray("first"));
        w->mdiArea->setActiveSubWindow(qobject_cast<QMdiSubWindow *>(two->parentWidget()));
        QCOMPARE(readAll(ProgramFiles::preview(f->dir.path())), QByteArray("second page"));
        QCOMPARE(w->StatusBar1->panelText(2), QString("0.01 KB"));
    }

    void documentStateFollowsTheWindows()
    {
        Form_Editer *one = open("s1.html", "1");
        QVERIFY(w->menu("m_edit")->menuAction()->isVisible());
        QVERIFY(w->menu("m_win")->menuAction()->isVisible());
        for (const char *on : {"t_save", "t_tag", "t_pall", "t_winV", "m_msave", "m_vtag", "t_col",
                               "t_ime", "m_eime"})
            QVERIFY2(w->action(on)->isEnabled(), on);
        Form_Editer *two = open("s2.html", "2");
        two->parentWidget()->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(w->action("t_save")->isEnabled());
        QCOMPARE(w->activeDocument(), one);
        QCOMPARE(readAll(ProgramFiles::preview(f->dir.path())), QByteArray("1"));
        one->parentWidget()->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(!w->menu("m_edit")->menuAction()->isVisible());
        for (const char *off : {"t_save", "t_tag", "t_pall", "t_winV", "m_msave", "t_col", "t_ime"})
            QVERIFY2(!w->action(off)->isEnabled(), off);
    }

    void closeRequest_data()
    {
        QTest::addColumn<int>("editerFr");
        QTest::addColumn<bool>("newFile");
        QTest::addColumn<int>("answer");
        QTest::addColumn<bool>("closes");
        QTest::addColumn<int>("boxes");
        QTest::addColumn<bool>("written");
        QTest::newRow("unmodified asks nothing") << 2 << false << -1 << true << 0 << false;
        QTest::newRow("after template load") << 1 << false << -1 << true << 0 << false;
        QTest::newRow("cancel keeps it")
            << 3 << false << int(Prompt::Answer::Cancel) << false << 1 << false;
        QTest::newRow("no closes unsaved")
            << 3 << false << int(Prompt::Answer::No) << true << 1 << false;
        QTest::newRow("yes saves and closes")
            << 3 << false << int(Prompt::Answer::Yes) << true << 1 << true;
        QTest::newRow("yes on a new file never closes")
            << 3 << true << int(Prompt::Answer::Yes) << false << 2 << false;
        QTest::newRow("no on a new file closes")
            << 3 << true << int(Prompt::Answer::No) << true << 1 << false;
    }
    void closeRequest()
    {
        QFETCH(int, editerFr);
        QFETCH(bool, newFile);
        QFETCH(int, answer);
        Form_Editer *doc =
            newFile ? OpenDocument(*w, Form_Editer::NewFileName) : open("c.html", "old");
        doc->RichTextBox1->setText("new text");
        doc->EditerFr = Form_Editer::EditState(editerFr);
        if (answer >= 0)
            f->prompts.answer(Prompt::Answer(answer));
        QPointer<QMdiSubWindow> sub = qobject_cast<QMdiSubWindow *>(doc->parentWidget());
        sub->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QTEST(sub.isNull(), "closes");
        const auto boxes = f->prompts.messages();
        QTEST(int(boxes.size()), "boxes");
        if (!boxes.isEmpty()) {
            QCOMPARE(boxes.first().text,
                     (newFile ? Form_Editer::NewFileName : f->path("c.html")) +
                         "\r\n\r\nデータが編集されています。編集内容を保存しますか？");
            QCOMPARE(boxes.first().title, QString("閉じる"));
            QCOMPARE(boxes.first().buttons, Prompt::Buttons::YesNoCancel);
        }
        if (boxes.size() == 2) {
            QCOMPARE(boxes.at(1).text, QString("ファイル名を付けて保存してください。"));
            QCOMPARE(boxes.at(1).title, QString("新しいファイル"));
        }
        if (!newFile)
            QTEST(readAll(f->path("c.html")) == "new text", "written");
    }

    void failedWriteAtCloseKeepsTheWindow()
    {
        Form_Editer *doc = open("ro/page.html", "x");
        QVERIFY(doc); // the folder does not exist: the window is empty, the write fails
        doc->RichTextBox1->setText("precious");
        doc->EditerFr = Form_Editer::Modified;
        f->prompts.answer(Prompt::Answer::Yes);
        QPointer<QMdiSubWindow> sub = qobject_cast<QMdiSubWindow *>(doc->parentWidget());
        sub->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(!sub.isNull());
        QCOMPARE(doc->RichTextBox1->Text(), QString("precious"));
        QCOMPARE(f->prompts.messages().size(), 2);
        QVERIFY(f->prompts.messages().at(1).text.startsWith("Error 76\r\n\r\n"));
        QCOMPARE(f->prompts.messages().at(1).title, QString("Error"));
    }

    void labelAndControlFollowTheWindowSize()
    {
        Form_Editer *doc = open("r.html", "");
        doc->resize(400, 300);
        QCOMPARE(doc->RichTextBox1->geometry(), QRect(0, 0, 400, 300));
        QCOMPARE(doc->Label1->x(), 200 - doc->Label1->width() / 2);
        QCOMPARE(doc->Label1->y() + doc->Label1->height(), 150);
        QCOMPARE(doc->Label1->text(), QString("TAG解析中・・・"));
    }
};

ZEMLO_TEST_MAIN(TestFormEditer)
#include "tst_formediter.moc"
