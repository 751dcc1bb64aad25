#pragma once

#include "fsservice/FsoFields.h"

#include <QDateTime>
#include <QString>

// The texts of the information boxes, built from the fields alone so that every layout
// can be checked without a real drive, file or folder behind it.
namespace fso {

// The Japanese name of a drive type code; anything outside 1 to 5 is unknown.
QString driveTypeName(int type);
// A KB value as a whole number with the default locale's digit grouping, then " KB".
QString sizeText(double kb);
// A date-time in the default locale's short form; empty when it cannot be read.
QString dateText(const QDateTime &when);

QString fileInfoText(const FsoFileFields &f);
QString folderInfoText(const FsoFolderFields &f);
QString driveInfoText(const FsoDriveFields &d);

} // namespace fso
