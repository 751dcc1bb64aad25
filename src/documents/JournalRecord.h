#pragma once

#include "text/Cp932.h"

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <optional>

// The record of a recovery journal, the small file <id>.rec beside the journal's text file:
// the page's path, the time, the name, size and digest of the text file, the page's line end
// and byte forms. Records are read as untrusted input: whatever a record says, the text file
// it names lies beside it and belongs to it, and the page it names is a plain full path.
namespace JournalRecord {

struct Record
{
    QString page; // a full path, or the name of a page without a file
    QDateTime time;
    QString dataName; // <id>.sjis (the bytes Save writes) or <id>.utf8 (the text)
    qsizetype size = -1;
    QByteArray md5;
    Cp932::LineEnds lineEnds = Cp932::LineEnds::CrLf;
    Cp932::Forms forms;
};

// The record of a page's text file data.
QByteArray write(const QString &page, const QDateTime &time, const QString &dataName,
                 const QByteArray &data, const Cp932::Forms &forms, Cp932::LineEnds lineEnds);

// Reads the record of journal id (its file name without ".rec"). Refused, with the reason in
// why: not a record, a field missing or malformed, a text file other than the journal's own, a
// page that is neither newPage nor a clean full path of one line.
std::optional<Record> read(const QByteArray &bytes, const QString &id, const QString &newPage,
                           QString *why = nullptr);

// A page given back by a journal.
struct Page
{
    QString page;
    QDateTime time;
    QString text;
    Cp932::Forms forms;
    Cp932::LineEnds lineEnds = Cp932::LineEnds::CrLf;
};

// The page of a record and its text file. A text file that does not match its record was
// written by an end that came before its record: it is newer, and read by itself. Refused
// (nullopt) when the record's byte forms lie outside the text.
std::optional<Page> restore(const Record &record, const QByteArray &data);

} // namespace JournalRecord
