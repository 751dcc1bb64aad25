// Saving a page and the tag library under every way a write can fail: afterwards the file on
// disk is the complete old version or the complete new one, the failure is reported and the
// page stays modified.
#include "MainWindowFixture.h"
#include "NoFile.h"
#include "ZemloTestMain.h"

#include "app/MDI_Main.h"
#include "app/StatusPanels.h"
#include "documents/Form_Editer.h"
#include "documents/OpenDocument.h"
#include "documents/SaveCommands.h"
#include "text/Cp932.h"
#include "widgets/RichTextBox.h"
#include "platform/FileReplace.h"
#include "taglib/TagLibraryFile.h"

#include <QDataStream>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTest>
#include <csignal>
#include <functional>
#include <memory>
#include <poll.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

QByteArray readFile(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

bool writeFile(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(bytes) == bytes.size();
}

// A page text of about size bytes: Japanese and markup, an even number of lines, each ended by
// a line end, so that it is also a tag library (comment and tag lines) with the same bytes.
QString pageText(qsizetype size, int seed)
{
    QString text;
    int line = 0;
    while (text.size() * 3 / 2 < size || line % 2 != 0) {
        text += line % 2 == 0 ? QStringLiteral("見出し%1の説明・ｶﾀｶﾅ①").arg(seed * 100000 + line)
                              : QStringLiteral("<font color=\"#FF0000\">%1</font><br>").arg(line);
        text += u'\n';
        ++line;
    }
    return text;
}

QByteArray fileBytesOf(const QString &text)
{
    QString crlf = text;
    crlf.replace(u'\n', QStringLiteral("\r\n"));
    const Cp932::Encoded encoded = Cp932::encode(crlf);
    return encoded.ok() ? encoded.bytes : QByteArray("<unencodable>");
}

QList<TagLibraryEntry> entriesOf(const QString &text)
{
    QStringList lines = text.split(u'\n');
    lines.removeLast(); // after the last line end
    QList<TagLibraryEntry> entries;
    for (qsizetype i = 0; i + 1 < lines.size(); i += 2)
        entries.append({lines[i], lines[i + 1]});
    return entries;
}

// The files of a folder other than those named.
QStringList strayFiles(const QString &folder, const QStringList &known)
{
    QStringList stray;
    for (const QString &name :
         QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot))
        if (!known.contains(name))
            stray << name;
    return stray;
}

// What a write did, as seen by its caller and by the user.
struct Outcome
{
    bool reported = false; // a failure returned or shown
    int number = 0;        // its error number
    int editerFr = -1;     // the document's edit state afterwards (documents only)
    QString htmlName;      // the document's name afterwards (documents only)
    bool windowOpen = true;

    friend QDataStream &operator<<(QDataStream &s, const Outcome &o)
    {
        return s << o.reported << o.number << o.editerFr << o.htmlName << o.windowOpen;
    }
    friend QDataStream &operator>>(QDataStream &s, Outcome &o)
    {
        return s >> o.reported >> o.number >> o.editerFr >> o.htmlName >> o.windowOpen;
    }
};

// Runs work in a child process whose files cannot grow past limit bytes, as on a full disk
// (the signal such a write raises is ignored, so the write fails instead). The child's answer
// comes back through a pipe; an empty answer with a reason means the child died or hung.
QByteArray inChildWithFileLimit(rlim_t limit, const std::function<QByteArray()> &work,
                                QString *death)
{
    int fds[2];
    if (pipe(fds) != 0) {
        *death = QStringLiteral("no pipe");
        return {};
    }
    std::fflush(stdout);
    std::fflush(stderr);
    const pid_t pid = fork();
    if (pid < 0) {
        *death = QStringLiteral("no fork");
        return {};
    }
    if (pid == 0) {
        ::close(fds[0]);
        std::signal(SIGXFSZ, SIG_IGN);
        rlimit l{};
        getrlimit(RLIMIT_FSIZE, &l);
        l.rlim_cur = limit;
        if (setrlimit(RLIMIT_FSIZE, &l) != 0)
            _exit(3);
        const QByteArray answer = work();
        qsizetype sent = 0;
        while (sent < answer.size()) {
            const ssize_t n = ::write(fds[1], answer.constData() + sent, answer.size() - sent);
            if (n <= 0)
                _exit(4);
            sent += n;
        }
        ::close(fds[1]);
        _exit(0); // no destructors: the parent owns the windows and folders
    }
    ::close(fds[1]);
    QByteArray answer;
    bool hung = false;
    for (;;) {
        pollfd p{fds[0], POLLIN, 0};
        const int ready = poll(&p, 1, 120000);
        if (ready <= 0) {
            hung = true;
            kill(pid, SIGKILL);
            break;
        }
        char buffer[65536];
        const ssize_t n = ::read(fds[0], buffer, sizeof buffer);
        if (n <= 0)
            break;
        answer.append(buffer, n);
    }
    ::close(fds[0]);
    int status = 0;
    waitpid(pid, &status, 0);
    if (hung)
        *death = QStringLiteral("the child hung");
    else if (!WIFEXITED(status) || WEXITSTATUS(status) != 0)
        *death = QStringLiteral("the child died, status %1").arg(status);
    return answer;
}

} // namespace

class TestFaultMatrix : public QObject
{
    Q_OBJECT
    std::unique_ptr<MainWindowFixture> f;
    QString folder; // this case's folder
    int caseNumber = 0;

    MDI_Main &main() { return *f->window; }
    ScriptedPrompts &prompts() { return f->prompts; }

    void closeAllQuietly()
    {
        for (Form_Editer *doc : main().documents()) {
            doc->setCloseAgreed(true);
            doc->parentWidget() ? doc->parentWidget()->close() : doc->close();
        }
        QCoreApplication::processEvents();
    }

    // Opens the page at path (or, for Save As, a page of its own) and gives it text as an
    // edit, so that it is modified.
    Form_Editer *modifiedPage(const QString &openPath, const QString &text)
    {
        Form_Editer *doc = OpenDocument(main(), openPath);
        if (!doc)
            return nullptr;
        doc->RichTextBox1->setText(text);
        return doc;
    }

    // One write by the named writer of text to path; for the documents, doc is the page.
    Outcome write(const QString &writer, Form_Editer *doc, const QString &path, const QString &text)
    {
        Outcome o;
        if (writer == "replace" || writer == "taglibrary") {
            const std::optional<ZErrorInfo> failure =
                writer == "replace" ? ReplaceFileContent(path, fileBytesOf(text))
                                    : WriteTagLibraryFile(path, entriesOf(text));
            o.reported = failure.has_value();
            o.number = failure ? failure->number : 0;
            return o;
        }
        if (doc->RichTextBox1->Text() != text)
            doc->RichTextBox1->setText(text);
        prompts().clear();
        if (writer == "save") {
            main().StatusBar1->setPanelText(2, QStringLiteral("1 KB")); // no size warning
            prompts().answer(Prompt::Answer::Ok);                       // the confirmation
            SaveCommand(main());
        } else if (writer == "saveas") {
            main().StatusBar1->setPanelText(2, QStringLiteral("1 KB"));
            SaveDocumentAs(main(), path);
        } else if (writer == "close") {
            prompts().answer(Prompt::Answer::Yes); // save the changes
            o.windowOpen = !doc->parentWidget()->close();
        }
        for (const MessageRequest &m : prompts().messages()) {
            if (m.title == QStringLiteral("Error")) {
                o.reported = true;
                o.number = m.text.section(u' ', 1, 1).section(u'\r', 0, 0).toInt();
            }
        }
        if (o.windowOpen) {
            o.editerFr = doc->EditerFr;
            o.htmlName = doc->HtmlName();
        }
        return o;
    }

    // Checks a write's outcome against the file it left: the old version with a reported
    // failure and a page still modified, or the new version and no failure.
    void checkOutcome(const QString &writer, const Outcome &o, const QString &path,
                      const QByteArray &before, const QByteArray &now, const QByteArray &after,
                      const QString &nameBefore, bool mustFail)
    {
        const bool documents = writer != "replace" && writer != "taglibrary";
        if (now == after && !mustFail) {
            QVERIFY2(!o.reported, "a complete write was reported as failed");
            if (documents) {
                QVERIFY(!o.windowOpen || o.editerFr == 2);
                QVERIFY(!o.windowOpen || o.htmlName == path);
            }
            return;
        }
        QVERIFY2(!(mustFail && now == after), "a write that must fail replaced the file");
        QVERIFY2(now == before, qPrintable(QStringLiteral("the file is neither the old nor the "
                                                          "new version (%1 bytes; old %2, new %3)")
                                               .arg(now.size())
                                               .arg(before.size())
                                               .arg(after.size())));
        QVERIFY2(o.reported, "a failed write was not reported");
        if (documents) {
            QVERIFY2(o.windowOpen, "the window closed although its page was not written");
            QCOMPARE(o.editerFr, 3);
            QCOMPARE(o.htmlName, nameBefore);
        }
    }

private Q_SLOTS:
    void initTestCase() { f = std::make_unique<MainWindowFixture>(); }
    void cleanupTestCase() { f.reset(); }

    void init()
    {
        folder = f->path(QStringLiteral("case%1").arg(++caseNumber));
        QVERIFY(QDir().mkpath(folder));
    }
    void cleanup()
    {
        closeAllQuietly();
        prompts().clear();
        if (QFileInfo(folder).exists()) {
            ::chmod(QFile::encodeName(folder), 0755);
            QDir(folder).removeRecursively();
        }
    }

    void faults_data()
    {
        QTest::addColumn<QString>("writer");
        QTest::addColumn<QString>("fault");
        const QStringList writers{"replace", "taglibrary", "save", "saveas", "close"};
        const QStringList faults{"read-only file",   "read-only folder",  "vanished folder",
                                 "path is a folder", "symbolic link",     "FIFO",
                                 "socket",           "device",            "link to a FIFO",
                                 "link to a device", "hard links",        "another owner",
                                 "longest name"};
        for (const QString &fault : faults) {
            for (const QString &writer : writers) {
                // A folder cannot be opened as a page: only Save As can aim at one.
                if (fault == "path is a folder" && (writer == "save" || writer == "close"))
                    continue;
                QTest::newRow(qPrintable(writer + ", " + fault)) << writer << fault;
            }
        }
    }
    void faults()
    {
        QFETCH(QString, writer);
        QFETCH(QString, fault);
        // A name of 255 bytes, as long as a name can be.
        const QString path = folder + "/" +
                             (fault == "longest name" ? QString(250, u'n') : QString("page")) +
                             ".html";
        const QString oldText = pageText(3000, 1);
        const QString newText = pageText(9000, 2);
        const QByteArray before = fileBytesOf(oldText);
        const QByteArray after = fileBytesOf(newText);
        QString realPath = path; // where the bytes end up
        const bool isDocument = writer == "save" || writer == "saveas" || writer == "close";

        Form_Editer *doc = nullptr;
        if (isDocument) {
            // Save As starts from a page elsewhere; the others from the page itself.
            const QString source = writer == "saveas" ? f->path("source.html") : path;
            if (writer == "saveas")
                QVERIFY(writeFile(source, "source\r\n"));
            if (fault != "path is a folder" && fault != "symbolic link")
                QVERIFY(writeFile(path, before));
            if (fault == "symbolic link") {
                realPath = folder + "/real.html";
                QVERIFY(writeFile(realPath, before));
                QVERIFY(QFile::link(realPath, path));
            }
            doc = modifiedPage(source, newText);
            QVERIFY(doc);
            QCOMPARE(doc->EditerFr, 3);
        } else if (fault == "symbolic link") {
            realPath = folder + "/real.html";
            QVERIFY(writeFile(realPath, before));
            QVERIFY(QFile::link(realPath, path));
        } else if (fault != "path is a folder") {
            QVERIFY(writeFile(path, before));
        }
        const QString nameBefore = doc ? doc->HtmlName() : QString();

        bool mustFail = true;
        QByteArray expectedBefore = before;
        if (fault == "read-only file") {
            QVERIFY(::chmod(QFile::encodeName(path), 0444) == 0);
        } else if (fault == "read-only folder") {
            QVERIFY(::chmod(QFile::encodeName(folder), 0555) == 0);
        } else if (fault == "vanished folder") {
            QVERIFY(QDir(folder).removeRecursively());
            expectedBefore = "<missing>";
        } else if (fault == "path is a folder") {
            QVERIFY(QDir().mkdir(path));
            QVERIFY(writeFile(path + "/inside.html", "inside\r\n"));
            expectedBefore = "<missing>"; // a folder does not read as a file
        } else if (fault == "symbolic link" || fault == "longest name") {
            mustFail = false;
        }
        // What is no file takes the place of the page (opened before, when it was one): a
        // save must leave it as it is. It is never read here, as a FIFO would not answer.
        NoFile noFile;
        const bool special = QStringList{"FIFO", "socket", "device"}.contains(fault.section(' ', -1));
        if (special) {
            QVERIFY(QFile::remove(path) || !QFileInfo::exists(path));
            if (!noFile.make(fault, path))
                QSKIP("cannot make a FIFO, socket or device node here");
            expectedBefore = "<not a file>";
        }
        struct stat stBefore
        {
        };
        ::lstat(QFile::encodeName(special ? noFile.target : path), &stBefore);
        if (fault == "hard links") {
            mustFail = false;
            QVERIFY(::link(QFile::encodeName(path), QFile::encodeName(folder + "/real.html")) == 0);
            realPath = folder + "/real.html";
        } else if (fault == "another owner") {
            mustFail = false;
            QCOMPARE(::chown(QFile::encodeName(path), 4321, 4322), 0);
            QCOMPARE(::chmod(QFile::encodeName(path), 0640), 0);
            QCOMPARE(::lstat(QFile::encodeName(path), &stBefore), 0);
        }

        const Outcome o = write(writer, doc, path, newText);
        const QByteArray now = special ? expectedBefore : readFile(realPath);
        checkOutcome(writer, o, path, expectedBefore, now, after, nameBefore, mustFail);
        if (!mustFail) {
            QCOMPARE(now, after);
            QCOMPARE(QFileInfo(path).isSymLink(), fault == "symbolic link");
        }
        if (special) {
            QCOMPARE(o.number, ZErr::PathFileAccess);
            struct stat st
            {
            };
            QCOMPARE(::lstat(QFile::encodeName(noFile.target), &st), 0);
            QCOMPARE(st.st_mode & S_IFMT, stBefore.st_mode & S_IFMT);
            QCOMPARE(QFileInfo(path).isSymLink(), noFile.target != path);
        }
        if (fault == "hard links" || fault == "another owner") {
            // The same file under every name, with its owner, group and mode.
            struct stat st
            {
            };
            QCOMPARE(::stat(QFile::encodeName(path), &st), 0);
            QCOMPARE(readFile(path), after);
            if (fault == "hard links") {
                QCOMPARE(st.st_ino, stBefore.st_ino);
                QCOMPARE(st.st_nlink, nlink_t(2));
            }
            QCOMPARE(st.st_uid, stBefore.st_uid);
            QCOMPARE(st.st_gid, stBefore.st_gid);
            QCOMPARE(st.st_mode, stBefore.st_mode);
        }
        if (fault == "read-only file") {
            struct stat st
            {
            };
            QCOMPARE(::stat(QFile::encodeName(path).constData(), &st), 0);
            QCOMPARE(st.st_mode & 0777, mode_t(0444)); // still read-only
        }
        if (fault == "vanished folder")
            QVERIFY2(!QFileInfo::exists(folder), "the vanished folder was made again");
        if (fault == "path is a folder") {
            QVERIFY(QFileInfo(path).isDir());
            QCOMPARE(readFile(path + "/inside.html"), QByteArray("inside\r\n"));
        }
        if (QFileInfo(folder).isDir()) {
            const QStringList stray =
                strayFiles(folder, {QFileInfo(path).fileName(), "real.html", "source.html",
                                    "page.html.target"});
            QVERIFY2(stray.isEmpty(), qPrintable("left behind: " + stray.join(", ")));
        }
    }

    // A full disk, simulated by a file-size limit on a child process.
    void fullDisk_data()
    {
        QTest::addColumn<QString>("writer");
        QTest::addColumn<bool>("manySmall");
        QTest::addColumn<bool>("hardLinks"); // written in place
        for (const char *writer : {"replace", "taglibrary", "save", "saveas", "close"}) {
            QTest::newRow(qPrintable(QString(writer) + ", one large write"))
                << writer << false << false;
            if (QString(writer) != "close") // a closed window cannot be saved again
                QTest::newRow(qPrintable(QString(writer) + ", many small writes"))
                    << writer << true << false;
        }
        QTest::newRow("replace, hard links, one large write") << "replace" << false << true;
        QTest::newRow("save, hard links, many small writes") << "save" << true << true;
    }
    void fullDisk()
    {
        QFETCH(QString, writer);
        QFETCH(bool, manySmall);
        QFETCH(bool, hardLinks);
        const QString path = folder + "/page.html";
        const rlim_t limit = manySmall ? 24 * 1024 : 64 * 1024;
        const QString oldText = pageText(1500, 1);
        QVERIFY(writeFile(path, fileBytesOf(oldText)));
        if (hardLinks)
            QCOMPARE(::link(QFile::encodeName(path), QFile::encodeName(folder + "/other.html")), 0);

        Form_Editer *doc = nullptr;
        if (writer == "save" || writer == "close") {
            doc = modifiedPage(path, pageText(100, 3));
        } else if (writer == "saveas") {
            QVERIFY(writeFile(f->path("source.html"), "source\r\n"));
            doc = modifiedPage(f->path("source.html"), pageText(100, 3));
        }
        if (writer != "replace" && writer != "taglibrary")
            QVERIFY(doc);

        // The writes: one far past the limit, or a series growing in small steps across it.
        QList<qsizetype> sizes;
        if (manySmall) {
            for (qsizetype size = 1000; size < 40 * 1024; size += 700)
                sizes << size;
        } else {
            sizes << 400 * 1024;
        }

        // Every write in the child is checked there; the child answers with its findings.
        QString death;
        const QByteArray answer = inChildWithFileLimit(
            limit,
            [&]() -> QByteArray {
                QStringList problems;
                int failures = 0;
                int successes = 0;
                QByteArray onDisk = fileBytesOf(oldText);
                QString nameBefore = doc ? doc->HtmlName() : QString();
                for (qsizetype i = 0; i < sizes.size(); ++i) {
                    const QString text = pageText(sizes[i], int(10 + i));
                    const QByteArray wanted = fileBytesOf(text);
                    if (doc)
                        doc->RichTextBox1->setText(text); // an edit: the page is modified
                    const Outcome o = write(writer, doc, path, text);
                    const QByteArray now = readFile(path);
                    const QString step =
                        QStringLiteral("write %1 (%2 bytes): ").arg(i).arg(wanted.size());
                    if (now == wanted) {
                        ++successes;
                        if (o.reported)
                            problems << step + "written but reported as failed";
                        if (o.windowOpen && doc && o.editerFr != 2)
                            problems << step + "written but still modified";
                        onDisk = now;
                        nameBefore = doc && o.windowOpen ? o.htmlName : nameBefore;
                    } else {
                        ++failures;
                        if (now != onDisk)
                            problems << step + QStringLiteral(
                                                   "the file is neither old nor new (%1 bytes)")
                                                   .arg(now.size());
                        if (!o.reported)
                            problems << step + "the failure was not reported";
                        if (doc && !o.windowOpen)
                            problems << step + "the window closed without its page written";
                        if (doc && o.windowOpen && o.editerFr != 3)
                            problems << step + QStringLiteral("edit state %1, not modified")
                                                   .arg(o.editerFr);
                        if (doc && o.windowOpen && o.htmlName != nameBefore)
                            problems << step + "the page took the name it was not written under";
                        if (wanted.size() <= qsizetype(limit))
                            problems << step + "a write within the limit failed";
                    }
                    if (!o.windowOpen)
                        break;
                }
                const QStringList stray = strayFiles(folder, {"page.html", "other.html"});
                if (hardLinks && readFile(folder + "/other.html") != readFile(path))
                    problems << "the other name does not see the same text";
                if (!stray.isEmpty())
                    problems << "left behind: " + stray.join(", ");
                if (failures == 0)
                    problems << "no write reached the limit";
                if (manySmall && successes == 0)
                    problems << "no write succeeded";
                return problems.join('\n').toUtf8() + "\nDONE";
            },
            &death);
        QVERIFY2(death.isEmpty(), qPrintable(death));
        QVERIFY2(answer.endsWith("\nDONE"), answer.constData());
        QVERIFY2(answer == "\nDONE", answer.constData());
    }

    // A tiny file system that really fills up: the old file and the new one share its room.
    void tinyFileSystem_data()
    {
        QTest::addColumn<QString>("writer");
        QTest::addColumn<bool>("full");
        for (const char *writer : {"replace", "taglibrary", "save"}) {
            QTest::newRow(qPrintable(QString(writer) + ", filling up")) << QString(writer) << false;
            // Small writes onto a disk with no room left: they fit in a write buffer, so only
            // a write that reaches the disk at once can see that they failed.
            QTest::newRow(qPrintable(QString(writer) + ", already full"))
                << QString(writer) << true;
        }
    }
    void tinyFileSystem()
    {
        QFETCH(QString, writer);
        QFETCH(bool, full);
        const QString mountPoint = folder + "/tmpfs";
        QVERIFY(QDir().mkpath(mountPoint));
        if (::mount("zemlo-faults", QFile::encodeName(mountPoint), "tmpfs", 0, "size=256k") != 0)
            QSKIP("mounting a tmpfs is not allowed here");
        struct Unmount
        {
            QString at;
            ~Unmount() { ::umount2(QFile::encodeName(at), MNT_DETACH); }
        } unmount{mountPoint};

        const QString path = mountPoint + "/page.html";
        const QString oldText = pageText(20 * 1024, 1);
        QVERIFY(writeFile(path, fileBytesOf(oldText)));
        Form_Editer *doc = writer == "save" ? modifiedPage(path, pageText(100, 3)) : nullptr;
        if (writer == "save")
            QVERIFY(doc);

        if (full) {
            QFile filler(mountPoint + "/filler");
            QVERIFY(filler.open(QIODevice::WriteOnly | QIODevice::Unbuffered));
            const QByteArray block(4096, 'x');
            while (filler.write(block) > 0) {
            }
        }

        QByteArray onDisk = fileBytesOf(oldText);
        int failures = 0;
        const QList<qsizetype> sizes =
            full ? QList<qsizetype>{600, 3000, 12 * 1024}
                 : QList<qsizetype>{60 * 1024, 120 * 1024, 200 * 1024, 300 * 1024};
        for (const qsizetype size : sizes) {
            const QString text = pageText(size, int(size / 1024));
            const QByteArray wanted = fileBytesOf(text);
            const QString nameBefore = doc ? doc->HtmlName() : QString();
            const Outcome o = write(writer, doc, path, text);
            const QByteArray now = readFile(path);
            if (now != wanted)
                ++failures;
            checkOutcome(writer, o, path, onDisk, now, wanted, nameBefore, false);
            onDisk = now;
            if (full)
                QCOMPARE(now, onDisk); // no room for any new version
            const QStringList stray = strayFiles(mountPoint, {"page.html", "filler"});
            QVERIFY2(stray.isEmpty(), qPrintable("left behind: " + stray.join(", ")));
        }
        QVERIFY2(failures > 0, "no write filled the file system");
    }
};

ZEMLO_TEST_MAIN(TestFaultMatrix)
#include "tst_faultmatrix.moc"
