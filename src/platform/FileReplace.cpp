#include "platform/FileReplace.h"

#include <QDir>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <cerrno>
#include <climits>
#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace {

QByteArray native(const QString &path)
{
    return QFile::encodeName(path);
}

// A descriptor that is closed when it goes out of scope.
class Descriptor
{
public:
    explicit Descriptor(int fd = -1) : m_fd(fd) {}
    ~Descriptor() { reset(); }
    Descriptor(const Descriptor &) = delete;
    Descriptor &operator=(const Descriptor &) = delete;
    int get() const { return m_fd; }
    // Closes now; returns the errno of a failed close, or 0.
    int reset()
    {
        const int fd = std::exchange(m_fd, -1);
        return fd >= 0 && ::close(fd) != 0 ? errno : 0;
    }

private:
    int m_fd;
};

// True when the mode bits let nobody write at path. Root's writes ignore the bits, so without
// this check a read-only page, or a page in a read-only folder, would be replaced all the same.
bool noWriteBits(const QString &path)
{
    struct stat st
    {
    };
    return ::stat(native(path).constData(), &st) == 0 && (st.st_mode & 0222) == 0;
}

QString kindOf(mode_t mode)
{
    if (S_ISDIR(mode))
        return QStringLiteral("フォルダ");
    if (S_ISFIFO(mode))
        return QStringLiteral("FIFO");
    if (S_ISSOCK(mode))
        return QStringLiteral("ソケット");
    if (S_ISCHR(mode) || S_ISBLK(mode))
        return QStringLiteral("デバイス");
    return QStringLiteral("特殊なファイル");
}

ZError notAFile(const QString &path, mode_t mode, bool writing)
{
    return ZError(ZErr::PathFileAccess,
                  (writing ? QStringLiteral("ファイルではないため保存できません（%1）：%2")
                           : QStringLiteral("ファイルではないため開けません（%1）：%2"))
                      .arg(kindOf(mode), path));
}

int readFailureNumber(const QString &path, int err)
{
    return err == ENOENT || err == ENOTDIR ? OpenFailureNumber(path, false)
                                           : ZError::numberForErrno(err);
}

QString folderOf(const QString &path)
{
    return path.left(qMax(path.lastIndexOf(u'/'), 1));
}

// The file a write lands in: path with every link followed. A link whose target does not
// exist yet lands where it points, as it would for any other program.
QString writeTarget(const QString &path)
{
    QString at = QDir::isAbsolutePath(path) ? path : QDir::currentPath() + u'/' + path;
    for (int hops = 0; hops < 40; ++hops) {
        struct stat st
        {
        };
        if (::lstat(native(at).constData(), &st) != 0 || !S_ISLNK(st.st_mode))
            return at;
        QByteArray target(PATH_MAX, '\0');
        const ssize_t length = ::readlink(native(at).constData(), target.data(), target.size());
        if (length < 0)
            throw ZError::fromErrno(errno);
        target.truncate(length);
        const QString next = QFile::decodeName(target);
        // Not cleaned: ".." after a linked folder is the kernel's to resolve, not ours.
        at = QDir::isAbsolutePath(next) ? next : folderOf(at) + u'/' + next;
    }
    throw ZError::fromErrno(ELOOP);
}

// The temporary files of this program: the new content of a replacement, and the copy of a
// page's old content kept while it is written in place. Only the first kind is ever removed
// by a later save; the second may be all that is left of the old page.
const QString NewContentSuffix = QStringLiteral(".tmp");
const QString OldContentSuffix = QStringLiteral(".old");

bool isLeftoverName(const QString &name)
{
    static const QRegularExpression pattern(QStringLiteral("^\\.zemlo-[0-9a-f]{6}\\.tmp$"));
    return pattern.match(name).hasMatch();
}

// A new empty file in a folder (open as dirfd, or AT_FDCWD with folder a path) under a short
// name of its own: a page's own name may already be as long as a name can be. The file is
// locked for as long as a descriptor of it is open, which tells a later save that a running
// copy still owns it. Returns the descriptor, or -1 with errno set.
int createBeside(int dirfd, const QString &folder, const QString &suffix, QString *created,
                 mode_t mode = 0666)
{
    for (int tries = 0; tries < 100; ++tries) {
        const QString name =
            QStringLiteral(".zemlo-%1")
                .arg(QRandomGenerator::global()->generate() & 0xFFFFFF, 6, 16, QLatin1Char('0')) +
            suffix;
        const QString candidate = folder.isEmpty() ? name : folder + u'/' + name;
        const QByteArray at = native(candidate);
        const int fd = ::openat(dirfd, at.constData(),
                                O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, mode);
        if (fd < 0 && errno != EEXIST)
            return -1;
        if (fd < 0)
            continue;
        // A clean-up may have taken the file between its creation and the lock: then it is
        // no longer at its name, and another is made. Where the file system has no locks, no
        // clean-up can take the file either.
        (void)::flock(fd, LOCK_EX);
        struct stat mine
        {
        }, named{};
        if (::fstat(fd, &mine) == 0 &&
            ::fstatat(dirfd, at.constData(), &named, AT_SYMLINK_NOFOLLOW) == 0 &&
            mine.st_ino == named.st_ino && mine.st_dev == named.st_dev) {
            *created = candidate;
            return fd;
        }
        ::close(fd);
    }
    errno = EEXIST;
    return -1;
}

// Removes the new-content files that saves cut short left in the folder open as dirfd: only
// this user's regular files, and only those that no running copy holds locked.
void removeLeftovers(int dirfd)
{
    const int listed = ::dup(dirfd);
    DIR *dir = listed >= 0 ? ::fdopendir(listed) : nullptr;
    if (!dir) {
        if (listed >= 0)
            ::close(listed);
        return;
    }
    ::rewinddir(dir);
    QList<QByteArray> names;
    while (const dirent *entry = ::readdir(dir))
        if (isLeftoverName(QFile::decodeName(entry->d_name)))
            names << QByteArray(entry->d_name);
    ::closedir(dir);
    for (const QByteArray &name : names) {
        const Descriptor fd(::openat(dirfd, name.constData(),
                                     O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
        struct stat st
        {
        }, named{};
        if (fd.get() < 0 || ::fstat(fd.get(), &st) != 0 || !S_ISREG(st.st_mode) ||
            st.st_uid != ::geteuid() || ::flock(fd.get(), LOCK_EX | LOCK_NB) != 0)
            continue;
        if (::fstatat(dirfd, name.constData(), &named, AT_SYMLINK_NOFOLLOW) == 0 &&
            named.st_ino == st.st_ino && named.st_dev == st.st_dev)
            ::unlinkat(dirfd, name.constData(), 0);
    }
}

// Writes every byte at offset; returns 0 or the errno of the failure. A short count is tried
// again; on a full disk the next try fails.
int writeAll(int fd, QByteArrayView bytes, off_t offset)
{
    qsizetype written = 0;
    while (written < bytes.size()) {
        const ssize_t count =
            ::pwrite(fd, bytes.data() + written, size_t(bytes.size() - written), offset + written);
        if (count < 0 && errno == EINTR)
            continue;
        if (count <= 0)
            return count < 0 ? errno : ENOSPC;
        written += count;
    }
    return 0;
}

// Space a file system only allots on the way to the disk is known for sure after a sync.
// (A file system that cannot sync says EINVAL; there is nothing more to wait for.)
int sync(int fd)
{
    return ::fsync(fd) != 0 && errno != EINVAL ? errno : 0;
}

// Writes a new file whole, syncs and closes it: 0, or the first error.
int writeSyncClose(Descriptor &fd, QByteArrayView bytes)
{
    if (const int err = writeAll(fd.get(), bytes, 0))
        return err;
    if (const int err = sync(fd.get()))
        return err;
    return fd.reset();
}

void syncFolder(const QString &folder)
{
    const Descriptor dir(::open(native(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (dir.get() >= 0)
        ::fsync(dir.get());
}

ZErrorInfo failure(int err)
{
    return ZError::fromErrno(err).info();
}

// The usual way: a complete new file renamed over the old one, which stays whole until then.
std::optional<ZErrorInfo> replaceByRename(const QString &target, const struct stat *old,
                                          QByteArrayView bytes)
{
    const QString folder = folderOf(target);
    QString temp;
    Descriptor fd(createBeside(AT_FDCWD, folder, NewContentSuffix, &temp));
    // Holds the lock past the close, until the file is renamed.
    const Descriptor lock(fd.get() >= 0 ? ::dup(fd.get()) : -1);
    if (fd.get() < 0) {
        const int err = errno;
        return ZError(err == ENOENT || err == ENOTDIR ? OpenFailureNumber(target, true)
                                                      : ZError::numberForErrno(err))
            .info();
    }
    const auto cancel = [&](int err) {
        fd.reset();
        ::unlink(native(temp).constData());
        return failure(err);
    };
    if (old) {
        // Owner first, as a change of owner clears set-id bits that the mode then gives back.
        // Only root may give a file away; others keep at least the group where they may.
        if (::fchown(fd.get(), old->st_uid, old->st_gid) != 0)
            (void)::fchown(fd.get(), uid_t(-1), old->st_gid);
        if (::fchmod(fd.get(), old->st_mode & 07777) != 0)
            return cancel(errno);
    }
    if (const int err = writeSyncClose(fd, bytes))
        return cancel(err);
    if (::rename(native(temp).constData(), native(target).constData()) != 0)
        return cancel(errno);
    syncFolder(folder);
    return std::nullopt;
}

// A file with several names is written in place, so that every name sees the new text. The
// complete old content is first copied beside it and synced: a failure puts the old bytes
// back, and should even that fail, the copy keeps them.
std::optional<ZErrorInfo> replaceInPlace(const QString &target, const struct stat &old,
                                         QByteArrayView bytes)
{
    Descriptor fd(::open(native(target).constData(), O_RDWR | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
    struct stat now
    {
    };
    if (fd.get() < 0)
        return failure(errno);
    if (::fstat(fd.get(), &now) != 0 || now.st_ino != old.st_ino || now.st_dev != old.st_dev)
        return failure(EAGAIN); // replaced while we looked: nothing is written
    QByteArray oldBytes(qsizetype(now.st_size), '\0');
    for (qsizetype done = 0; done < oldBytes.size();) {
        const ssize_t count =
            ::pread(fd.get(), oldBytes.data() + done, size_t(oldBytes.size() - done), done);
        if (count < 0 && errno == EINTR)
            continue;
        if (count < 0)
            return failure(errno);
        if (count == 0) {
            oldBytes.truncate(done);
            break;
        }
        done += count;
    }

    QString copy;
    {
        Descriptor out(createBeside(AT_FDCWD, folderOf(target), OldContentSuffix, &copy));
        if (out.get() < 0)
            return failure(errno);
        int err = ::fchmod(out.get(), 0600) != 0 ? errno : 0;
        if (!err)
            err = writeAll(out.get(), oldBytes, 0);
        if (!err)
            err = sync(out.get());
        if (!err)
            err = out.reset();
        if (err) {
            ::unlink(native(copy).constData());
            return failure(err);
        }
    }
    syncFolder(folderOf(target));
    const auto removeCopy = [&] { ::unlink(native(copy).constData()); };

    // Room for the new text is claimed before the first old byte is overwritten, where the
    // file system can; one that cannot still fails below and is put back.
    if (bytes.size() > oldBytes.size() && ::fallocate(fd.get(), 0, 0, bytes.size()) != 0 &&
        errno != EOPNOTSUPP && errno != ENOSYS) {
        const int err = errno;
        ::ftruncate(fd.get(), oldBytes.size());
        removeCopy();
        return failure(err);
    }
    int err = writeAll(fd.get(), bytes, 0);
    if (!err && ::ftruncate(fd.get(), bytes.size()) != 0)
        err = errno;
    if (!err)
        err = sync(fd.get());
    if (!err) {
        removeCopy();
        return std::nullopt;
    }
    const bool restored = writeAll(fd.get(), oldBytes, 0) == 0 &&
                          ::ftruncate(fd.get(), oldBytes.size()) == 0 && sync(fd.get()) == 0;
    if (restored) {
        removeCopy();
        return failure(err);
    }
    ZErrorInfo info = failure(err);
    info.description += QStringLiteral("\r\n元の内容は次のファイルに残っています：") + copy;
    return info;
}

} // namespace

int OpenFailureNumber(const QString &path, bool forWriting)
{
    if (path.isEmpty())
        return forWriting ? ZErr::PathFileAccess : ZErr::FileNotFound;
    const QFileInfo file(path);
    const QFileInfo folder(file.absolutePath());
    if (!folder.isDir())
        return ZErr::PathNotFound;
    if (file.isDir())
        return ZErr::PathFileAccess;
    if (!file.exists())
        return forWriting ? ZErr::PermissionDenied : ZErr::FileNotFound;
    return ZErr::PermissionDenied;
}

bool IsMissingFileNumber(int number)
{
    return number == ZErr::FileNotFound || number == ZErr::PathNotFound;
}

std::unique_ptr<QFile> OpenRegularFile(const QString &path)
{
    if (path.isEmpty())
        throw ZError(OpenFailureNumber(path, false));
    struct stat st
    {
    };
    if (::stat(native(path).constData(), &st) != 0)
        throw ZError(readFailureNumber(path, errno));
    if (!S_ISREG(st.st_mode))
        throw notAFile(path, st.st_mode, false);
    // Not blocking, and checked again on what was opened: a FIFO put there since the look
    // above must not hold the open up.
    const int fd = ::open(native(path).constData(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0)
        throw ZError(readFailureNumber(path, errno));
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        throw notAFile(path, st.st_mode, false);
    }
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    auto file = std::make_unique<QFile>();
    if (!file->open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        throw ZError(ZErr::PathFileAccess);
    }
    return file;
}

QByteArray ReadFileContent(const QString &path)
{
    const std::unique_ptr<QFile> file = OpenRegularFile(path);
    QByteArray bytes = file->readAll();
    if (file->error() != QFileDevice::NoError)
        throw ZError(ZErr::PathFileAccess);
    return bytes;
}

std::optional<ZErrorInfo> ReplaceFileContent(const QString &path, QByteArrayView bytes)
{
    if (path.isEmpty())
        return ZError(OpenFailureNumber(path, true)).info();
    QString target;
    try {
        target = writeTarget(path);
    } catch (const ZError &e) {
        return e.info();
    }
    struct stat st
    {
    };
    const bool exists = ::stat(native(target).constData(), &st) == 0;
    if (!exists && errno != ENOENT)
        return ZError(errno == ENOTDIR ? ZErr::PathNotFound : ZError::numberForErrno(errno)).info();
    if (exists && !S_ISREG(st.st_mode))
        return notAFile(path, st.st_mode, true).info();
    if ((exists && (st.st_mode & 0222) == 0) || noWriteBits(folderOf(target)))
        return ZError(ZErr::PermissionDenied).info();
    const std::optional<ZErrorInfo> failure =
        exists && st.st_nlink > 1 ? replaceInPlace(target, st, bytes)
                                  : replaceByRename(target, exists ? &st : nullptr, bytes);
    RemoveLeftoverTemporaries(folderOf(target));
    return failure;
}

std::optional<ZErrorInfo> ReplaceFileAt(int folder, const QString &name, QByteArrayView bytes)
{
    QString temp;
    Descriptor fd(createBeside(folder, QString(), NewContentSuffix, &temp, 0600));
    if (fd.get() < 0)
        return failure(errno);
    const Descriptor lock(::dup(fd.get()));
    const auto cancel = [&](int err) {
        fd.reset();
        ::unlinkat(folder, native(temp).constData(), 0);
        return failure(err);
    };
    if (const int err = writeSyncClose(fd, bytes))
        return cancel(err);
    if (::renameat(folder, native(temp).constData(), folder, native(name).constData()) != 0)
        return cancel(errno);
    ::fsync(folder);
    return std::nullopt;
}

void RemoveLeftoverTemporaries(const QString &folder)
{
    const Descriptor dir(::open(native(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (dir.get() >= 0)
        removeLeftovers(dir.get());
}

void RemoveLeftoverTemporaries(int folder)
{
    removeLeftovers(folder);
}
