#include "CommandByName.h"
#include "DocumentTestSupport.h"
#include "ZemloTestMain.h"

#include "app/Settings.h"
#include "app/StatusPanels.h"
#include "documents/RecoveryJournal.h"
#include "widgets/QtPrompts.h"

#include <QDir>
#include <QInputMethodEvent>
#include <QLabel>
#include <QPlainTextEdit>
#include <QScreen>
#include <QTimer>
#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace doctest;
using Files = QMap<QString, QByteArray>;
using A = Prompt::Answer;

namespace {
QString journalFolder(MainWindowFixture &f) { return ProgramFiles::recoveryJournal(f.dir.path()); }

// What a program killed now leaves: its journal folder, once every quiet moment has passed.
// The quiet moment is brought forward rather than waited for; the journeys wait for real ones.
Files leftBehind(MainWindowFixture &f)
{
    for (Form_Editer *doc : f.window->documents())
        if (doc->journalPending())
            doc->updateJournal();
    f.window->recoveryJournal()->waitForIdle();
    Files files;
    const QDir dir(journalFolder(f));
    for (const QString &name : dir.entryList(QDir::Files))
        files.insert(name, readFile(dir.filePath(name)));
    return files;
}

QByteArrayList ending(const Files &files, const QString &suffix)
{
    QByteArrayList found;
    for (auto it = files.cbegin(); it != files.cend(); ++it)
        if (it.key().endsWith(suffix))
            found << it.value();
    return found;
}

// The next start on a program folder holding those journals, answering as given; alter then
// changes the journal folder before the start.
std::unique_ptr<MainWindowFixture> restart(const Files &journals, const QList<A> &answers,
                                           const std::function<void(const QString &)> &alter = {})
{
    return std::make_unique<MainWindowFixture>(
        QByteArray(), true, QStringList(), [&](const QString &folder, ScriptedPrompts &prompts) {
            const QString at = ProgramFiles::recoveryJournal(folder);
            QDir().mkpath(at);
            for (auto it = journals.cbegin(); it != journals.cend(); ++it)
                writeFile(at + u'/' + it.key(), it.value());
            if (alter)
                alter(at);
            for (A a : answers)
                prompts.answer(a);
        });
}

QString named(const Files &files, const QString &suffix)
{
    for (auto it = files.cbegin(); it != files.cend(); ++it)
        if (it.key().endsWith(suffix))
            return it.key();
    return {};
}

// Types at the end of the page: keys, and what an input method commits for the rest.
void typeInto(Form_Editer *doc, const QString &text)
{
    QTest::keyClick(doc->RichTextBox1, Qt::Key_End, Qt::ControlModifier);
    for (const QChar c : text) {
        QInputMethodEvent commit;
        commit.setCommitString(QString(c));
        c == u'\n'            ? QTest::keyClick(doc->RichTextBox1, Qt::Key_Return)
        : c.unicode() < 0x80 ? QTest::keyClicks(doc->RichTextBox1, QString(c))
                             : void(QApplication::sendEvent(doc->RichTextBox1, &commit));
    }
}
} // namespace

class TestRecovery : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    // After a kill, a page and a new page come back as typed, with the page's byte forms and
    // line end: the page saves to the bytes the user would have saved.
    void typedTextComesBack_data()
    {
        QTest::addColumn<QByteArray>("page");
        QTest::addColumn<QString>("typed");
        QTest::newRow("CR LF") << QByteArray("<p>a</p>\r\n") << "<br\ni-mode";
        QTest::newRow("twins, mixed ends") << QByteArray::fromHex("878a0a3c703e0d0afa4a0a")
                                           << "x\ny";
        // Equal counts: the bytes alone would choose another line end than the page's own.
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
        // "€" has no Shift-JIS form: that journal keeps the text for Save to ask about.
        typeInto(first.window->activeDocument(), QStringLiteral("new\n価格€"));
        const RichImage image = doc->RichTextBox1->TextRTF();
        const QByteArray wouldSave = doc->RichTextBox1->fileBytes();
        auto next = restart(leftBehind(first), {A::Yes});

        const MessageRequest asked = next->prompts.messages().value(0);
        QCOMPARE(next->prompts.count(), 1);
        QCOMPARE(asked.title, QStringLiteral("復元"));
        QCOMPARE(asked.buttonTexts, QStringList({"復元", "破棄", "キャンセル"}));
        QVERIFY(asked.list.value(0).startsWith(first.path("page.html")));
        QVERIFY(asked.list.value(1).startsWith(Form_Editer::NewFileName));
        QCOMPARE(readFile(first.path("page.html")), page);
        const QList<Form_Editer *> docs = next->window->documents();
        QCOMPARE(docs.size(), 2); // oldest first
        QCOMPARE(caption(docs[0]), first.path("page.html"));
        QCOMPARE(caption(docs[1]), Form_Editer::NewFileName);
        QVERIFY(docs[0]->isModified() && docs[1]->isModified());
        QCOMPARE(docs[1]->RichTextBox1->Text(), QStringLiteral("new\n価格€"));
        const RichImage back = docs[0]->RichTextBox1->TextRTF();
        QVERIFY(back.text == image.text && back.forms == image.forms &&
                back.lineEnds == image.lineEnds);
        QCOMPARE(docs[0]->RichTextBox1->fileBytes(), wouldSave);
    }

    // Save, a close that gives the changes up and Reload take the journal away; Undo rewrites
    // it; an ordinary exit leaves none.
    void stateDecidesTheJournal_data()
    {
        QTest::addColumn<QString>("command");
        QTest::addColumn<QList<A>>("answers");
        QTest::addColumn<int>("left");
        QTest::newRow("save") << "m_msave" << QList<A>{A::Ok} << 0;
        QTest::newRow("close, not saved") << "m_mclos" << QList<A>{A::No} << 0;
        QTest::newRow("reload") << "m_mrel" << QList<A>{A::Ok} << 0;
        QTest::newRow("undo") << "m_eund" << QList<A>{} << 1;
    }
    void stateDecidesTheJournal()
    {
        QFETCH(QString, command);
        QFETCH(QList<A>, answers);
        QFETCH(int, left);
        MainWindowFixture f;
        Form_Editer *doc = f.openPage("page.html", "abc\r\n");
        typeInto(doc, "de");
        QCOMPARE(ending(leftBehind(f), ".rec").size(), 1);
        for (A a : answers)
            f.prompts.answer(a);
        f.window->runCommand(commandNamed(command));
        const QByteArrayList kept = ending(leftBehind(f), ".sjis");
        QCOMPARE(kept.size(), left);
        if (left)
            QCOMPARE(kept[0], doc->RichTextBox1->fileBytes());
        f.prompts.answer(A::No);
        QVERIFY(f.close());
        QCOMPARE(leftBehind(f), Files());
    }

    // Two windows on one page keep a journal each; the first save after restoring, cancelled
    // in its file dialog, keeps the journals for the next start.
    void twoWindowsAndACancelledSave()
    {
        MainWindowFixture first;
        typeInto(first.openPage("page.html", "x\r\n"), "one");
        typeInto(first.openPage("page.html", "x\r\n"), "two");
        first.window->runCommand(Cmd::m_mnew);
        typeInto(first.window->activeDocument(), "new");
        const Files journals = leftBehind(first);
        auto next = restart(journals, {A::Yes, A::Ok});
        next->prompts.answerFile(std::nullopt);
        next->window->runCommand(Cmd::m_msave);
        QStringList texts;
        for (Form_Editer *doc : next->window->documents())
            texts << doc->RichTextBox1->Text();
        QCOMPARE(texts, QStringList({"x\none", "x\ntwo", "new"}));
        QVERIFY(next->window->activeDocument()->isModified());
        QCOMPARE(ending(leftBehind(*next), ".sjis"), ending(journals, ".sjis"));
    }

    // 破棄 asks once more before deleting; キャンセル keeps the journals for the next start.
    void discardAndLater_data()
    {
        QTest::addColumn<QList<A>>("answers");
        QTest::addColumn<int>("left");
        QTest::newRow("破棄, confirmed") << QList<A>{A::No, A::Ok} << 0;
        QTest::newRow("破棄, not confirmed") << QList<A>{A::No, A::Cancel} << 1;
        QTest::newRow("キャンセル") << QList<A>{A::Cancel} << 1;
    }
    void discardAndLater()
    {
        QFETCH(QList<A>, answers);
        QFETCH(int, left);
        MainWindowFixture first;
        typeInto(first.openPage("page.html", "x"), "y");
        auto next = restart(leftBehind(first), answers);
        QVERIFY(next->window->documents().isEmpty() && !next->prompts.pendingAnswers());
        QCOMPARE(ending(leftBehind(*next), ".rec").size(), left);
    }

    // A journal that cannot be read is named and kept; the others are still offered, and the
    // half-written copies of a cut replacement are cleared.
    void unreadableJournalIsNamedAndKept()
    {
        MainWindowFixture first;
        typeInto(first.openPage("page.html", "x"), "y");
        Files journals = leftBehind(first);
        journals.insert("broken.rec", "not a journal");
        journals.insert("lost.rec", QByteArray(journals.first()).replace("data=", "data=x"));
        journals.insert(".zemlo-0a1b2c.tmp", "cut short");
        auto next = restart(journals, {A::Ok, A::Yes});
        const MessageRequest report = next->prompts.messages().value(0);
        QCOMPARE(report.title, QStringLiteral("復元"));
        QVERIFY(report.list.value(0).startsWith(journalFolder(*next) + "/broken.rec"));
        QVERIFY(report.list.value(1).startsWith(journalFolder(*next) + "/lost.rec"));
        QCOMPARE(next->window->activeDocument()->RichTextBox1->Text(), QStringLiteral("xy"));
        const Files kept = leftBehind(*next);
        QVERIFY(kept.contains("broken.rec") && kept.contains("lost.rec"));
        QVERIFY(!QFile::exists(journalFolder(*next) + "/.zemlo-0a1b2c.tmp"));
    }

    // Journals are this user's own: a folder or a file that is a link, another user's or
    // writable by others is not read, and named; nothing of it becomes a window.
    void foreignJournalsAreRefused_data()
    {
        QTest::addColumn<QString>("fault");
        QTest::addColumn<QString>("named");
        QTest::newRow("folder others may write") << "shared folder" << "";
        QTest::newRow("folder is a link") << "linked folder" << "";
        QTest::newRow("text file is a link") << "linked text" << ".rec";
        QTest::newRow("record others may write") << "shared record" << ".rec";
        // Only root can give a file to another user.
        if (::geteuid() == 0) {
            QTest::newRow("folder of another user") << "foreign folder" << "";
            QTest::newRow("record of another user") << "foreign record" << ".rec";
        }
    }
    void foreignJournalsAreRefused()
    {
        QFETCH(QString, fault);
        QFETCH(QString, named);
        MainWindowFixture first;
        typeInto(first.openPage("page.html", "x"), "y");
        const Files journals = leftBehind(first);
        const QString record = ::named(journals, ".rec"), text = ::named(journals, ".sjis");
        QTemporaryDir elsewhere;
        const auto at = [](const QString &folder, const QString &name) {
            return QFile::encodeName(folder + u'/' + name);
        };
        auto next = restart(journals, {A::Ok, A::Yes}, [&](const QString &folder) {
            if (fault == "shared folder")
                ::chmod(QFile::encodeName(folder), 0777);
            if (fault == "linked folder") {
                QDir().rename(folder, elsewhere.filePath("journals"));
                QFile::link(elsewhere.filePath("journals"), folder);
            }
            if (fault == "foreign folder")
                QVERIFY(::chown(QFile::encodeName(folder), 65534, 65534) == 0);
            if (fault == "linked text") {
                writeFile(elsewhere.filePath("secret"), "y");
                QFile::remove(folder + u'/' + text);
                QFile::link(elsewhere.filePath("secret"), folder + u'/' + text);
            }
            if (fault == "foreign record")
                QVERIFY(::chown(at(folder, record), 65534, 65534) == 0);
            if (fault == "shared record")
                ::chmod(at(folder, record), 0666);
        });
        QVERIFY(next->window->documents().isEmpty());
        const MessageRequest report = next->prompts.messages().value(0);
        QCOMPARE(next->prompts.count(), 1);
        QCOMPARE(report.title, QStringLiteral("復元"));
        const QString expected = journalFolder(*next) + (named.isEmpty() ? "" : "/" + record);
        QVERIFY((report.text + report.list.join(u'\n')).contains(expected));
    }

    // A restored page is written to the page its journal names only once the user says so.
    void restoredPageAsksBeforeItsFirstSave()
    {
        MainWindowFixture first;
        typeInto(first.openPage("page.html", "x"), "y");
        auto next = restart(leftBehind(first), {A::Yes});
        next->prompts.answer(A::Ok);
        next->prompts.answer(A::Cancel);
        next->window->runCommand(Cmd::m_msave);
        QCOMPARE(readFile(first.path("page.html")), QByteArray("x"));
        QVERIFY(next->prompts.messages().last().text.contains("復元用の控え"));
        QVERIFY(next->prompts.messages().last().text.startsWith(first.path("page.html")));
        next->prompts.answer(A::Ok);
        next->prompts.answer(A::Ok);
        next->window->runCommand(Cmd::m_msave);
        QCOMPARE(readFile(first.path("page.html")), QByteArray("xy"));
        QVERIFY(!next->prompts.pendingAnswers());
    }

    // A question with a long list keeps a size that fits the screen: the list scrolls, the
    // buttons stay on screen, and Enter gives the first answer.
    void longListQuestionFitsTheScreen()
    {
        const int lines = 10000;
        MessageRequest request{QStringLiteral("保存されていない編集内容が残っています。"),
                               Prompt::Buttons::YesNoCancel, Prompt::Icon::Question,
                               QStringLiteral("復元")};
        for (int i = 0; i < lines; ++i)
            request.list << QStringLiteral("/home/user/pages/page%1.html").arg(i);
        request.afterList = QStringLiteral("復元：…\r\n破棄：…\r\nキャンセル：…");
        QRect shown, screen;
        QTimer::singleShot(0, [&] {
            QWidget *box = QApplication::activeModalWidget();
            QVERIFY(box);
            shown = box->frameGeometry();
            auto *list = box->findChild<QPlainTextEdit *>();
            QVERIFY(list && list->document()->blockCount() == lines);
            screen = box->screen()->availableGeometry();
            QTest::keyClick(box, Qt::Key_Return);
        });
        QtPrompts prompts;
        QCOMPARE(prompts.message(request), Prompt::Answer::Yes);
        QVERIFY2(shown.height() <= screen.height() && shown.height() < 600,
                 qPrintable(QString::number(shown.height())));
    }

    // A journal that cannot be written is said once in the status bar, never in a box, and
    // the text stays.
    void unwritableFolderSaysSoOnce_data()
    {
        QTest::addColumn<QString>("fault");
        QTest::newRow("full disk") << "full";
        QTest::newRow("read-only folder") << "read-only";
        QTest::newRow("file in the way") << "file";
        QTest::newRow("link to another folder") << "link";
        QTest::newRow("folder others may write") << "shared"; // made private, then written
    }
    void unwritableFolderSaysSoOnce()
    {
        QFETCH(QString, fault);
        MainWindowFixture f;
        const QString folder = journalFolder(f);
        if (fault == "read-only")
            QVERIFY(QDir().mkpath(folder) && QFile::setPermissions(folder, QFile::ExeOwner));
        if (fault == "file")
            writeFile(folder, "in the way");
        QTemporaryDir elsewhere;
        if (fault == "link")
            QVERIFY(QFile::link(elsewhere.path(), folder));
        if (fault == "shared")
            QVERIFY(QDir().mkpath(folder) && ::chmod(QFile::encodeName(folder), 0777) == 0);
        Form_Editer *doc = f.openPage("page.html", "x");
        // Writes past one byte fail as on a full disk.
        rlimit old{};
        getrlimit(RLIMIT_FSIZE, &old);
        const rlimit limit{1, old.rlim_max};
        std::signal(SIGXFSZ, SIG_IGN);
        if (fault == "full")
            setrlimit(RLIMIT_FSIZE, &limit);
        for (const QString typed : {"a", "b"}) {
            f.window->showStatus(QString());
            typeInto(doc, typed);
            leftBehind(f);
            QCoreApplication::processEvents();
            QCOMPARE(f.window->StatusBar1->panelText(1).contains("復元用の控え"),
                     typed == "a" && fault != "shared");
            // The panel cuts the notice off; its tip holds it whole, the folder's path too.
            if (typed == "a" && fault != "full" && fault != "shared")
                QVERIFY(f.window->StatusBar1->panel(1)->toolTip().contains(folder));
        }
        QVERIFY(QDir(elsewhere.path()).isEmpty());
        struct stat st
        {
        };
        if (fault == "shared")
            QVERIFY(::stat(QFile::encodeName(folder), &st) == 0 && (st.st_mode & 0777) == 0700);
        setrlimit(RLIMIT_FSIZE, &old);
        QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        QCOMPARE(f.prompts.count(), 0);
        QCOMPARE(doc->RichTextBox1->Text(), QStringLiteral("xab"));
    }
};

ZEMLO_TEST_MAIN(TestRecovery)
#include "tst_recovery.moc"
