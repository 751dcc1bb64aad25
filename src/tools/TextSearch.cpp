#include "tools/TextSearch.h"

#include "tools/Narrow.h"

#include <algorithm>

namespace {
// Whether a position falls between the two halves of a surrogate pair or of a CR LF.
bool splits(const QString &text, qsizetype pos)
{
    if (pos <= 0 || pos >= text.size())
        return false;
    const QChar before = text.at(pos - 1), after = text.at(pos);
    return (before.isHighSurrogate() && after.isLowSurrogate()) ||
           (before == QLatin1Char('\r') && after == QLatin1Char('\n'));
}
} // namespace

TextSearch::TextSearch(const QString &text, const QString &pattern, SearchOptions options)
    : m_text(text), m_compared(text), m_pattern(pattern),
      m_case(options.matchCase ? Qt::CaseSensitive : Qt::CaseInsensitive)
{
    if (!options.ignoreWidth)
        return;
    m_pattern = Narrow(pattern);
    m_compared = Narrow(text);
    // Narrowing never shrinks a character: the same length means the same positions.
    if (m_compared.size() == m_text.size())
        return;
    m_origin.reserve(m_compared.size() + 1);
    for (qsizetype i = 0; i < m_text.size(); ++i) {
        const char16_t c = m_text.at(i).unicode();
        // Only katakana with a sound mark become two characters.
        const qsizetype width = c >= 0x3000 && c <= 0x30FF ? Narrow(QStringView(&c, 1)).size() : 1;
        for (qsizetype k = 0; k < width; ++k)
            m_origin.append(int(i));
    }
    m_origin.append(int(m_text.size()));
}

qsizetype TextSearch::comparedIndex(qsizetype textPosition) const
{
    if (m_origin.isEmpty())
        return textPosition;
    return std::lower_bound(m_origin.cbegin(), m_origin.cend(), int(textPosition)) -
           m_origin.cbegin();
}

qsizetype TextSearch::textIndex(qsizetype comparedPosition) const
{
    return m_origin.isEmpty() ? comparedPosition : m_origin.at(comparedPosition);
}

std::optional<TextMatch> TextSearch::accept(qsizetype comparedStart) const
{
    const qsizetype comparedEnd = comparedStart + m_pattern.size();
    if (!m_origin.isEmpty()) {
        // Both ends must fall where a character of the text begins.
        const auto whole = [this](qsizetype k) {
            return k == 0 || k >= m_origin.size() - 1 || m_origin.at(k) != m_origin.at(k - 1);
        };
        if (!whole(comparedStart) || !whole(comparedEnd))
            return std::nullopt;
    }
    const qsizetype start = textIndex(comparedStart), end = textIndex(comparedEnd);
    if (splits(m_text, start) || splits(m_text, end))
        return std::nullopt;
    return TextMatch{start, end - start};
}

std::optional<TextMatch> TextSearch::next(qsizetype from) const
{
    if (m_pattern.isEmpty())
        return std::nullopt;
    qsizetype pos = m_compared.indexOf(m_pattern, comparedIndex(qBound<qsizetype>(0, from, m_text.size())), m_case);
    while (pos >= 0) {
        if (auto match = accept(pos))
            return match;
        pos = m_compared.indexOf(m_pattern, pos + 1, m_case);
    }
    return std::nullopt;
}

std::optional<TextMatch> TextSearch::previous(qsizetype from) const
{
    if (m_pattern.isEmpty())
        return std::nullopt;
    // The last start before from; lastIndexOf reads -1 as "from the end", so it is never given.
    qsizetype last = comparedIndex(qBound<qsizetype>(0, from, m_text.size())) - 1;
    while (last >= 0) {
        const qsizetype pos = m_compared.lastIndexOf(m_pattern, last, m_case);
        if (pos < 0)
            break;
        if (auto match = accept(pos))
            return match;
        last = pos - 1;
    }
    return std::nullopt;
}

QList<TextMatch> TextSearch::all() const
{
    QList<TextMatch> matches;
    qsizetype from = 0;
    while (auto match = next(from)) {
        matches.append(*match);
        from = match->end();
    }
    return matches;
}

std::optional<FoundMatch> FindWrapping(const TextSearch &search, qsizetype from, bool backward)
{
    if (auto match = backward ? search.previous(from) : search.next(from))
        return FoundMatch{*match, false};
    if (auto match = backward ? search.previous(search.textSize()) : search.next(0))
        return FoundMatch{*match, true};
    return std::nullopt;
}

QString ReplaceMatches(const QString &text, const QList<TextMatch> &matches,
                       const QString &replacement)
{
    QString out;
    out.reserve(text.size() + matches.size() * qMax<qsizetype>(0, replacement.size()));
    qsizetype at = 0;
    for (const TextMatch &m : matches) {
        out.append(QStringView(text).mid(at, m.start - at));
        out.append(replacement);
        at = m.end();
    }
    out.append(QStringView(text).mid(at));
    return out;
}

qsizetype ReplacedPositions::operator()(qsizetype position)
{
    if (position < m_last)
        m_passed = m_shift = 0;
    m_last = position;
    for (; m_passed < m_matches.size() && m_matches.at(m_passed).start < position; ++m_passed)
        m_shift += m_replacement - m_matches.at(m_passed).length;
    if (m_passed > 0) {
        const TextMatch &last = m_matches.at(m_passed - 1);
        if (position < last.end())
            return last.end() + m_shift; // behind that replacement
    }
    return position + m_shift;
}
