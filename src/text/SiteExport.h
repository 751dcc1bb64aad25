#pragma once

#include "text/SiteWalk.h"
#include "text/Utf8Export.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <optional>
#include <utility>

struct Pictograph;

// A whole site carried to today's phones: every page converted as the single page's UTF-8 copy
// converts it, every other file copied as it is, under the same names in a new folder, and the
// pictures the pictographs need once in emoji/ at its top. The site is only read.
//
// The copy is made in a hidden folder beside the target and takes the target's name only once
// it is whole: a failure or a cancel removes it, so there is never a copy with pages missing,
// whose broken links nobody would notice.
namespace SiteExport {

struct Report
{
    int pages = 0;  // converted
    int copied = 0; // other files, as they are
    int emoji = 0;
    int images = 0;
    int names = 0;
    int invalidBytes = 0;
    int charsets = 0;                   // pages whose charset declaration was changed or added
    QList<const Pictograph *> pictures; // in emoji/, each once
    QList<std::pair<QString, QString>> careful; // pages that needed care, and what
    QStringList skipped;                        // entries of the site that are no regular file
};

struct Result
{
    Report report;
    std::optional<QString> failure; // what went wrong; nothing was left behind
    bool cancelled = false;
};

// A page's copy: the single page's conversion, its pictures reached from its folder.
Utf8Export::Copy convertPage(const QString &page, const QByteArray &bytes);

// Writes the copy of site into target, a folder not there yet or empty, not inside the site.
Result write(const Site::Listing &site, const QString &target, const QString &programFolder,
             Site::Progress *progress = nullptr);

} // namespace SiteExport
