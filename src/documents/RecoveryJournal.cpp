#include "documents/RecoveryJournal.h"

#include "documents/JournalRecord.h"
#include "platform/FileReplace.h"
#include "platform/ZError.h"

#include <QFile>
#include <algorithm>
#include <cerrno>
#include <dirent.h>
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const QString RecordSuffix = QStringLiteral(".rec");
const QString BytesSuffix = QStringLiteral(".sjis");
const QString TextSuffix = QStringLiteral(".utf8");
// Larger than any page the window can hold; a file beyond it is no journal of ours.
constexpr qint64 LargestFile = qint64(1) << 30;

QByteArray native(const QString &path)
{
    return QFile::encodeName(path);
}

// A descriptor that is closed when it goes out of scope.
struct Descriptor
{
    explicit Descriptor(int fd) : fd(fd) {}
    ~Descriptor()
    {
        if (fd >= 0)
            ::close(fd);
    }
    Descriptor(const Descriptor &) = delete;
    Descriptor &operator=(const Descriptor &) = delete;
    int fd;
};

// The journal folder, opened without following a link, and only when it is this user's own
// and nobody else may write in it: records planted by others are never read, and the unsaved
// text never goes to a folder someone else chose. Made (mode 700) when writing finds none.
// Returns the descriptor, or -1 with the reason, naming the folder, in problem.
int openFolder(const QString &folder, bool forWriting, QString *problem)
{
    const QByteArray path = native(folder);
    if (forWriting && ::mkdir(path.constData(), 0700) != 0 && errno != EEXIST) {
        *problem = QStringLiteral("フォルダを作成できません：") + folder;
        return -1;
    }
    struct stat st
    {
    };
    if (::lstat(path.constData(), &st) == 0 && S_ISLNK(st.st_mode)) {
        *problem = QStringLiteral("フォルダがリンクのため使いません：") + folder;
        return -1;
    }
    const int fd = ::open(path.constData(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0) {
        *problem = (errno == ENOTDIR || errno == ELOOP ? QStringLiteral("フォルダではありません：")
                                                       : QStringLiteral("フォルダを開けません：")) +
                   folder;
        return -1;
    }
    // The user's own folder, made under a loose umask, is made private before a write; what
    // others may have put in it is still refused file by file.
    const bool own = ::fstat(fd, &st) == 0 && S_ISDIR(st.st_mode) && st.st_uid == ::geteuid();
    if (own && forWriting && (st.st_mode & 077) && ::fchmod(fd, 0700) == 0)
        st.st_mode &= ~mode_t(077);
    QString why;
    if (!S_ISDIR(st.st_mode))
        why = QStringLiteral("フォルダではありません：");
    else if (!own)
        why = QStringLiteral("フォルダが他のユーザーのものであるため使いません：");
    else if (st.st_mode & 022)
        why = QStringLiteral("フォルダに他のユーザーも書き込めるため使いません：");
    // Root writes past the mode bits; a folder made read-only is left alone all the same.
    else if (forWriting && !(st.st_mode & 0200))
        why = QStringLiteral("フォルダに書き込めません：");
    if (why.isEmpty())
        return fd;
    ::close(fd);
    *problem = why + folder;
    return -1;
}

// A file of the journal folder, read only when it is a regular file of this user's that
// nobody else may write, never through a link. Throws the reason.
QByteArray readOwnFile(int folder, const QString &name)
{
    const Descriptor fd(::openat(folder, native(name).constData(),
                                 O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
    struct stat st
    {
    };
    if (fd.fd < 0) {
        const int err = errno;
        throw err == ELOOP
            ? QStringLiteral("リンクです")
            : QStringLiteral("開けません（%1）").arg(ZError::fromErrno(err).description());
    }
    if (::fstat(fd.fd, &st) != 0 || !S_ISREG(st.st_mode))
        throw QStringLiteral("ファイルではありません");
    if (st.st_uid != ::geteuid())
        throw QStringLiteral("他のユーザーのファイルです");
    if (st.st_mode & 022)
        throw QStringLiteral("他のユーザーも書き込めるファイルです");
    if (st.st_size > LargestFile)
        throw QStringLiteral("大きすぎます");
    QByteArray bytes(qsizetype(st.st_size), Qt::Uninitialized);
    qsizetype done = 0;
    while (done < bytes.size()) {
        const ssize_t count = ::read(fd.fd, bytes.data() + done, size_t(bytes.size() - done));
        if (count < 0 && errno == EINTR)
            continue;
        if (count < 0)
            throw QStringLiteral("読み込めません");
        if (count == 0)
            break;
        done += count;
    }
    bytes.truncate(done);
    return bytes;
}

QStringList namesIn(int folder)
{
    QStringList names;
    const int listed = ::dup(folder);
    DIR *dir = listed >= 0 ? ::fdopendir(listed) : nullptr;
    if (!dir) {
        if (listed >= 0)
            ::close(listed);
        return names;
    }
    ::rewinddir(dir);
    while (const dirent *entry = ::readdir(dir))
        names << QFile::decodeName(entry->d_name);
    ::closedir(dir);
    names.sort();
    return names;
}

void removeJournalFiles(int folder, const QString &id)
{
    // The record first: without it the text file is never offered again.
    for (const QString &suffix : {RecordSuffix, BytesSuffix, TextSuffix})
        ::unlinkat(folder, native(id + suffix).constData(), 0);
}

// The worker yields the processor to the window: a keystroke that lands while a large page is
// encoded must not wait for it. Niced rather than idle, so that the copy still gets written
// on a machine that is never idle.
void yieldToTheWindow()
{
    thread_local const bool lowered = ::setpriority(PRIO_PROCESS, ::gettid(), 10) == 0;
    (void)lowered;
}

QString failureText(const ZErrorInfo &info)
{
    return QStringLiteral("復元用の控えを保存できません：") +
           (info.description.isEmpty() ? ZError::describe(info.number) : info.description);
}

} // namespace

RecoveryJournal::RecoveryJournal(const QString &folder, QObject *parent)
    : QObject(parent), m_folder(folder)
{
    m_worker.setMaxThreadCount(1);
    m_runStamp = QDateTime::currentDateTimeUtc().toString(QStringLiteral("yyyyMMddHHmmsszzz")) +
                 u'-' + QString::number(::getpid());
}

RecoveryJournal::~RecoveryJournal() { m_worker.waitForDone(); }

QString RecoveryJournal::newId() { return m_runStamp + u'-' + QString::number(++m_next); }

void RecoveryJournal::write(const QString &id, const QString &page, const RichImage &image)
{
    // The image shares the text's pieces: the copy is cheap here, the text is built and
    // encoded on the worker.
    m_worker.start([this, id, page, image, folder = m_folder] {
        yieldToTheWindow();
        const QString text = image.text.toString();
        const Cp932::Encoded encoded = Cp932::encodePage(text, image.forms, image.lineEnds);
        // Characters that Shift-JIS cannot hold are kept as text rather than lost as "?".
        const bool asText = !encoded.ok();
        const QByteArray data = asText ? text.toUtf8() : encoded.bytes;
        const QString dataName = id + (asText ? TextSuffix : BytesSuffix);
        QString problem;
        const Descriptor at(openFolder(folder, true, &problem));
        if (at.fd < 0) {
            reportFailure(failureText(ZError(ZErr::PathFileAccess, problem).info()));
            return;
        }
        if (auto failure = ReplaceFileAt(at.fd, dataName, data)) {
            reportFailure(failureText(*failure));
            return;
        }
        const QByteArray record = JournalRecord::write(page, QDateTime::currentDateTimeUtc(),
                                                       dataName, data, image.forms, image.lineEnds);
        if (auto failure = ReplaceFileAt(at.fd, id + RecordSuffix, record)) {
            reportFailure(failureText(*failure));
            return;
        }
        ::unlinkat(at.fd, native(id + (asText ? BytesSuffix : TextSuffix)).constData(), 0);
    });
}

void RecoveryJournal::remove(const QString &id)
{
    m_worker.start([id, folder = m_folder] { discard(folder, id); });
}

void RecoveryJournal::waitForIdle() { m_worker.waitForDone(); }

void RecoveryJournal::reportFailure(const QString &message)
{
    QMetaObject::invokeMethod(
        this,
        [this, message] {
            if (m_reported)
                return;
            m_reported = true;
            if (onFailure)
                onFailure(message);
        },
        Qt::QueuedConnection);
}

RecoveryJournal::Scan RecoveryJournal::scan(const QString &folder, const QString &newPage)
{
    Scan scan;
    const Descriptor at(openFolder(folder, false, &scan.refusedFolder));
    if (at.fd < 0)
        return scan;
    for (const QString &name : namesIn(at.fd)) {
        if (!name.endsWith(RecordSuffix) || name.startsWith(u'.'))
            continue;
        const QString id = name.chopped(RecordSuffix.size());
        try {
            QString why;
            const auto record = JournalRecord::read(readOwnFile(at.fd, name), id, newPage, &why);
            if (!record)
                throw why;
            const auto page = JournalRecord::restore(*record, readOwnFile(at.fd, record->dataName));
            if (!page)
                throw QStringLiteral("バイト形式が本文の外にあります");
            const JournalRecord::Page &p = *page;
            scan.pages << Found{id, p.page, p.time, p.text, p.forms, p.lineEnds};
        } catch (const QString &why) {
            scan.unreadable << Unreadable{name, why};
        }
    }
    std::stable_sort(scan.pages.begin(), scan.pages.end(),
                     [](const Found &a, const Found &b) { return a.time < b.time; });
    return scan;
}

void RecoveryJournal::discard(const QString &folder, const QString &id)
{
    QString problem;
    const Descriptor at(openFolder(folder, false, &problem));
    if (at.fd >= 0)
        removeJournalFiles(at.fd, id);
}
