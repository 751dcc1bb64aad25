// A later start from the same program folder hands its pages to the running copy. Each later
// start is a process of its own, started as the program is, on a command line; the running
// copy is this test's own.
#include "ScriptedPrompts.h"
#include "ZemloTestMain.h"
#include "app/CommandLine.h"
#include "app/MDI_Main.h"
#include "app/Main.h"
#include "app/RunningCopy.h"
#include "app/SingleInstance.h"
#include "documents/Form_Editer.h"

#include <QLocalServer>
#include <QProcess>
#include <QTemporaryDir>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

namespace {

const QString StartIn = QStringLiteral("--start-in");

QStringList pageNames(const MDI_Main *window)
{
    QStringList names;
    for (const Form_Editer *doc : window->documents())
        names.append(doc->HtmlName());
    return names;
}

// The later start itself, in the child: the program's start on the given command line. It
// tells what came of it: the messages it showed, then, if it became the running copy, the
// pages of its window and whether later starts reach it.
int startAsProgram(const QStringList &arguments)
{
    ScriptedPrompts prompts;
    const QString folder = arguments.at(2);
    const QStringList commandLine = QStringList{arguments.at(0)} + arguments.mid(3);
    RunningProgram program = Main(
        folder, &prompts, AbsolutePaths(CommandLinePaths(commandLine), QDir::currentPath()));
    QTextStream out(stdout);
    for (const MessageRequest &m : prompts.messages())
        out << "message " << m.title << ' ' << m.text << '\n';
    if (!program.window)
        return 0;
    for (const QString &name : pageNames(program.window))
        out << "page " << name << '\n';
    if (program.receiver && program.receiver->listen())
        out << "answers\n";
    program.window->setAttribute(Qt::WA_DeleteOnClose, false);
    delete program.window;
    return 0;
}

struct Start
{
    QStringList lines;
    bool ok = false;
};

// Starts the program from folder in workingFolder with arguments, and lets this copy answer
// until it ends.
Start startLater(const QString &folder, const QString &workingFolder, const QStringList &arguments)
{
    QProcess child;
    child.setWorkingDirectory(workingFolder);
    child.start(QCoreApplication::applicationFilePath(),
                QStringList{StartIn, folder} + arguments);
    Start start;
    if (!child.waitForStarted())
        return start;
    if (!QTest::qWaitFor([&child] { return child.state() == QProcess::NotRunning; }, 60000))
        return start;
    start.ok = child.exitStatus() == QProcess::NormalExit && child.exitCode() == 0;
    const QString out = QString::fromUtf8(child.readAllStandardOutput());
    start.lines = out.split('\n', Qt::SkipEmptyParts);
    return start;
}

void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size());
}

const QString Refused = QStringLiteral("message 確認 このアプリケーションは既に起動されています。");

} // namespace

class TestRunningCopy : public QObject
{
    Q_OBJECT

    QTemporaryDir m_root;
    QString m_pages;
    QString m_folder;
    ScriptedPrompts m_prompts;
    RunningProgram m_first;

private Q_SLOTS:
    void initTestCase()
    {
        // The sockets live here, the user's runtime folder, apart from the user's real one.
        QVERIFY(QDir(m_root.path()).mkdir("run"));
        QVERIFY(QFile::setPermissions(m_root.path() + "/run", QFile::ReadOwner | QFile::WriteOwner |
                                                                  QFile::ExeOwner));
        qputenv("XDG_RUNTIME_DIR", QFile::encodeName(m_root.path() + "/run"));
        m_pages = m_root.path() + "/pages";
        m_folder = m_root.path() + "/Zemlo";
        QVERIFY(QDir().mkpath(m_pages + "/folder") && QDir().mkpath(m_folder));
        writeFile(m_pages + "/a.html", "<p>a</p>");
        writeFile(m_pages + "/b c.html", "<p>b</p>");
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

    // A later start naming pages ends quietly; the running copy opens them, as from its own
    // command line, and comes to the front. Named none, the later start is refused.
    void laterStart_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QStringList>("opened");
        QTest::addColumn<int>("reports");
        QTest::newRow("a bare path") << QStringList{"a.html"} << QStringList{"a.html"} << 0;
        QTest::newRow("bare paths, relative and absolute")
            << QStringList{"b c.html", "@/a.html"} << QStringList{"b c.html", "a.html"} << 0;
        QTest::newRow("quoted paths") << QStringList{"\"b c.html\" \"@/a.html\""}
                                      << QStringList{"b c.html", "a.html"} << 0;
        QTest::newRow("--open") << QStringList{"--open", "./b c.html"}
                                << QStringList{"b c.html"} << 0;
        QTest::newRow("a page not made yet") << QStringList{"new.html"}
                                             << QStringList{"new.html"} << 0;
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
        const QStringList before = pageNames(window);
        m_prompts.clear();
        window->showMinimized();
        QTRY_VERIFY(window->isMinimized());

        arguments.replaceInStrings("@", m_pages);
        const Start start = startLater(m_folder, m_pages, arguments);
        QVERIFY(start.ok);
        const bool handed = !arguments.isEmpty();
        QCOMPARE(start.lines, handed ? QStringList() : QStringList{Refused});

        QStringList expected = before;
        for (const QString &name : opened)
            expected.append(m_pages + '/' + name);
        QTRY_COMPARE(pageNames(window), expected);
        QTRY_COMPARE(window->isMinimized(), !handed);
        QCOMPARE(m_prompts.messages().size(), reports);
        if (reports)
            QVERIFY(m_prompts.messages().first().text.contains(m_pages + "/folder"));
        window->showNormal();
    }

    // The lock says whether a copy runs. A socket nobody answers on is no copy: left behind by
    // a copy that died, the start goes ahead and takes the socket over; with the lock still
    // held, the start is refused as before, and no copy is started beside the one holding it.
    // A copy that answers without the lock (where none can be made) keeps its socket.
    void unansweredSocket_data()
    {
        QTest::addColumn<bool>("lockHeld");
        QTest::addColumn<bool>("listening");
        QTest::addColumn<QStringList>("lines");
        const QString page = "page " + m_pages + "/a.html";
        QTest::newRow("socket left by a copy that died")
            << false << false << QStringList{page, "answers"};
        QTest::newRow("lock held, no socket") << true << false << QStringList{Refused};
        QTest::newRow("lock held, a socket that never answers")
            << true << true << QStringList{Refused};
        QTest::newRow("a socket without the lock") << false << true << QStringList{page};
    }
    void unansweredSocket()
    {
        QFETCH(bool, lockHeld);
        QFETCH(bool, listening);
        QTemporaryDir folder;
        const QString name = RunningCopySocketName(folder.path());
        QLocalServer silent;
        SingleInstance lock(folder.path());
        if (listening) {
            QVERIFY(silent.listen(name));
        } else {
            // A socket file with nobody behind it, as a killed copy leaves it.
            const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
            sockaddr_un address{};
            address.sun_family = AF_UNIX;
            const QByteArray path = QFile::encodeName(name);
            QVERIFY(fd >= 0 && size_t(path.size()) < sizeof address.sun_path);
            std::copy(path.cbegin(), path.cend(), address.sun_path);
            QVERIFY(::bind(fd, reinterpret_cast<sockaddr *>(&address), sizeof address) == 0);
            ::close(fd);
        }
        if (lockHeld)
            QVERIFY(lock.acquire());

        const Start start = startLater(folder.path(), m_pages, {"a.html"});
        QVERIFY(start.ok);
        QTEST(start.lines, "lines");
    }
};

int main(int argc, char *argv[])
{
    qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
    WebBrowser::registerSchemes();
    QApplication app(argc, argv);
    app.setAttribute(Qt::AA_Use96Dpi, true);
    if (argc > 2 && QCoreApplication::arguments().at(1) == StartIn)
        return startAsProgram(QCoreApplication::arguments());
    TestRunningCopy tc;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&tc, argc, argv);
}

#include "tst_runningcopy.moc"
