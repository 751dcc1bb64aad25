#pragma once

#include <QString>

// The pointer file in the program folder records which library file is in use, so that a
// switch of library survives a restart. programFolder has no trailing separator.

// The path of the current library file: the first line of the pointer file, whatever it holds
// (an empty line gives an empty path), or the default library beside the program when the
// pointer file is missing, unreadable or empty.
QString LoadTagLibraryPath(const QString &programFolder);

// Makes path the library file of later starts. Callers ignore the result: a pointer file that
// cannot be written only means the next start uses the former library. Returns false, and
// keeps the former pointer file, when path cannot be written in code page 932 or the write
// fails.
bool SaveTagLibraryPath(const QString &programFolder, const QString &path);

QString TagLibraryPointerFile(const QString &programFolder);
QString DefaultTagLibraryFile(const QString &programFolder);
