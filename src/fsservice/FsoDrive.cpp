#include "fsservice/FsoDrive.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <sys/statvfs.h>

namespace fso {

namespace {

// The block device's own "removable" flag, or its whole disk's for a partition.
bool isRemovableDevice(const QString &device)
{
    if (!device.startsWith(QStringLiteral("/dev/")))
        return false;
    const QString name = QFileInfo(QFileInfo(device).canonicalFilePath()).fileName();
    QString sysPath = QFileInfo(QStringLiteral("/sys/class/block/") + name).canonicalFilePath();
    if (sysPath.isEmpty())
        return false;
    if (QFileInfo::exists(sysPath + QStringLiteral("/partition")))
        sysPath = QFileInfo(sysPath).path();
    QFile flag(sysPath + QStringLiteral("/removable"));
    return flag.open(QIODevice::ReadOnly) && flag.readAll().trimmed() == "1";
}

// The file system's UUID where the system publishes it, else its file-system id, else
// the device and mount point.
QByteArray identityOf(const QStorageInfo &drive)
{
    const QString device = QFileInfo(drive.device()).canonicalFilePath();
    if (!device.isEmpty()) {
        QDirIterator it(QStringLiteral("/dev/disk/by-uuid"), QDir::System | QDir::Files);
        while (it.hasNext()) {
            const QString link = it.next();
            if (QFileInfo(link).canonicalFilePath() == device)
                return "uuid:" + QFileInfo(link).fileName().toUtf8();
        }
    }
    struct statvfs sv = {};
    if (statvfs(QFile::encodeName(drive.rootPath()).constData(), &sv) == 0 && sv.f_fsid != 0)
        return "fsid:" + QByteArray::number(quint64(sv.f_fsid), 16) + ':' + drive.device();
    return drive.device() + '\n' + QFile::encodeName(drive.rootPath());
}

} // namespace

std::optional<QStorageInfo> driveOf(const QString &path)
{
    if (!path.startsWith(u'/'))
        return std::nullopt;
    QString existing = QDir::cleanPath(path);
    while (!QFileInfo::exists(existing) && existing != QStringLiteral("/"))
        existing = QFileInfo(existing).path();
    const QStorageInfo drive(existing);
    if (!drive.isValid())
        return std::nullopt;
    return drive;
}

QList<QStorageInfo> allDrives()
{
    QList<QStorageInfo> drives;
    for (const QStorageInfo &drive : QStorageInfo::mountedVolumes()) {
        if (drive.isValid())
            drives.append(drive);
    }
    return drives;
}

bool isNetworkFileSystem(const QByteArray &fileSystemType)
{
    static const QList<QByteArray> network = {
        "nfs",   "nfs4",        "cifs",           "smb3",        "smbfs",      "ncpfs",
        "afs",   "9p",          "ceph",           "glusterfs",   "fuse.sshfs", "sshfs",
        "davfs", "fuse.davfs2", "fuse.glusterfs", "fuse.rclone", "fuse.s3fs",  "lustre"};
    return network.contains(fileSystemType);
}

int16_t driveTypeFor(const QByteArray &fileSystemType, const QString &device, bool removableDevice)
{
    if (isNetworkFileSystem(fileSystemType))
        return 3;
    if (fileSystemType == "iso9660" || fileSystemType == "udf")
        return 4;
    const QString name = device.section(u'/', -1);
    if (fileSystemType == "tmpfs" || fileSystemType == "ramfs" ||
        name.startsWith(QStringLiteral("zram")) || name.startsWith(QStringLiteral("ram")))
        return 5;
    return removableDevice ? 1 : 2;
}

int16_t driveTypeOf(const QStorageInfo &drive)
{
    const QString device = QString::fromLocal8Bit(drive.device());
    return driveTypeFor(drive.fileSystemType(), device, isRemovableDevice(device));
}

int32_t serialFromIdentity(const QByteArray &identity)
{
    // FNV-1a: the same identity gives the same number on every run and build.
    uint32_t hash = 2166136261u;
    for (const char c : identity) {
        hash ^= static_cast<unsigned char>(c);
        hash *= 16777619u;
    }
    return static_cast<int32_t>(hash);
}

QString serialNumberOf(const QStorageInfo &drive)
{
    return QString::number(serialFromIdentity(identityOf(drive)));
}

} // namespace fso
