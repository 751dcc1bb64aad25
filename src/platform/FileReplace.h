#pragma once

#include "platform/ZError.h"

#include <QByteArrayView>
#include <QFile>
#include <QString>
#include <memory>
#include <optional>

// The error number for a file that could not be opened, found from what is at its path.
int OpenFailureNumber(const QString &path, bool forWriting);

// True for the numbers a reader gives for a path where nothing is: no file, or no folder.
bool IsMissingFileNumber(int number);

// Opens path for reading when it names a regular file, through links. A folder, FIFO, device
// or socket is refused with error 75 and a description naming the path, before a byte is
// read: a FIFO would wait for a writer forever and a device may never end. Throws ZError.
std::unique_ptr<QFile> OpenRegularFile(const QString &path);

// The whole content of a regular file; throws ZError when it cannot be opened or read.
QByteArray ReadFileContent(const QString &path);

// Replaces the content of path by bytes, or leaves the former file as it was. A link is
// followed to the file it names. The bytes go to a new file beside it, under a short name of
// its own, which takes the old file's owner, group and mode and is renamed over it only once
// every byte is written and synced. A file with several names (hard links) is written in
// place instead, so that every name sees the new text, after a synced copy of the old content
// has been made beside it. Anything but a regular file at path is never replaced (error 75).
// A short write (a full disk) cancels the whole. Returns the failure, if any. New files that
// earlier saves cut short left in the same folder are then removed (as below).
[[nodiscard]] std::optional<ZErrorInfo> ReplaceFileContent(const QString &path,
                                                           QByteArrayView bytes);

// Replaces the file name inside the folder open as the descriptor folder, by a complete new
// file readable by this user alone, renamed over it: never through a link, never elsewhere.
[[nodiscard]] std::optional<ZErrorInfo> ReplaceFileAt(int folder, const QString &name,
                                                      QByteArrayView bytes);

// Removes the new files of replacements that a kill or a crash cut short in a folder: this
// user's, and only those no running copy holds (a replacement under way keeps its file locked).
// The copy of a page's old content that an interrupted in-place write keeps is never removed.
void RemoveLeftoverTemporaries(const QString &folder);
void RemoveLeftoverTemporaries(int folder);
