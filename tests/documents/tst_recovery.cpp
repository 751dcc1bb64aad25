#include "DocumentTestSupport.h"
#include "ZemloTestMain.h"
#include "CommandByName.h"

#include "app/Settings.h"
#include "app/StatusPanels.h"
#include "documents/RecoveryJournal.h"

#include <QDir>
#include <csignal>
#include <memory>
#include <sys/resource.h>

using namespace doctest;
using Files = QMap<QString, QByteArray>;

namespace {
// Waits until every window's journal is on disk as the text stands now.
void settle(MainWindowFixture &f)
{
    for (Form_Editer *doc : f.window->documents())
        QTRY_VERIFY_WITH_TIMEOUT(!doc->journalPending(), 20000);
    f.window->recoveryJournal()->waitForIdle();
}

QString journalFolder(const QString &programFolder)
{
    return ProgramFiles::recoveryJournal(programFolder);
}

// What a killed program leaves: its journal folder as it stands.
Files leftBehind(MainWindowFixture &f)
{
    settle(f);
    Files files;
    const QDir dir(journalFolder(f.dir.path()));
    for (const QString &name : dir.entryList(QDir::Files))
        files.insert(name, readFile(dir.filePath(name)));
    return files;
}

// The next start on a folder holding those journals, answering the prompts given.
std::unique_ptr<MainWindowFixture> restart(const Files &journals,
                                           const QList<Prompt::Answer> &answers)
{
    return std::make_unique<MainWindowFixture>(
        QByteArray(), true, QStringList(), [&](const QString &folder, ScriptedPrompts &prompts) {
            QDir().mkpath(journalFolder(folder));
            for (auto it = journals.cbegin(); it != journals.cend(); ++it)
                writeFile(journalFolder(folder) + u'/' + it.key(), it.value());
            for (Prompt::Answer a : answers)
                prompts.answer(a);
        });
}

void typeInto(Form_Editer *doc, const QString &text)
{
    doc->RichTextBox1->setFocus();
    QTest::keyClick(doc->RichTextBox1, Qt::Key_End, Qt::ControlModifier);
    for (const QChar c : text)
        c == u'\n' ? QTest::keyClick(doc->RichTextBox1, Qt::Key_Return)
                   : QTest::keyClicks(doc->RichTextBox1, QString(c));
}

qsizetype records(const Files &files)
{
    return std::count_if(files.keyBegin(), files.keyEnd(),
                         [](const QString &n) { return n.endsWith(".rec"); });
}

// The journals' texts, without their records.
QByteArrayList dataOf(const Files &files)
{
    QByteArrayList data;
    for (auto it = files.cbegin(); it != files.cend(); ++it)
        if (!it.key().endsWith(".rec"))
            data << it.value();
    return data;
}

// Writes past this size fail, as on a full disk, while it lives.
struct FileSizeLimit
{
    rlimit old{};
    explicit FileSizeLimit(rlim_t bytes)
    {
        getrlimit(RLIMIT_FSIZE, &old);
        std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit = old;
        limit.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit() { setrlimit(RLIMIT_FSIZE, &old); }
};
} // namespace

class TestRecovery : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    // Typed text on a page and on a new page comes back after a kill, forms and line ends as
    // the page had them, and saves to the bytes the user would have saved.
    void typedTextComesBack_data()
    {
        QTest::addColumn<QByteArray>("page");
        QTest::addColumn<QString>("typed");
        QTest::newRow("CR LF") << QByteArray("<p>a</p>\r\n") << "<br\ni-mode";
        QTest::newRow("twins, mixed ends") << QByteArray::fromHex("878a0a3c703e0d0afa4a0a")
                                           << "x\ny";
        // Equal counts: the bytes alone would pick another line end than the page's own.
        QTest::newRow("tie") << QByteArray("a\r\nb\nc\r\nd\n") << "\n";
    }
    void typedTextComesBack()
    {
        QFETCH(QByteArray, page);
        QFETCH(QString, typed);
        MainWindowFixture first;
        Form_Editer *doc = first.openPage("page.html", page);
        typeInto(doc, typed);
        first.window->runCommand(Cmd::m_mnew);
        typeInto(first.window->activeDocument(), "new\npage");
        const RichImage typedImage = doc->RichTextBox1->TextRTF();
        const QByteArray wouldSave = doc->RichTextBox1->fileBytes();
        const Files journals = leftBehind(first);
        QCOMPARE(records(journals), 2);

        auto next = restart(journals, {Prompt::Answer::Yes});
        const QList<MessageRequest> asked = next->prompts.messages();
        QCOMPARE(asked.size(), 1);
        QCOMPARE(asked[0].title, QStringLiteral("復元"));
        QCOMPARE(asked[0].buttonTexts, QStringList({"復元", "破棄", "キャンセル"}));
        QVERIFY(asked[0].text.contains(first.path("page.html")));
        QVERIFY(asked[0].text.contains(Form_Editer::NewFileName));
        QCOMPARE(readFile(first.path("page.html")), page);

        const QList<Form_Editer *> docs = next->window->documents();
        QCOMPARE(docs.size(), 2);
        Form_Editer *restored = docs[0]->HtmlName() == Form_Editer::NewFileName ? docs[1] : docs[0];
        Form_Editer *fresh = restored == docs[0] ? docs[1] : docs[0];
        QCOMPARE(restored->HtmlName(), first.path("page.html"));
        QCOMPARE(caption(restored), first.path("page.html"));
        QVERIFY(restored->isModified() && fresh->isModified());
        QCOMPARE(fresh->RichTextBox1->Text(), QStringLiteral("new\npage"));
        const RichImage back = restored->RichTextBox1->TextRTF();
        QCOMPARE(back.text, typedImage.text);
        QCOMPARE(back.forms, typedImage.forms);
        QVERIFY(back.lineEnds == typedImage.lineEnds);

        next->window->mdiArea->setActiveSubWindow(
            qobject_cast<QMdiSubWindow *>(restored->parentWidget()));
        next->prompts.answer(Prompt::Answer::Ok);
        next->window->runCommand(Cmd::m_msave);
        QCOMPARE(readFile(first.path("page.html")), wouldSave);
        settle(*next);
        QCOMPARE(records(leftBehind(*next)), 1); // the new page's alone
    }

    // Save, a close that discards and Reload take the journal away; Undo rewrites it; a normal
    // exit leaves none.
    void stateDecidesTheJournal_data()
    {
        QTest::addColumn<QString>("command");
        QTest::addColumn<QList<Prompt::Answer>>("answers");
        QTest::addColumn<int>("left");
        using A = Prompt::Answer;
        QTest::newRow("save") << "m_msave" << QList<A>{A::Ok} << 0;
        QTest::newRow("close, not saved") << "m_mclos" << QList<A>{A::No} << 0;
        QTest::newRow("reload") << "m_mrel" << QList<A>{A::Ok} << 0;
        QTest::newRow("undo") << "m_eund" << QList<A>{} << 1;
    }
    void stateDecidesTheJournal()
    {
        QFETCH(QString, command);
        QFETCH(QList<Prompt::Answer>, answers);
        QFETCH(int, left);
        MainWindowFixture f;
        Form_Editer *doc = f.openPage("page.html", "abc\r\n");
        typeInto(doc, "de");
        QCOMPARE(records(leftBehind(f)), 1);
        for (Prompt::Answer a : answers)
            f.prompts.answer(a);
        f.window->runCommand(commandNamed(command));
        const Files after = leftBehind(f);
        QCOMPARE(records(after), left);
        if (left)
            QCOMPARE(dataOf(after), QByteArrayList{doc->RichTextBox1->fileBytes()});
        f.prompts.answer(Prompt::Answer::No);
        QVERIFY(f.close());
        QCOMPARE(leftBehind(f), Files());
    }

    // Two windows on one page keep two journals; the first save after a restore, cancelled,
    // keeps the journal for the next start.
    void twoWindowsAndACancelledSave()
    {
        MainWindowFixture first;
        typeInto(first.openPage("page.html", "x\r\n"), "one");
        typeInto(first.openPage("page.html", "x\r\n"), "two");
        first.window->runCommand(Cmd::m_mnew);
        typeInto(first.window->activeDocument(), "new");
        const Files journals = leftBehind(first);
        QCOMPARE(records(journals), 3);

        auto next = restart(journals, {Prompt::Answer::Yes});
        QStringList texts;
        for (Form_Editer *doc : next->window->documents())
            texts << doc->RichTextBox1->Text();
        texts.sort();
        QCOMPARE(texts, QStringList({"new", "x\none", "x\ntwo"}));
        // The new page's save: confirmed, but its file dialog cancelled.
        next->prompts.answer(Prompt::Answer::Ok);
        next->prompts.answerFile(std::nullopt);
        next->window->runCommand(Cmd::m_msave);
        QVERIFY(next->window->activeDocument()->isModified());
        QCOMPARE(dataOf(leftBehind(*next)), dataOf(journals));
    }

    // 破棄 asks again before deleting; キャンセル keeps the journals for the next start.
    void discardAndLater_data()
    {
        QTest::addColumn<QList<Prompt::Answer>>("answers");
        QTest::addColumn<int>("left");
        using A = Prompt::Answer;
        QTest::newRow("破棄, confirmed") << QList<A>{A::No, A::Ok} << 0;
        QTest::newRow("破棄, not confirmed") << QList<A>{A::No, A::Cancel} << 1;
        QTest::newRow("キャンセル") << QList<A>{A::Cancel} << 1;
    }
    void discardAndLater()
    {
        QFETCH(QList<Prompt::Answer>, answers);
        QFETCH(int, left);
        MainWindowFixture first;
        typeInto(first.openPage("page.html", "x"), "y");
        auto next = restart(leftBehind(first), answers);
        QVERIFY(next->window->documents().isEmpty());
        QVERIFY(!next->prompts.pendingAnswers());
        QCOMPARE(records(leftBehind(*next)), left);
    }

    // A journal that cannot be read is named and kept; the others are still offered.
    void unreadableJournalIsNamedAndKept()
    {
        MainWindowFixture first;
        typeInto(first.openPage("page.html", "x"), "y");
        Files journals = leftBehind(first);
        journals.insert("broken.rec", "not a journal");
        journals.insert("lost.rec", QByteArray(journals.first()).replace("data=", "data=x"));
        journals.insert(".zemlo-0a1b2c.tmp", "a replacement cut short");
        auto next = restart(journals, {Prompt::Answer::Ok, Prompt::Answer::Yes});
        const MessageRequest report = next->prompts.messages().first();
        QCOMPARE(report.title, QStringLiteral("復元"));
        QVERIFY(report.text.contains(journalFolder(next->dir.path()) + "/broken.rec"));
        QVERIFY(report.text.contains("lost.rec"));
        QCOMPARE(next->window->documents().size(), 1);
        QCOMPARE(next->window->documents().first()->RichTextBox1->Text(), QStringLiteral("xy"));
        const Files kept = leftBehind(*next);
        QVERIFY(kept.contains("broken.rec") && kept.contains("lost.rec"));
        QVERIFY(!QFile::exists(journalFolder(next->dir.path()) + "/.zemlo-0a1b2c.tmp"));
    }

    // A folder that cannot take the journal says so once in the status bar; no box, and the
    // text stays.
    void unwritableFolderSaysSoOnce_data()
    {
        QTest::addColumn<QString>("fault");
        QTest::newRow("full disk") << "full";
        QTest::newRow("read-only folder") << "read-only";
        QTest::newRow("file in the way") << "file";
    }
    void unwritableFolderSaysSoOnce()
    {
        QFETCH(QString, fault);
        MainWindowFixture f;
        const QString folder = journalFolder(f.dir.path());
        if (fault == "read-only") {
            QDir().mkpath(folder);
            QFile::setPermissions(folder, QFile::ReadOwner | QFile::ExeOwner);
        } else if (fault == "file") {
            writeFile(folder, "in the way");
        }
        Form_Editer *doc = f.openPage("page.html", "x");
        std::unique_ptr<FileSizeLimit> limit;
        if (fault == "full")
            limit = std::make_unique<FileSizeLimit>(1);
        typeInto(doc, "a");
        settle(f);
        QTRY_VERIFY_WITH_TIMEOUT(f.window->StatusBar1->panelText(1).contains("復元用の控え"), 20000);
        f.window->showStatus(QString());
        typeInto(doc, "b");
        settle(f);
        QCoreApplication::processEvents();
        limit.reset();
        QVERIFY(!f.window->StatusBar1->panelText(1).contains("復元用の控え"));
        QCOMPARE(f.prompts.count(), 0);
        QCOMPARE(doc->RichTextBox1->Text(), QStringLiteral("xab"));
        QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }
};

ZEMLO_TEST_MAIN(TestRecovery)
#include "tst_recovery.moc"
