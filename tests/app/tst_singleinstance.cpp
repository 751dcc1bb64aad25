// One running copy per program folder: what may not fool the lock, and what may not keep the
// program from starting. Other users' copies run in child processes under another user id.
#include "app/SingleInstance.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>
#include <csignal>
#include <functional>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

constexpr uid_t Nobody = 65534;

bool becomeUser(uid_t user)
{
    return user == getuid() || (setgid(user) == 0 && setuid(user) == 0);
}

// Runs work in a child process, as user, and gives back its exit code (-1: it died).
int inChild(uid_t user, const std::function<bool()> &work)
{
    std::fflush(stdout);
    const pid_t pid = fork();
    if (pid == 0) {
        if (!becomeUser(user))
            _exit(3);
        _exit(work() ? 0 : 1);
    }
    int status = 0;
    waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// A copy run by user that holds the lock of folder until killed.
pid_t holdingCopy(const QString &folder, uid_t user)
{
    int ready[2];
    if (pipe(ready) != 0)
        return -1;
    std::fflush(stdout);
    const pid_t pid = fork();
    if (pid == 0) {
        if (!becomeUser(user))
            _exit(3);
        SingleInstance copy(folder);
        const char answer = copy.acquire() ? 'y' : 'n';
        (void)!::write(ready[1], &answer, 1);
        for (;;)
            pause();
    }
    char answer = 0;
    const bool held = ::read(ready[0], &answer, 1) == 1 && answer == 'y';
    ::close(ready[0]);
    ::close(ready[1]);
    return held ? pid : -1;
}

void kill9(pid_t pid)
{
    ::kill(pid, SIGKILL);
    waitpid(pid, nullptr, 0);
}

} // namespace

class TestSingleInstance : public QObject
{
    Q_OBJECT
    QByteArray m_tmpdir;

private Q_SLOTS:
    void init() { m_tmpdir = qgetenv("TMPDIR"); }
    void cleanup()
    {
        if (m_tmpdir.isNull())
            qunsetenv("TMPDIR");
        else
            qputenv("TMPDIR", m_tmpdir);
    }

    // A second copy from the same folder is refused however it is started and whatever a
    // lock file holds; once the first ends, a copy starts again.
    void secondCopyIsRefused_data()
    {
        QTest::addColumn<QString>("how");
        for (const char *how :
             {"plainly", "with another TMPDIR", "by a linked folder name",
              "by an unclean folder name", "over an empty lock file", "over a damaged lock file"})
            QTest::newRow(how) << QString(how);
    }
    void secondCopyIsRefused()
    {
        QFETCH(QString, how);
        QTemporaryDir root;
        const QString folder = root.path() + "/Zemlo";
        QVERIFY(QDir().mkdir(folder));
        QString secondName = folder;
        if (how == "by a linked folder name") {
            secondName = root.path() + "/link";
            QVERIFY(QFile::link(folder, secondName));
        } else if (how == "by an unclean folder name") {
            secondName = root.path() + "/./Zemlo/";
        }
        {
            SingleInstance first(folder);
            if (how.contains("lock file")) {
                QFile lock(first.lockPath());
                QVERIFY(lock.open(QIODevice::WriteOnly));
                lock.write(how.contains("damaged") ? QByteArray("\xff\x00garbage\n-1\n", 13)
                                                   : QByteArray());
            }
            QVERIFY(first.acquire());
            if (how == "with another TMPDIR") {
                QVERIFY(QDir().mkdir(root.path() + "/tmp"));
                qputenv("TMPDIR", QFile::encodeName(root.path() + "/tmp"));
            }
            SingleInstance second(secondName);
            QVERIFY(!second.acquire());
        }
        SingleInstance again(secondName);
        QVERIFY(again.acquire());
    }

    // A copy of another user, killed, leaves nothing that keeps others out; while it runs it
    // is a copy like any other.
    void killedCopyOfAnotherUserLocksNobodyOut_data()
    {
        QTest::addColumn<uid_t>("holder");
        QTest::addColumn<uid_t>("next");
        QTest::newRow("root, then another user") << uid_t(0) << Nobody;
        QTest::newRow("another user, then root") << Nobody << uid_t(0);
    }
    void killedCopyOfAnotherUserLocksNobodyOut()
    {
        QFETCH(uid_t, holder);
        QFETCH(uid_t, next);
        if (getuid() != 0)
            QSKIP("needs to run as root to act as another user");
        QTemporaryDir folder;
        QVERIFY(QFile::setPermissions(folder.path(), QFile::ReadOwner | QFile::WriteOwner |
                                                         QFile::ExeOwner | QFile::ReadOther |
                                                         QFile::ExeOther | QFile::WriteOther |
                                                         QFile::ReadGroup | QFile::ExeGroup));
        const auto start = [&folder] { return SingleInstance(folder.path()).acquire(); };
        const pid_t running = holdingCopy(folder.path(), holder);
        QVERIFY(running > 0);
        const int whileRunning = inChild(next, start);
        kill9(running);
        QCOMPARE(whileRunning, 1);
        QCOMPARE(inChild(next, start), 0);
    }

    // Where no lock can be made, the program starts without one rather than never.
    void noLockToBeHadStillStarts()
    {
        if (getuid() != 0)
            QSKIP("needs to run as root to act as another user");
        QTemporaryDir folder; // the other user may read it, not write it
        QVERIFY(QFile::setPermissions(folder.path(), QFile::ReadOwner | QFile::WriteOwner |
                                                         QFile::ExeOwner | QFile::ReadOther |
                                                         QFile::ExeOther));
        qputenv("TMPDIR", QFile::encodeName(folder.path()));
        QCOMPARE(inChild(Nobody, [&] { return SingleInstance(folder.path()).acquire(); }), 0);
    }
};

QTEST_GUILESS_MAIN(TestSingleInstance)
#include "tst_singleinstance.moc"
