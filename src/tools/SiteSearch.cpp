#include "tools/SiteSearch.h"

namespace {
// A line longer than this shows only the part around its match; minified pages come in one
// line of a megabyte.
constexpr qsizetype ShownLine = 160;
constexpr qsizetype ShownBefore = 60;
} // namespace

QList<SiteMatch> SearchPage(const QString &page, const QString &text, const QString &pattern,
                            SearchOptions options)
{
    QList<SiteMatch> found;
    if (pattern.isEmpty())
        return found;
    int line = 1;
    qsizetype lineStart = 0;
    qsizetype lineEnd = text.indexOf(u'\n');
    if (lineEnd < 0)
        lineEnd = text.size();
    for (const TextMatch &m : TextSearch(text, pattern, options).all()) {
        // The matches come in order: the line moves on only forwards.
        while (m.start > lineEnd) {
            ++line;
            lineStart = lineEnd + 1;
            lineEnd = text.indexOf(u'\n', lineStart);
            if (lineEnd < 0)
                lineEnd = text.size();
        }
        QString shown;
        if (lineEnd - lineStart <= ShownLine) {
            shown = text.mid(lineStart, lineEnd - lineStart);
        } else {
            const qsizetype from = qMax(lineStart, m.start - ShownBefore);
            const qsizetype to = qMin(lineEnd, qMax(m.end(), from + ShownLine));
            shown = (from > lineStart ? QStringLiteral("…") : QString()) +
                    text.mid(from, to - from) + (to < lineEnd ? QStringLiteral("…") : QString());
        }
        found << SiteMatch{page, line, m.start, m.length, shown};
    }
    return found;
}

QList<SiteMatch> SearchSite(const Site::Listing &site, const Site::PageText &text,
                            const QString &pattern, SearchOptions options, Site::Progress *progress,
                            QList<UnreadablePage> *unreadable)
{
    QList<SiteMatch> found;
    if (progress)
        progress->total = int(site.files.size());
    for (const Site::File &f : site.files) {
        if (progress && progress->stop())
            break;
        if (progress)
            progress->step();
        if (f.kind != Site::FileKind::Page)
            continue;
        QString error;
        const std::optional<QString> page = text(f.path, &error);
        if (!page) {
            if (unreadable)
                *unreadable << UnreadablePage(f.path, error);
            continue;
        }
        found << SearchPage(f.path, *page, pattern, options);
    }
    return found;
}
