#pragma once

#include "text/SiteWalk.h"
#include "tools/TextSearch.h"

#include <QList>
#include <QString>
#include <utility>

// Find over every page of a site, with the find bar's options, in the pages' text as they are
// decoded for their windows: what a page's window would find, the site search finds.
struct SiteMatch
{
    QString page;
    int line = 0;        // from 1
    qsizetype start = 0; // in the page's text
    qsizetype length = 0;
    QString lineText; // the line, or the part of a long line around the match
    friend bool operator==(const SiteMatch &, const SiteMatch &) = default;
};

// The matches in one page's text, in order.
QList<SiteMatch> SearchPage(const QString &page, const QString &text, const QString &pattern,
                            SearchOptions options);

// A page that could not be read, and why.
using UnreadablePage = std::pair<QString, QString>;

// The matches in every page of the site; pages that cannot be read go to unreadable.
QList<SiteMatch> SearchSite(const Site::Listing &site, const Site::PageText &text,
                            const QString &pattern, SearchOptions options,
                            Site::Progress *progress = nullptr,
                            QList<UnreadablePage> *unreadable = nullptr);
