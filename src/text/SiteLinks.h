#pragma once

#include "text/SiteWalk.h"

#include <QList>
#include <QSet>
#include <QString>
#include <functional>
#include <optional>

// The links of a site's pages and where they lead: to a file of the site, to an anchor of a
// page, out of the site's folder, or elsewhere on the net.
namespace SiteLinks {

// A link or picture of a page: the value of an href or a src (frames and pictures included;
// au's localsrc names a pictograph, not a file, and is passed over).
struct Link
{
    QString target; // as written, character references to "&" decoded
    int line = 0;   // from 1
    qsizetype position = 0;
    friend bool operator==(const Link &, const Link &) = default;
};
QList<Link> links(const QString &text);
// The names a page's links may end in after '#': those of <a name> and of every id.
QSet<QString> anchors(const QString &text);

enum class Kind : quint8
{
    InSite,   // a file (or folder) of the site, maybe with an anchor
    External, // an address with a scheme (http:, mailto:, tel:) or of another host
    Outside,  // above the site's folder, or a path of this machine
};
struct Resolved
{
    Kind kind = Kind::InSite;
    QString path;     // InSite: relative to the site's folder, '/' between folders, empty for
                      // the folder itself
    QString fragment; // after '#', percent-decoded; empty when none
    bool hasFragment = false;
    friend bool operator==(const Resolved &, const Resolved &) = default;
};
// Where target leads from the page at page (relative to the site's folder). Query strings go;
// percent-encoded names are read as UTF-8, or as Shift-JIS when they are not UTF-8.
Resolved resolve(const QString &page, const QString &target);

enum class Problem : quint8
{
    MissingFile,
    CaseDiffers, // missing, but a file of the site differs from it in case alone
    MissingAnchor,
    Outside,
    External,   // not a problem: listed apart, never fetched
    Unreadable, // the page itself could not be read
};
struct Finding
{
    QString page;
    int line = 0;
    qsizetype position = 0;
    QString target;
    Problem problem = Problem::MissingFile;
    QString detail; // CaseDiffers: the file's real name; Unreadable: the reason
};

// What a finding says, for the list of findings.
QString describe(const Finding &finding);

// Checks every page of a listing, reading each through text.
QList<Finding> check(const Site::Listing &site, const Site::PageText &text,
                     Site::Progress *progress = nullptr);

} // namespace SiteLinks
