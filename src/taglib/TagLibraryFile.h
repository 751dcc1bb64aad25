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

    bool ok() const { return !failure.has_value(); }
};

// A library file holds two lines per entry, comment then tag, each ended by CR LF, in code
// page 932. Failures are returned, never thrown, so that the library window can show them
// together with the entries read before them.

// A missing file fails with 53 and no entries; an odd number of lines fails with 62 after the
// complete entries, the lone last line dropped. An empty file is an empty list.
TagLibraryRead ReadTagLibraryFile(const QString &path);

// Replaces the file by entries, in list order. Nothing is written, and the former file stays,
// when an entry holds a character that code page 932 cannot hold or a CR (which would end its
// line and shift every later entry), or when the disk is full.
[[nodiscard]] std::optional<ZErrorInfo> WriteTagLibraryFile(const QString &path,
                                                            const QList<TagLibraryEntry> &entries);

// Creates an empty library file; an existing file keeps its content, so creating a library
// under the name of an existing one switches to it.
[[nodiscard]] std::optional<ZErrorInfo> CreateTagLibraryFile(const QString &path);
