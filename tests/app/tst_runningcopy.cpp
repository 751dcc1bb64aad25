// A later start from the same program folder hands its pages to the running copy. Each later
// start is a process of its own running the program's start on a command line; the running
// copy is this test's own.
#include "ScriptedPrompts.h"
#include "ZemloTestMain.h"
#include "app/CommandLine.h"
#include "app/MDI_Main.h"
#include "app/Main.h"
#include "app/RunningCopy.h"
#include "app/SingleInstance.h"
#include "documents/Form_Editer.h"

#include <QDeadlineTimer>
#include <QLocalServer>
#include <QLocalSocket>
#include <QProcess>
#include <QTemporaryDir>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

const QString Refused = "message 確認 このアプリケーションは既に起動されています。";

QStringList pageNames(const MDI_Main *window)
{
    QStringList names;
    for (const Form_Editer *doc : window->documents())
        names.append(doc->HtmlName());
    return names;
}

// The child: starts as the program does and tells what came of it: the messages shown, then,
// if it became the running copy, its pages and whether later starts reach it.
int startAsProgram(const QStringList &arguments)
{
    ScriptedPrompts prompts;
    const QStringList commandLine = QStringList{arguments.at(0)} + arguments.mid(3);
    RunningProgram program =
        Main(arguments.at(2), &prompts,
             AbsolutePaths(CommandLinePaths(commandLine), QDir::currentPath()));
    QTextStream out(stdout);
    for (const MessageRequest &m : prompts.messages())
        out << "message " << m.title << ' ' << m.text << '\n';
    if (program.window) {
        for (const QString &name : pageNames(program.window))
            out << "page " << name << '\n';
        if (program.receiver->listen())
            out << "answers\n";
        program.window->setAttribute(Qt::WA_DeleteOnClose, false);
        delete program.window;
    }
    return 0;
}

// Starts the program from folder, in workingFolder, while this copy goes on answering; what
// the start told, or "failed".
QStringList startLater(const QString &folder, const QString &workingFolder,
                       const QStringList &arguments)
{
    QProcess child;
    child.setWorkingDirectory(workingFolder);
    child.start(QCoreApplication::applicationFilePath(),
                QStringList{"--start-in", folder} + arguments);
    if (!child.waitForStarted() ||
        !QTest::qWaitFor([&child] { return child.state() == QProcess::NotRunning; }, 60000) ||
        child.exitStatus() != QProcess::NormalExit || child.exitCode() != 0)
        return {"failed"};
    return QString::fromUtf8(child.readAllStandardOutput()).split('\n', Qt::SkipEmptyParts);
}

constexpr uid_t Nobody = 65534;

// Another user's program greeting as a copy of Zemlo would at socketPath, in folder, which
// that user makes first, open to all, unless it is there. Its pid, once it listens.
pid_t squat(const QString &folder, const QString &socketPath)
{
    int ready[2];
    if (pipe(ready) != 0)
        return -1;
    std::fflush(stdout);
    const pid_t pid = fork();
    if (pid == 0) {
        if (setgid(Nobody) != 0 || setuid(Nobody) != 0)
            _exit(3);
        (void)::mkdir(QFile::encodeName(folder).constData(), 0777);
        const QByteArray name = QFile::encodeName(socketPath);
        sockaddr_un address{AF_UNIX, {}};
        std::copy(name.cbegin(), name.cend(), address.sun_path);
        const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
        if (::bind(fd, reinterpret_cast<sockaddr *>(&address), sizeof address) != 0 ||
            ::listen(fd, 4) != 0 || ::write(ready[1], "+", 1) != 1)
            _exit(4);
        char page[4096];
        for (int caller; (caller = ::accept(fd, nullptr, nullptr)) >= 0; ::close(caller))
            if (::write(caller, "zemlo 1\n", 8) == 8)
                while (::read(caller, page, sizeof page) > 0) // told a page
                    ;
        _exit(0);
    }
    ::close(ready[1]);
    char answer = 0;
    return ::read(ready[0], &answer, 1) == 1 ? pid : -1;
}

} // namespace

class TestRunningCopy : public QObject
{
    Q_OBJECT

    QTemporaryDir m_root;
    QString m_pages, m_folder;
    ScriptedPrompts m_prompts;
    RunningProgram m_first;

private Q_SLOTS:
    void initTestCase()
    {
        // The sockets go here rather than into the user's own runtime folder.
        const QString run = m_root.path() + "/run";
        QVERIFY(QDir().mkdir(run) &&
                QFile::setPermissions(run, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
        qputenv("XDG_RUNTIME_DIR", QFile::encodeName(run));
        m_pages = m_root.path() + "/pages";
        m_folder = m_root.path() + "/Zemlo";
        QVERIFY(QDir().mkpath(m_pages + "/folder") && QDir().mkpath(m_folder));
        for (const QString name : {"a.html", "b c.html"}) {
            QFile page(m_pages + '/' + name);
            QVERIFY(page.open(QIODevice::WriteOnly) && page.write("<p>x</p>") == 8);
        }
        m_first = Main(m_folder, &m_prompts, {});
        QVERIFY(m_first.window);
    }

    void cleanupTestCase()
    {
        if (m_first.window) {
            m_first.window->setAttribute(Qt::WA_DeleteOnClose, false);
            delete m_first.window;
        }
    }

    // A later start naming pages ends quietly; the running copy opens them as from its own
    // command line and comes to the front. Named none, the later start is refused.
    void laterStart_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QStringList>("opened");
        QTest::addColumn<int>("reports");
        QTest::newRow("a bare path") << QStringList{"a.html"} << QStringList{"a.html"} << 0;
        QTest::newRow("bare paths, relative and absolute")
            << QStringList{"b c.html", "@/a.html"} << QStringList{"b c.html", "a.html"} << 0;
        QTest::newRow("quoted paths")
            << QStringList{"\"b c.html\" \"@/a.html\""} << QStringList{"b c.html", "a.html"} << 0;
        QTest::newRow("--open") << QStringList{"--open", "./b c.html"} << QStringList{"b c.html"}
                                << 0;
        QTest::newRow("a page not made yet")
            << QStringList{"new.html"} << QStringList{"new.html"} << 0;
        QTest::newRow("a folder is reported by the running copy")
            << QStringList{"folder"} << QStringList{} << 1;
        QTest::newRow("no pages") << QStringList{} << QStringList{} << 0;
    }
    void laterStart()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QStringList, opened);
        QFETCH(int, reports);
        MDI_Main *window = m_first.window;
        QStringList expected = pageNames(window);
        m_prompts.clear();
        window->showMinimized();
        QTRY_VERIFY(window->isMinimized());

        const bool handed = !arguments.isEmpty();
        QCOMPARE(startLater(m_folder, m_pages, arguments.replaceInStrings("@", m_pages)),
                 handed ? QStringList() : QStringList{Refused});
        for (const QString &name : opened)
            expected.append(m_pages + '/' + name);
        QTRY_COMPARE(pageNames(window), expected);
        QTRY_COMPARE(window->isMinimized(), !handed);
        QCOMPARE(m_prompts.messages().size(), reports);
        if (reports)
            QVERIFY(m_prompts.messages().first().text.contains(m_pages + "/folder"));
        window->showNormal();
    }

    // The lock says whether a copy runs. A socket nobody answers on is no copy: left by a copy
    // that died, the start goes ahead and takes the socket over; with the lock still held, the
    // start is refused as before rather than run beside the holder. A copy that answers
    // without the lock (where none can be made) keeps its socket.
    void unansweredSocket_data()
    {
        QTest::addColumn<bool>("lockHeld");
        QTest::addColumn<bool>("listening");
        QTest::addColumn<QStringList>("told");
        const QString page = "page " + m_pages + "/a.html";
        QTest::newRow("socket left by a copy that died")
            << false << false << QStringList{page, "answers"};
        QTest::newRow("lock held, no socket") << true << false << QStringList{Refused};
        QTest::newRow("lock held, a socket never answering")
            << true << true << QStringList{Refused};
        QTest::newRow("a socket without the lock") << false << true << QStringList{page};
    }
    void unansweredSocket()
    {
        QFETCH(bool, lockHeld);
        QFETCH(bool, listening);
        QTemporaryDir folder;
        const QByteArray name = QFile::encodeName(RunningCopySocketName(folder.path()));
        QLocalServer silent;
        if (listening) {
            QVERIFY(silent.listen(name));
        } else {
            // A socket file with nobody behind it, as a killed copy leaves it.
            sockaddr_un address{AF_UNIX, {}};
            QVERIFY(size_t(name.size()) < sizeof address.sun_path);
            std::copy(name.cbegin(), name.cend(), address.sun_path);
            const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
            QVERIFY(::bind(fd, reinterpret_cast<sockaddr *>(&address), sizeof address) == 0);
            ::close(fd);
        }
        SingleInstance lock(folder.path());
        QVERIFY(!lockHeld || lock.acquire());
        QTEST(startLater(folder.path(), m_pages, {"a.html"}), "told");
    }

    // Something at the lock's path that no lock can be taken for: no copy starts beside a copy
    // it may hide, and the message names it.
    void unusableLock()
    {
        QTemporaryDir folder;
        const QString lock = folder.path() + "/zemlo.lck";
        QVERIFY(::mkfifo(QFile::encodeName(lock).constData(), 0644) == 0);
        const QString told = startLater(folder.path(), m_pages, {"a.html"}).join('\n');
        QVERIFY2(told.startsWith("message 確認 " + lock) && !told.contains("\npage "),
                 qPrintable(told));
    }

    // A message in small pieces is gathered and read once it is whole, with the window free
    // meanwhile: 4 MB in 16 KB pieces is read while the pieces are sent.
    void longMessageInPieces()
    {
        QLocalSocket caller;
        caller.connectToServer(RunningCopySocketName(m_folder));
        QVERIFY(caller.waitForConnected(5000));
        QTRY_COMPARE(caller.bytesAvailable(), qint64(8));
        QCOMPARE(caller.readAll(), QByteArray("zemlo 1\n"));
        QByteArray message;
        while (message.size() < 4 * 1024 * 1024 - 4096)
            message += QByteArrayLiteral("x\0");
        message += (m_pages + "/a.html").toUtf8() + QByteArray(2, '\0');
        const qsizetype before = m_first.window->documents().size();
        for (qsizetype at = 0; at < message.size(); at += 16384) {
            caller.write(message.mid(at, 16384));
            while (caller.bytesToWrite() > 0) {
                caller.flush();
                QCoreApplication::processEvents();
            }
        }
        QTRY_COMPARE_WITH_TIMEOUT(m_first.window->documents().size(), before + 1, 60000);
        QCOMPARE(pageNames(m_first.window).last(), m_pages + "/a.html");
    }

    // Pages go to no program of another user's: not where no runtime folder is to be had and
    // another user listens in the temporary folder first, nor through a socket of another
    // user's in the socket's own folder. Such a socket is no running copy: this copy listens.
    void otherUsersSocket_data()
    {
        QTest::addColumn<QString>("where");
        QTest::newRow("no runtime folder, in the temporary folder") << "temp";
        QTest::newRow("no runtime folder, in this user's folder made first") << "own";
        QTest::newRow("in the runtime folder") << "runtime";
    }
    void otherUsersSocket()
    {
        QFETCH(QString, where);
        if (getuid() != 0)
            QSKIP("acting as another user needs root");
        QTemporaryDir temp, program;
        QVERIFY(::chmod(QFile::encodeName(temp.path()).constData(), 01777) == 0);
        const QByteArray runtime = qgetenv("XDG_RUNTIME_DIR"), tmpdir = qgetenv("TMPDIR");
        const auto restore = qScopeGuard([&] {
            qputenv("XDG_RUNTIME_DIR", runtime);
            tmpdir.isNull() ? qunsetenv("TMPDIR") : qputenv("TMPDIR", tmpdir);
        });
        const QString id = '/' + QFileInfo(RunningCopySocketName(program.path())).fileName();
        pid_t squatter = -1;
        if (where == "runtime") {
            // Made where another user may, then moved into the runtime folder.
            squatter = squat(temp.path() + "/open", temp.path() + "/open/s");
            QVERIFY(QFile::rename(temp.path() + "/open/s",
                                  qEnvironmentVariable("XDG_RUNTIME_DIR") + id));
        } else {
            // The runtime folder Qt would fall back on is another user's: there is none.
            qunsetenv("XDG_RUNTIME_DIR");
            qputenv("TMPDIR", QFile::encodeName(temp.path()));
            QVERIFY(QDir().mkdir(temp.path() + "/runtime-root") &&
                    ::chown(QFile::encodeName(temp.path() + "/runtime-root").constData(), Nobody,
                            Nobody) == 0);
            const QString folder = where == "temp" ? temp.path() : temp.path() + "/zemlo-0";
            squatter = squat(folder, folder + id);
        }
        const bool handed = HandOverPages(program.path(), {m_pages + "/a.html"});
        ::kill(squatter, SIGKILL);
        waitpid(squatter, nullptr, 0);
        QVERIFY(squatter > 0 && !handed);
        PageReceiver receiver(program.path());
        QCOMPARE(receiver.listen(), where != "own");
    }
};

int main(int argc, char *argv[])
{
    qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
    WebBrowser::registerSchemes();
    QApplication app(argc, argv);
    app.setAttribute(Qt::AA_Use96Dpi, true);
    if (argc > 2 && QCoreApplication::arguments().at(1) == "--start-in")
        return startAsProgram(QCoreApplication::arguments());
    TestRunningCopy tc;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&tc, argc, argv);
}

#include "tst_runningcopy.moc"
