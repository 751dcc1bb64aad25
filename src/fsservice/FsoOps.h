#pragma once

#include <QString>
#include <QStringList>

// The file and folder operations behind ClsFSO. Each throws ZError on failure, with the
// program's error numbers, and does nothing of its own accord that it was not asked to.
//
// Paths use "/". A destination that ends with "/" names a folder to copy or move into;
// without it the destination is the new item's own path. A source whose last component
// holds "*" or "?" names every matching item of its folder, and then the destination is
// always a folder to copy or move into.
namespace fso {

// The path made absolute against the current folder, with "." and ".." resolved. A
// trailing "/" is kept, since it tells a destination folder from a target name. An empty
// path has no absolute form and fails as an invalid path name.
QString absolutePath(const QString &path);
bool hasWildcards(const QString &path);
// Read-only is the owner's missing write permission, the counterpart of the read-only
// attribute. It is the program's own rule, so it holds for every user, root included.
bool isReadOnly(const QString &path);
// The files (or folders) that a source path names; fails when it names none.
QStringList expandSources(const QString &path, bool folders);

void copyFiles(const QString &source, const QString &destination, bool overwrite);
void moveFiles(const QString &source, const QString &destination);
void deleteFiles(const QString &source, bool force);
void copyFolders(const QString &source, const QString &destination, bool overwrite);
void moveFolders(const QString &source, const QString &destination);
void deleteFolders(const QString &source, bool force);
void createFolder(const QString &path);
// Gives the file or folder at path (as given) the name newName in the same folder.
void renameItem(const QString &path, const QString &newName, bool folder);

} // namespace fso
