#include "DocumentTestSupport.h"
#include "ZemloTestMain.h"

#include "widgets/Artwork.h"
#include "app/Settings.h"
#include "app/StatusPanels.h"
#include "documents/OpenDocument.h"
#include "text/CrLines.h"

#include "NoFile.h"
#include "platform/ZError.h"

#include <QDir>
#include <QDropEvent>
#include <QMimeData>
#include <fcntl.h>
#include <memory>
#include <unistd.h>

using namespace doctest;

namespace {
const QString closeQuestion = QStringLiteral("データが編集されています。編集内容を保存しますか？");

// What the user drops onto the main window, in list order.
void drop(MDI_Main &main, const QStringList &paths)
{
    QVERIFY(main.acceptDrops());
    QMimeData data;
    QList<QUrl> urls;
    for (const QString &path : paths)
        urls << QUrl::fromLocalFile(path);
    data.setUrls(urls);
    // The drop reaches only the widget that took the drag when it entered.
    QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(&main, &enter);
    QVERIFY(enter.isAccepted());
    QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(&main, &drop);
}

QStringList names(const QList<Form_Editer *> &docs)
{
    QStringList out;
    for (Form_Editer *d : docs)
        out << d->HtmlName();
    return out;
}

} // namespace

class TestOpening : public QObject
{
    Q_OBJECT
    std::unique_ptr<MainWindowFixture> f;
    ScriptedPrompts &prompts() { return f->prompts; }
    MDI_Main &main() { return *f->window; }

private Q_SLOTS:
    void initTestCase() { f = std::make_unique<MainWindowFixture>(); }
    void cleanupTestCase() { f.reset(); }
    void cleanup()
    {
        closeAllQuietly(main());
        QVERIFY2(!prompts().pendingAnswers(), "a scripted answer was not asked for");
        prompts().clear();
    }

    void templateLinesEndAtCrOrCrLf_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("lines");
        QTest::newRow("empty") << "" << QStringList{};
        QTest::newRow("no final line end") << "a\r\nb" << QStringList{"a", "b"};
        QTest::newRow("CR only") << "a\rb\r" << QStringList{"a", "b"};
        QTest::newRow("empty last line") << "a\r\n\r\n" << QStringList{"a", ""};
        QTest::newRow("one empty line") << "\r\n" << QStringList{""};
        QTest::newRow("CR CR LF") << "a\r\r\nb" << QStringList{"a", "", "b"};
        QTest::newRow("LF stays in the line") << "a\nb" << QStringList{"a\nb"};
    }
    void templateLinesEndAtCrOrCrLf()
    {
        QFETCH(QString, text);
        QFETCH(QStringList, lines);
        const QByteArray bytes = text.toLatin1();
        QStringList read;
        for (QByteArrayView line : SplitCrLines(bytes))
            read << QString::fromLatin1(line);
        QCOMPARE(read, lines);
    }

    void openedDocumentIsUnmodifiedAndPreviewed()
    {
        writeFile(f->path("page.html"), "<p>\x93\xfa\x96\x7b</p>\r\n");
        prompts().answerFile(f->path("page.html"));
        main().runCommand(Cmd::m_mopen);
        Form_Editer *doc = main().activeDocument();
        QVERIFY(doc);
        QCOMPARE(doc->HtmlName(), f->path("page.html"));
        QCOMPARE(caption(doc), f->path("page.html"));
        QCOMPARE(doc->RichTextBox1->Text(), QString::fromUtf8("<p>日本</p>\n"));
        QCOMPARE(doc->EditerFr, 2);
        QCOMPARE(doc->BuffBuff, doc->RichTextBox1->TextRTF());
        QCOMPARE(readFile(ProgramFiles::preview(f->dir.path())),
                 QByteArray("<p>\x93\xfa\x96\x7b</p>\r\n"));
        QCOMPARE(main().StatusBar1->panelText(2), QString("0.01 KB"));
        QCOMPARE(main().cursor().shape(), Artwork::customPointer().shape());
        const FileDialogRequest &dialog = prompts().shown().first().file;
        QVERIFY(dialog.kind == FileDialogKind::Open);
        QVERIFY(dialog.overwritePrompt);
        QCOMPARE(dialog.nameFilters,
                 (QStringList{"HTML,HTM (*.html *.htm)", "JSP,ASP (*.jsp *.asp)", "LBI (*.lbi)",
                              "*.* (*)"}));
    }

    void dialogSettingsCarryOverAndCancelOpensNothing()
    {
        writeFile(f->path("t.tmp"), "");
        prompts().answerFile(f->path("t.tmp"));
        main().runCommand(Cmd::m_mtemp);
        const FileDialogRequest templ = prompts().shown().first().file;
        QCOMPARE(templ.initialFolder, f->dir.path());
        QCOMPARE(templ.nameFilters, (QStringList{"TMP (*.tmp)", "*.* (*)"}));
        closeAllQuietly(main());
        prompts().clear();
        // Open sets no name and no folder: it starts where the template dialog ended.
        prompts().answerFile(std::nullopt);
        main().runCommand(Cmd::m_mopen);
        const FileDialogRequest open = prompts().shown().first().file;
        QCOMPARE(open.initialFolder, f->dir.path());
        QCOMPARE(open.fileName, f->path("t.tmp"));
        QVERIFY(main().documents().isEmpty());
        QCOMPARE(prompts().count(), 1);
    }

    // What is no page, or a page whose read fails, is refused with a message naming it
    // before anything waits on it, and opens no window; Reload keeps the text.
    void noPageIsRefused_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("via");
        for (const char *kind : {"folder", "FIFO", "socket", "device", "link to a folder",
                                 "link to a FIFO", "link to a socket", "link to a device",
                                 "I/O error"})
            QTest::newRow(kind) << QString(kind) << QString("open");
        for (const char *via : {"drop", "command line", "template", "reload"})
            QTest::newRow(qPrintable(QString("FIFO, ") + via)) << QString("FIFO") << QString(via);
        QTest::newRow("I/O error, reload") << QString("I/O error") << QString("reload");
    }
    void noPageIsRefused()
    {
        QFETCH(QString, kind);
        QFETCH(QString, via);
        QTemporaryDir dir;
        const QString path = dir.path() + "/page.html";
        Form_Editer *reloaded = nullptr;
        if (via == "reload") {
            writeFile(path, "old\r\n");
            reloaded = OpenDocument(main(), path);
            type(reloaded, "edits ");
            QVERIFY(QFile::remove(path));
        }
        NoFile noFile; // reading /proc/self/mem at address 0 fails
        QVERIFY(kind == "I/O error" ? QFile::link("/proc/self/mem", path) : noFile.make(kind, path));
        const qsizetype windows = main().documents().size();
        std::unique_ptr<MainWindowFixture> started;
        if (via == "open" || via == "template")
            prompts().answerFile(path);
        if (via == "reload")
            prompts().answer(Prompt::Answer::Ok);
        if (via == "drop")
            drop(main(), {path});
        else if (via == "command line")
            started = std::make_unique<MainWindowFixture>(QByteArray(), true,
                                                          QStringList{"zemlo", "--open", path});
        else
            main().runCommand(via == "open" ? Cmd::m_mopen : via == "template" ? Cmd::m_mtemp : Cmd::m_mrel);
        const MessageRequest shown = (started ? started->prompts : prompts()).messages().last();
        QVERIFY2(shown.text.startsWith("Zuvo: 75" + crlf) && shown.text.contains(path),
                 qPrintable(shown.text));
        QCOMPARE(shown.title, ZError::describe(75));
        if (reloaded) {
            QCOMPARE(reloaded->RichTextBox1->Text(), QString("edits old\n"));
            QCOMPARE(reloaded->EditerFr, 3);
        } else if (started) {
            QVERIFY(started->window->documents().isEmpty());
        } else {
            // A template's new page stays, empty, as for any template that cannot be read.
            QCOMPARE(main().documents().size(), windows + (via == "template" ? 1 : 0));
        }
    }

    // A page named in bytes that are not text in the locale's encoding reaches the program
    // with replacement characters in their place: refused with a message naming it, rather
    // than opened as an empty window of another name.
    void nameNotTextIsRefused()
    {
        QTemporaryDir dir;
        const QByteArray name = QFile::encodeName(dir.path()) + "/\x83y\x81[\x83W.html";
        const int fd = ::open(name.constData(), O_WRONLY | O_CREAT, 0644);
        QVERIFY(fd >= 0 && ::write(fd, "<p>\r\n", 5) == 5);
        ::close(fd);
        const QString path = QFile::decodeName(name);
        const qsizetype windows = main().documents().size();
        prompts().answerFile(path);
        main().runCommand(Cmd::m_mopen);
        QCOMPARE(main().documents().size(), windows);
        const MessageRequest shown = prompts().messages().last();
        QVERIFY2(shown.text.startsWith("Zuvo: 53" + crlf) && shown.text.contains(path),
                 qPrintable(shown.text));
    }

    void sameFileTwiceGivesIndependentWindows()
    {
        writeFile(f->path("twice.html"), "one\r\n");
        Form_Editer *first = OpenDocument(main(), f->path("twice.html"));
        Form_Editer *second = OpenDocument(main(), f->path("twice.html"));
        QVERIFY(first != second);
        QCOMPARE(caption(first), caption(second));
        type(second, "2");
        main().StatusBar1->setPanelText(2, "0.01 KB");
        prompts().answer(Prompt::Answer::Ok);
        main().runCommand(Cmd::m_msave);
        QCOMPARE(readFile(f->path("twice.html")), QByteArray("2one\r\n"));
        QCOMPARE(first->RichTextBox1->Text(), QString("one\n"));
        QCOMPARE(first->EditerFr, 2);
    }

    void droppedFilesOpenInListOrder()
    {
        writeFile(f->path("d1.html"), "1");
        writeFile(f->path("d3.html"), "3");
        QVERIFY(QDir(f->dir.path()).mkdir("d2.html")); // cannot be read as a page
        const QStringList paths{f->path("d1.html"), f->path("d2.html"), f->path("d3.html")};
        drop(main(), paths);
        // The folder is refused with a word; the others open all the same.
        QCOMPARE(names(main().documents()), (QStringList{f->path("d1.html"), f->path("d3.html")}));
        QCOMPARE(main().activeDocument()->HtmlName(), f->path("d3.html"));
        QCOMPARE(prompts().count(), 1);
        QVERIFY(prompts().messages().first().text.contains(f->path("d2.html")));
    }

    void templateFillsANewDocument()
    {
        writeFile(f->path("page.tmp"), "<html>\r\n<body>\r<p>\x83\x65</p>");
        prompts().answerFile(f->path("page.tmp"));
        main().runCommand(Cmd::m_mtemp);
        Form_Editer *doc = main().activeDocument();
        QCOMPARE(doc->HtmlName(), Form_Editer::NewFileName);
        QCOMPARE(caption(doc), Form_Editer::NewFileName);
        QCOMPARE(doc->EditerFr, 1);
        QCOMPARE(doc->RichTextBox1->fileBytes(),
                 QByteArray("<html>\r\n<body>\r\n<p>\x83\x65</p>\r\n"));
        QCOMPARE(prompts().messages().size(), 0);
    }

    void emptyTemplateGivesAnEmptyPage()
    {
        writeFile(f->path("empty.tmp"), "");
        prompts().answerFile(f->path("empty.tmp"));
        main().runCommand(Cmd::m_mtemp);
        Form_Editer *doc = main().activeDocument();
        QCOMPARE(doc->RichTextBox1->Text(), QString());
        QCOMPARE(doc->EditerFr, 1);
    }

    void templateCountsAsModifiedFromTheSecondKeystroke_data()
    {
        QTest::addColumn<QString>("keys");
        QTest::addColumn<bool>("asks");
        QTest::newRow("one keystroke") << "a" << false;
        QTest::newRow("two keystrokes") << "ab" << true;
    }
    void templateCountsAsModifiedFromTheSecondKeystroke()
    {
        QFETCH(QString, keys);
        QFETCH(bool, asks);
        writeFile(f->path("k.tmp"), "x\r\n");
        prompts().answerFile(f->path("k.tmp"));
        main().runCommand(Cmd::m_mtemp);
        type(main().activeDocument(), keys);
        prompts().clear();
        if (asks)
            prompts().answer(Prompt::Answer::No);
        main().runCommand(Cmd::m_mclos);
        QVERIFY(main().documents().isEmpty());
        QList<Msg> expected;
        if (asks)
            expected << Msg{Form_Editer::NewFileName + crlf + closeQuestion,
                            Prompt::Buttons::YesNoCancel, Prompt::Icon::Information, "閉じる"};
        compareMessages(prompts(), expected);
    }

    void unreadableTemplateIsReported()
    {
        prompts().answerFile(f->path("nowhere.tmp"));
        main().runCommand(Cmd::m_mtemp);
        compareMessages(prompts(),
                        {{"Zuvo: 53" + crlf + "ファイルが見つかりません。", Prompt::Buttons::Ok,
                          Prompt::Icon::Exclamation, "ファイルが見つかりません。"}});
        // The new window stays.
        QCOMPARE(main().documents().size(), 1);
        QCOMPARE(main().activeDocument()->HtmlName(), Form_Editer::NewFileName);
    }

    void reloadReadsTheFileAgainAndUndoBringsTheEditsBack()
    {
        writeFile(f->path("r.html"), "disk\r\n");
        Form_Editer *doc = OpenDocument(main(), f->path("r.html"));
        type(doc, "typed ");
        const QString edited = doc->RichTextBox1->Text();
        writeFile(f->path("r.html"), "changed\r\n");
        prompts().answer(Prompt::Answer::Ok);
        main().runCommand(Cmd::m_mrel);
        compareMessages(prompts(),
                        {{f->path("r.html") + crlf + "データの再読み込みを行います。",
                          Prompt::Buttons::OkCancel, Prompt::Icon::Information, "再読み込み"}});
        QCOMPARE(doc->RichTextBox1->Text(), QString("changed\n"));
        QCOMPARE(doc->EditerFr, 2);
        main().runCommand(Cmd::m_eund);
        QCOMPARE(doc->RichTextBox1->Text(), edited);
    }

    void cancelledReloadChangesNothing()
    {
        writeFile(f->path("c.html"), "disk\r\n");
        Form_Editer *doc = OpenDocument(main(), f->path("c.html"));
        type(doc, "z");
        const RichImage undo = doc->UndoBuff, after = doc->BuffBuff;
        writeFile(f->path("c.html"), "changed\r\n");
        prompts().answer(Prompt::Answer::Cancel);
        main().runCommand(Cmd::m_mrel);
        QCOMPARE(doc->RichTextBox1->Text(), QString("zdisk\n"));
        QCOMPARE(doc->UndoBuff, undo);
        QCOMPARE(doc->BuffBuff, after);
        QCOMPARE(doc->EditerFr, 3);
    }

    void reloadThatCannotReadKeepsTextAndEditState_data()
    {
        QTest::addColumn<bool>("newDocument");
        QTest::newRow("new document") << true;
        QTest::newRow("file deleted") << false;
    }
    void reloadThatCannotReadKeepsTextAndEditState()
    {
        QFETCH(bool, newDocument);
        writeFile(f->path("del.html"), "disk\r\n");
        Form_Editer *doc = newDocument ? OpenDocument(main(), Form_Editer::NewFileName)
                                       : OpenDocument(main(), f->path("del.html"));
        type(doc, "edits");
        const QString text = doc->RichTextBox1->Text();
        QVERIFY(QFile::remove(f->path("del.html")));
        prompts().answer(Prompt::Answer::Ok);
        main().runCommand(Cmd::m_mrel);
        QCOMPARE(doc->RichTextBox1->Text(), text);
        QCOMPARE(doc->EditerFr, 3);
    }

    // Start-up with two quoted paths; the second, a Shift-JIS page with pictographs,
    // half-width katakana and NEC special characters, saves back byte for byte.
    void commandLinePagesOpenAndSaveBackByteForByte()
    {
        const QByteArray page = QByteArray("<html><body>\r\n"
                                           "\xF8\x9F\xF8\xA0\xF9\x72<br>\r\n"
                                           "\xB1\xB2\xB3\xDE\xDF\xA6<br>\r\n"
                                           "\x87\x40\x87\x54\x87\x5F\x93\xFA\x96\x7B\r\n"
                                           "</body></html>\r\n");
        QTemporaryDir pages;
        const QString first = pages.path() + "/first page.html";
        const QString second = pages.path() + "/sjis.html";
        writeFile(first, "<p>first</p>\r\n");
        writeFile(second, page);
        MainWindowFixture g({}, true,
                            {"zemlo.exe", '"' + first + '"', "stray", '"' + second + '"'});
        MDI_Main &w = *g.window;
        QCOMPARE(names(w.documents()), (QStringList{first, second}));
        Form_Editer *doc = w.activeDocument();
        QCOMPARE(doc->HtmlName(), second);
        QCOMPARE(readFile(ProgramFiles::preview(g.dir.path())), page);
        QCOMPARE(doc->RichTextBox1->Text().count(QChar(0xFF71)), 1); // ｱ
        QCOMPARE(doc->RichTextBox1->Text().count(QChar(0x2460)), 1); // ①
        writeFile(second, "overwritten");
        g.prompts.answer(Prompt::Answer::Ok);
        w.runCommand(Cmd::m_msave);
        QCOMPARE(g.prompts.count(), 1);
        QCOMPARE(readFile(second), page);
        closeAllQuietly(w);
    }
};

ZEMLO_TEST_MAIN(TestOpening)
#include "tst_opening.moc"
