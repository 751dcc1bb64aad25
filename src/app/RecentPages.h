#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

// The recent pages: the last pages opened or saved, newest first, kept in a file of their own
// beside the settings, one full path a line in UTF-8.
namespace RecentPages {
inline constexpr int Max = 8;

// The list a file holds. A damaged line (not UTF-8, control characters, a path that is not a
// full one) is passed over; a file far too long gives no list at all.
QStringList parse(const QByteArray &bytes);
QByteArray format(const QStringList &pages);
// The list with path at its front, once, and no more than Max pages. A path holding a line
// break or another control character is left out: the list stays as it was.
QStringList withFront(const QStringList &pages, const QString &path);

// The list in the file; a missing or damaged file, or anything but a regular file, gives an
// empty list.
QStringList load(const QString &file);
// Writes the list whole or not at all; a file the user made read-only stays as it is.
bool save(const QString &file, const QStringList &pages);
} // namespace RecentPages
