#pragma once

#include <QString>
#include <cstdint>

// The three groups of information fields. Each group is reset as a whole before an
// information call reads it, so a failed read never leaves an earlier call's values.

struct FsoDriveFields
{
    double drvTotalSize = 0;  // KB
    double drvFreeSpace = 0;  // KB, free rather than available to the user
    QString drvDriveLetter;   // the volume's mount point
    int16_t drvDriveType = 0; // 0 unknown, 1 removable, 2 fixed, 3 network, 4 optical, 5 RAM
    QString drvDriveTypeName;
    QString drvSerialNumber = QStringLiteral("0");
    QString drvFileSystem;
    bool drvIsReady = false;
    QString drvVolumeName;
    QString drvShareName;
    QString drvRootFolder;
};

struct FsoFileFields
{
    QString filName;
    QString filType;
    QString filPath;
    QString filParentFolder;
    double filSize = 0; // KB
    QString filCreated;
    QString filLastAccessed;
    QString filLastModified;
};

struct FsoFolderFields
{
    QString fldName;
    QString fldPath;
    QString fldParentFolder;
    QString fldType;
    double fldSize = 0; // KB
    int32_t fldSubFolders = 0;
    int32_t fldFiles = 0;
    QString fldCreated;
    QString fldLastAccessed;
    QString fldLastModified;
};
