#pragma once

#include "platform/ZError.h"

#include <QList>
#include <QString>
#include <optional>

// One entry of a tag library, known only by its place in the list.
struct TagLibraryEntry
{
    QString comment;
    QString tag;

    friend bool operator==(const TagLibraryEntry &, const TagLibraryEntry &) = default;
};

struct TagLibraryRead
{
    // The complete entries read, also when the read failed part-way.
    QList<TagLibraryEntry> entries;
    std::optional<ZErrorInfo> failure;
    // An odd number of lines: the lone last line, which is not among the entries.
    QString droppedLine;

    bool ok() const { return !failure.has_value(); }
};

// A library file holds two lines per entry, comment then tag, each ended by CR LF, in code
// page 932. A file without any CR is read with LF line ends (edited by a tool that writes
// them); it is written back with CR LF. Failures are returned, never thrown, so that the library window can show them
// together with the entries read before them.

// A missing file fails with 53 and no entries; an odd number of lines fails with 62 after the
// complete entries, the lone last line dropped. An empty file is an empty list.
TagLibraryRead ReadTagLibraryFile(const QString &path);

// Why a comment or tag cannot be kept in a library file (a character code page 932 cannot
// hold, named; a CR), for a message to the user; nothing when it can.
std::optional<QString> UnstorableInEntry(const QString &text);

// Replaces the file by entries, in list order. Nothing is written, and the former file stays,
// when an entry holds a character that code page 932 cannot hold or a CR (which would end its
// line and shift every later entry), or when the disk is full.
[[nodiscard]] std::optional<ZErrorInfo> WriteTagLibraryFile(const QString &path,
                                                            const QList<TagLibraryEntry> &entries);

// Creates an empty library file; an existing file keeps its content, so creating a library
// under the name of an existing one switches to it.
[[nodiscard]] std::optional<ZErrorInfo> CreateTagLibraryFile(const QString &path);
