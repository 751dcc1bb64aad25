#pragma once

#include "text/Cp932.h"

#include <QByteArray>
#include <QList>
#include <QString>

struct Pictograph;

// A page made readable by today's browsers: its text as UTF-8, each carrier pictograph (raw,
// a reference to its Shift-JIS code or to its private-use character, or au's
// <img localsrc="44">) as its standard emoji, or as a picture where there is none, and its
// charset declared as UTF-8. The page itself is not touched; this makes a copy.
namespace Utf8Export {

struct Options
{
    // The page's line ends: its own, and the forms of those that differ (other forms are
    // passed over), as the page is written to its own file.
    Cp932::LineEnds lineEnds = Cp932::LineEnds::CrLf;
    Cp932::Forms forms;
    // What leads from the copy to the top of the pictures' folder: "../" for a page one
    // folder below it, as in a site whose pictures lie once at its top.
    QString imageFolderPrefix;
};

struct Report
{
    int emoji = 0;  // pictographs written as their standard emoji
    int images = 0; // written as a picture (<img>), having no emoji
    // Written as their name, having no emoji and standing where a picture cannot: inside a
    // tag, a title, a comment, a script.
    int names = 0;
    // Kept invalid bytes and private-use characters other than pictographs, written as U+FFFD.
    int invalidBytes = 0;
    QList<int> invalidLines; // the lines (from 1) they stood on, each once
    // The pictures the copy shows, each once, in order of first use: they go into ImageFolder
    // beside it.
    QList<const Pictograph *> pictures;
    int charsetsChanged = 0;      // declarations rewritten to UTF-8
    bool charsetInserted = false; // the page declared none, and now declares UTF-8
};

struct Copy
{
    QByteArray bytes; // UTF-8, without a byte order mark
    Report report;
};

// The folder beside the copy that holds its pictures.
inline constexpr char ImageFolder[] = "emoji";

// The report's lines of pictographs, each ended by CR LF: how many became emoji, pictures
// (copied into the picture folder) and names. The single page's report and the site's share them.
QString pictographCounts(int emoji, int images, qsizetype pictures, int names);

Copy convert(const QString &text, const Options &options = {});

// The name proposed for the copy: the page's with "-utf8" before its extension.
QString proposedName(const QString &pagePath);

} // namespace Utf8Export
