#pragma once

#include <QByteArray>
#include <QList>
#include <QStorageInfo>
#include <QString>
#include <cstdint>
#include <optional>

// Drives are the mounted volumes. The drive of a path is the volume that holds it: the
// volume of its nearest existing folder. Only an absolute path names a drive.
namespace fso {

std::optional<QStorageInfo> driveOf(const QString &path);
QList<QStorageInfo> allDrives();

// 1 removable, 2 fixed, 3 network, 4 optical, 5 RAM-backed.
int16_t driveTypeFor(const QByteArray &fileSystemType, const QString &device, bool removableDevice);
int16_t driveTypeOf(const QStorageInfo &drive);
bool isNetworkFileSystem(const QByteArray &fileSystemType);

// A stable signed 32-bit number drawn from an identity of the volume.
int32_t serialFromIdentity(const QByteArray &identity);
QString serialNumberOf(const QStorageInfo &drive);

} // namespace fso
