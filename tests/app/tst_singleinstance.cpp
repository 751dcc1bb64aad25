// One running copy per program folder: what may not fool the lock, and what may not keep the
// program from starting. Other users' copies run in child processes under another user id.
#include "app/SingleInstance.h"

#include <QTemporaryDir>
#include <QtTest>
#include <csignal>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

constexpr uid_t Nobody = 65534;

// Starts a copy on folder as user in a child process. One that is to hold the lock stays
// until killed, and its pid is given back once it has the lock; otherwise the child's exit
// code: 0 when it started, 1 when it was refused.
int copyAs(uid_t user, const QString &folder, bool hold = false)
{
    int ready[2];
    if (pipe(ready) != 0)
        return -1;
    std::fflush(stdout);
    const pid_t pid = fork();
    if (pid == 0) {
        if (user != getuid() && (setgid(user) != 0 || setuid(user) != 0))
            _exit(3);
        SingleInstance copy(folder);
        const bool started = copy.acquire();
        while (hold && started && ::write(ready[1], "y", 1) == 1)
            pause();
        _exit(started ? 0 : 1);
    }
    ::close(ready[1]);
    char answer = 0;
    const bool held = hold && ::read(ready[0], &answer, 1) == 1;
    ::close(ready[0]);
    if (held)
        return pid;
    int status = 0;
    waitpid(pid, &status, 0);
    return hold || !WIFEXITED(status) ? -1 : WEXITSTATUS(status);
}

} // namespace

class TestSingleInstance : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // A second copy from the same folder is refused however it is started and whatever a lock
    // file holds; once the first ends, a copy starts again.
    void secondCopyIsRefused_data()
    {
        QTest::addColumn<QString>("how");
        for (const char *how : {"plainly", "with another TMPDIR", "by a linked folder name",
                                "over an empty lock file", "over a damaged lock file",
                                "over a lock that is a folder"})
            QTest::newRow(how) << QString(how);
    }
    void secondCopyIsRefused()
    {
        QFETCH(QString, how);
        QTemporaryDir root;
        const QString folder = root.path() + "/Zemlo";
        const QString secondName = how.contains("linked") ? root.path() + "/link" : folder;
        QVERIFY(QDir().mkdir(folder) && (secondName == folder || QFile::link(folder, secondName)));
        const QByteArray tmpdir = qgetenv("TMPDIR");
        {
            SingleInstance first(folder);
            QFile lock(first.lockPath());
            if (how.contains("folder"))
                QVERIFY(QDir().mkdir(first.lockPath()));
            if (how.contains("lock file"))
                QVERIFY(lock.open(QIODevice::WriteOnly) &&
                        lock.write(how.contains("damaged") ? "\xff garbage\n-1\n" : "") >= 0);
            QVERIFY(first.acquire());
            if (how.contains("TMPDIR"))
                qputenv("TMPDIR", QFile::encodeName(root.path()));
            QVERIFY(!SingleInstance(secondName).acquire());
        }
        tmpdir.isNull() ? qunsetenv("TMPDIR") : qputenv("TMPDIR", tmpdir);
        QVERIFY(SingleInstance(secondName).acquire());
    }

    // Something at the lock's path that cannot be locked may hide a running copy: no copy
    // starts, and it says why.
    void unusableLock_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::newRow("a FIFO") << "fifo";
        QTest::newRow("a link") << "link";
    }
    void unusableLock()
    {
        QFETCH(QString, kind);
        QTemporaryDir folder;
        SingleInstance copy(folder.path());
        const QByteArray lock = QFile::encodeName(copy.lockPath());
        if (kind == "fifo")
            QVERIFY(::mkfifo(lock.constData(), 0644) == 0);
        else
            QVERIFY(::symlink("elsewhere", lock.constData()) == 0);
        QVERIFY(!copy.acquire());
        QVERIFY(copy.unusable());
    }

    // A killed copy of another user leaves nothing that keeps others out; while it runs it is
    // a copy like any other. Where no lock can be made at all, the program starts without one.
    void otherUsers_data()
    {
        QTest::addColumn<uid_t>("first");
        QTest::addColumn<uid_t>("next");
        QTest::newRow("root killed, then another user") << uid_t(0) << Nobody;
        QTest::newRow("another user killed, then root") << Nobody << uid_t(0);
        QTest::newRow("no lock can be made") << uid_t(-1) << Nobody;
    }
    void otherUsers()
    {
        QFETCH(uid_t, first);
        QFETCH(uid_t, next);
        if (getuid() != 0)
            QSKIP("acting as another user needs root");
        QTemporaryDir folder;
        // Others may write the folder, but for the last row, where they may only read it.
        QVERIFY(::chmod(QFile::encodeName(folder.path()), first == uid_t(-1) ? 0755 : 0777) == 0);
        const QByteArray tmpdir = qgetenv("TMPDIR");
        if (first == uid_t(-1)) {
            qputenv("TMPDIR", QFile::encodeName(folder.path()));
        } else {
            const pid_t running = copyAs(first, folder.path(), true);
            QVERIFY(running > 0);
            const int whileRunning = copyAs(next, folder.path());
            ::kill(running, SIGKILL);
            waitpid(running, nullptr, 0);
            QCOMPARE(whileRunning, 1);
        }
        const int started = copyAs(next, folder.path());
        tmpdir.isNull() ? qunsetenv("TMPDIR") : qputenv("TMPDIR", tmpdir);
        QCOMPARE(started, 0);
    }
};

QTEST_GUILESS_MAIN(TestSingleInstance)
#include "tst_singleinstance.moc"
