#include "fsservice/FsoOps.h"

#include "platform/ZError.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTemporaryFile>
#include <cerrno>
#include <filesystem>

namespace fs = std::filesystem;

namespace fso {

namespace {

fs::path toFs(const QString &path)
{
    return fs::path(QFile::encodeName(path).toStdString());
}

QString fromFs(const fs::path &path)
{
    return QFile::decodeName(QByteArray::fromStdString(path.native()));
}

[[noreturn]] void fail(int number)
{
    throw ZError(number);
}

void check(const std::error_code &ec)
{
    if (ec)
        throw ZError::fromErrorCode(ec);
}

bool endsWithSeparator(const QString &path)
{
    return path.size() > 1 && path.endsWith(u'/');
}

QString withoutSeparator(const QString &path)
{
    return endsWithSeparator(path) ? path.chopped(1) : path;
}

QString lastComponent(const QString &path)
{
    return path.section(u'/', -1);
}

QString folderOf(const QString &path)
{
    const qsizetype slash = path.lastIndexOf(u'/');
    return slash <= 0 ? QStringLiteral("/") : path.left(slash);
}

QString joined(const QString &folder, const QString &name)
{
    return folder.endsWith(u'/') ? folder + name : folder + u'/' + name;
}

bool lexists(const QString &path)
{
    std::error_code ec;
    return fs::exists(fs::symlink_status(toFs(path), ec));
}

bool isFolder(const QString &path)
{
    return QFileInfo(path).isDir();
}

void requireFolder(const QString &path)
{
    if (!isFolder(path))
        fail(ZErr::PathNotFound);
}

// Only "*" and "?" are wildcards; every other character stands for itself.
QRegularExpression wildcardPattern(const QString &pattern)
{
    QString rx;
    for (const QChar c : pattern) {
        if (c == u'*')
            rx += QStringLiteral(".*");
        else if (c == u'?')
            rx += u'.';
        else
            rx += QRegularExpression::escape(QString(c));
    }
    return QRegularExpression(QRegularExpression::anchoredPattern(rx));
}

// Where a source goes: into the destination folder, or to the destination itself.
QString targetFor(const QString &source, const QString &destination, bool intoFolder)
{
    return intoFolder ? joined(withoutSeparator(destination), lastComponent(source)) : destination;
}

bool sameOrInside(const QString &folder, const QString &path)
{
    std::error_code ec;
    const QString f = fromFs(fs::weakly_canonical(toFs(folder), ec));
    const QString p = fromFs(fs::weakly_canonical(toFs(path), ec));
    return p == f || p.startsWith(joined(f, QString()));
}

// Copies through a temporary file beside the target, so that a failed copy never leaves
// a half-written target, and an overwritten file stays whole until the copy is complete.
// A link at the target is replaced by the copy itself: nothing is written through it into
// the file it points to, which may lie anywhere.
void copyOneFile(const QString &source, const QString &target, bool overwrite)
{
    requireFolder(folderOf(target));
    if (lexists(target)) {
        if (isFolder(target))
            throw ZError::fromErrno(EISDIR);
        std::error_code ec;
        if (!overwrite || fs::equivalent(toFs(source), toFs(target), ec))
            fail(ZErr::FileExists);
        if (isReadOnly(target))
            fail(ZErr::PermissionDenied);
    }
    // A short name of its own: the target's name may already be as long as a name can be.
    QTemporaryFile temp(joined(folderOf(target), QStringLiteral(".zemlo-XXXXXX.tmp")));
    if (!temp.open())
        throw ZError::fromErrno(errno ? errno : EACCES);
    temp.close();
    std::error_code ec;
    fs::copy_file(toFs(source), toFs(temp.fileName()), fs::copy_options::overwrite_existing, ec);
    check(ec);
    const auto modified = fs::last_write_time(toFs(source), ec);
    if (!ec)
        fs::last_write_time(toFs(temp.fileName()), modified, ec);
    fs::rename(toFs(temp.fileName()), toFs(target), ec);
    check(ec);
    temp.setAutoRemove(false);
}

// Finds every conflict before a folder copy starts, so that a refused copy copies nothing.
void checkTreeCopy(const QString &source, const QString &target, bool overwrite)
{
    if (sameOrInside(source, target))
        throw ZError::fromErrno(EINVAL);
    requireFolder(folderOf(target));
    if (lexists(target) && !isFolder(target))
        fail(ZErr::FileExists);
    std::error_code ec;
    for (auto it = fs::recursive_directory_iterator(toFs(source), ec);
         !ec && it != fs::recursive_directory_iterator(); it.increment(ec)) {
        const QString to = joined(target, fromFs(it->path().lexically_relative(toFs(source))));
        if (!lexists(to))
            continue;
        if (it->is_directory() && !it->is_symlink()) {
            if (!isFolder(to))
                fail(ZErr::FileExists);
        } else if (isFolder(to) || !overwrite) {
            fail(ZErr::FileExists);
        } else if (isReadOnly(to)) {
            fail(ZErr::PermissionDenied);
        }
    }
    check(ec);
}

void copyTree(const QString &source, const QString &target, bool overwrite)
{
    checkTreeCopy(source, target, overwrite);
    std::error_code ec;
    if (!isFolder(target)) {
        fs::create_directory(toFs(target), ec);
        check(ec);
    }
    for (auto it = fs::recursive_directory_iterator(toFs(source), ec);
         !ec && it != fs::recursive_directory_iterator(); it.increment(ec)) {
        const fs::path to = toFs(target) / it->path().lexically_relative(toFs(source));
        if (it->is_symlink()) {
            fs::remove(to, ec);
            fs::copy_symlink(it->path(), to, ec);
        } else if (it->is_directory()) {
            if (!fs::is_directory(to))
                fs::create_directory(to, ec);
        } else {
            copyOneFile(fromFs(it->path()), fromFs(to), overwrite);
        }
        check(ec);
    }
    check(ec);
}

bool treeHasReadOnly(const QString &folder)
{
    if (isReadOnly(folder))
        return true;
    std::error_code ec;
    for (auto it = fs::recursive_directory_iterator(toFs(folder), ec);
         !ec && it != fs::recursive_directory_iterator(); it.increment(ec)) {
        if (isReadOnly(fromFs(it->path())))
            return true;
    }
    check(ec);
    return false;
}

// Forced deletion: read-only folders get their write permission back so that their
// content can be removed by any user.
void makeFoldersWritable(const QString &folder)
{
    std::error_code ec;
    fs::permissions(toFs(folder), fs::perms::owner_all, fs::perm_options::add, ec);
    for (auto it = fs::recursive_directory_iterator(toFs(folder), ec);
         !ec && it != fs::recursive_directory_iterator(); it.increment(ec)) {
        if (it->is_directory() && !it->is_symlink())
            fs::permissions(it->path(), fs::perms::owner_all, fs::perm_options::add, ec);
    }
}

void moveOne(const QString &source, const QString &target, bool folder)
{
    if (folder && sameOrInside(source, target))
        throw ZError::fromErrno(EINVAL);
    requireFolder(folderOf(target));
    if (lexists(target))
        fail(ZErr::FileExists);
    std::error_code ec;
    fs::rename(toFs(source), toFs(target), ec);
    if (ec != std::errc::cross_device_link) {
        check(ec);
        return;
    }
    // Another volume: copy, and remove the source only once the copy is complete.
    if (folder)
        copyTree(source, target, false);
    else
        copyOneFile(source, target, false);
    fs::remove_all(toFs(source), ec);
    check(ec);
}

} // namespace

QString absolutePath(const QString &path)
{
    if (path.isEmpty())
        fail(ZErr::PathFileAccess);
    const QString clean = QDir::cleanPath(QDir::current().absoluteFilePath(path));
    return endsWithSeparator(path) && clean != QStringLiteral("/") ? clean + u'/' : clean;
}

bool hasWildcards(const QString &path)
{
    const QString name = lastComponent(withoutSeparator(path));
    return name.contains(u'*') || name.contains(u'?');
}

bool isReadOnly(const QString &path)
{
    std::error_code ec;
    const fs::file_status st = fs::symlink_status(toFs(path), ec);
    if (ec || !fs::exists(st) || fs::is_symlink(st))
        return false;
    return (st.permissions() & fs::perms::owner_write) == fs::perms::none;
}

QStringList expandSources(const QString &path, bool folders)
{
    const int missing = folders ? ZErr::PathNotFound : ZErr::FileNotFound;
    const QString source = withoutSeparator(path);
    const QString folder = folderOf(source);
    requireFolder(folder);
    if (!hasWildcards(source)) {
        const QFileInfo info(source);
        if (folders ? !info.isDir() : !info.isFile())
            fail(missing);
        return {source};
    }
    const QRegularExpression pattern = wildcardPattern(lastComponent(source));
    const QDir::Filters kind = folders ? QDir::Dirs | QDir::NoDotAndDotDot : QDir::Files;
    QStringList matches;
    for (const QString &name :
         QDir(folder).entryList(kind | QDir::Hidden | QDir::System, QDir::Name)) {
        if (pattern.match(name).hasMatch())
            matches.append(joined(folder, name));
    }
    if (matches.isEmpty())
        fail(missing);
    return matches;
}

void copyFiles(const QString &source, const QString &destination, bool overwrite)
{
    const bool intoFolder = endsWithSeparator(destination) || hasWildcards(source);
    const QStringList sources = expandSources(source, false);
    if (intoFolder)
        requireFolder(destination);
    for (const QString &s : sources)
        copyOneFile(s, targetFor(s, destination, intoFolder), overwrite);
}

void moveFiles(const QString &source, const QString &destination)
{
    const bool intoFolder = endsWithSeparator(destination) || hasWildcards(source);
    const QStringList sources = expandSources(source, false);
    if (intoFolder)
        requireFolder(destination);
    for (const QString &s : sources)
        moveOne(s, targetFor(s, destination, intoFolder), false);
}

void deleteFiles(const QString &source, bool force)
{
    for (const QString &s : expandSources(source, false)) {
        if (!force && isReadOnly(s))
            fail(ZErr::PermissionDenied);
        std::error_code ec;
        fs::remove(toFs(s), ec);
        check(ec);
    }
}

void copyFolders(const QString &source, const QString &destination, bool overwrite)
{
    const bool intoFolder = endsWithSeparator(destination) || hasWildcards(source);
    const QStringList sources = expandSources(source, true);
    if (intoFolder)
        requireFolder(destination);
    for (const QString &s : sources)
        copyTree(s, withoutSeparator(targetFor(s, destination, intoFolder)), overwrite);
}

void moveFolders(const QString &source, const QString &destination)
{
    const bool intoFolder = endsWithSeparator(destination) || hasWildcards(source);
    const QStringList sources = expandSources(source, true);
    if (intoFolder)
        requireFolder(destination);
    for (const QString &s : sources)
        moveOne(s, withoutSeparator(targetFor(s, destination, intoFolder)), true);
}

void deleteFolders(const QString &source, bool force)
{
    for (const QString &s : expandSources(source, true)) {
        // Whole volumes are not deleted as folders.
        if (s == QStringLiteral("/"))
            fail(ZErr::PermissionDenied);
        // A link to a folder goes alone: the folder it points to is not this folder's content,
        // so neither its modes nor its read-only files have a say.
        std::error_code ec;
        if (fs::is_symlink(fs::symlink_status(toFs(s), ec))) {
            fs::remove(toFs(s), ec);
            check(ec);
            continue;
        }
        // Checked before anything goes, so that a refusal leaves the folder whole.
        if (!force && treeHasReadOnly(s))
            fail(ZErr::PermissionDenied);
        if (force)
            makeFoldersWritable(s);
        fs::remove_all(toFs(s), ec);
        check(ec);
    }
}

void createFolder(const QString &path)
{
    const QString folder = withoutSeparator(path);
    if (lexists(folder))
        fail(ZErr::FileExists);
    requireFolder(folderOf(folder));
    std::error_code ec;
    fs::create_directory(toFs(folder), ec);
    check(ec);
}

void renameItem(const QString &path, const QString &newName, bool folder)
{
    const QFileInfo info(withoutSeparator(path));
    if (folder ? !info.isDir() : !info.isFile())
        fail(folder ? ZErr::PathNotFound : ZErr::FileNotFound);
    // A new name is a name only: it cannot move the item elsewhere.
    if (newName.isEmpty() || newName == u"." || newName == u".." || newName.contains(u'/') ||
        newName.contains(QChar(0)) || info.fileName().isEmpty())
        fail(ZErr::PathFileAccess);
    if (newName == info.fileName())
        return;
    const QString target = joined(info.absolutePath(), newName);
    if (lexists(target))
        fail(ZErr::FileExists);
    std::error_code ec;
    fs::rename(toFs(info.absoluteFilePath()), toFs(target), ec);
    check(ec);
}

} // namespace fso
