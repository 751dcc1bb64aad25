#pragma once

#include <QList>
#include <QString>
#include <optional>

struct SearchOptions
{
    bool matchCase = false;
    // Full-width and half-width forms match each other: text and pattern are compared as the
    // half-width conversion leaves them.
    bool ignoreWidth = false;
};

struct TextMatch
{
    qsizetype start = 0;
    qsizetype length = 0;
    qsizetype end() const { return start + length; }
    friend bool operator==(const TextMatch &, const TextMatch &) = default;
};

// A pattern looked for in a text as the control holds it; positions are those of that text.
// A match never splits a surrogate pair or a CR LF, and with widths ignored it covers whole
// characters of the text (ｶ does not find the first half of what ガ becomes).
class TextSearch
{
public:
    TextSearch(const QString &text, const QString &pattern, SearchOptions options = {});

    // The first match that starts at from or later.
    std::optional<TextMatch> next(qsizetype from) const;
    // The last match that starts before from.
    std::optional<TextMatch> previous(qsizetype from) const;
    // Every match, each after the end of the one before.
    QList<TextMatch> all() const;

    qsizetype textSize() const { return m_text.size(); }

private:
    // Positions in the compared text (the text itself, or its narrowed form).
    qsizetype comparedIndex(qsizetype textPosition) const;
    qsizetype textIndex(qsizetype comparedPosition) const;
    std::optional<TextMatch> accept(qsizetype comparedStart) const;

    QString m_text;
    QString m_compared;
    QString m_pattern;
    Qt::CaseSensitivity m_case;
    // For each character of the narrowed text, and one past its end, the position in the text
    // it came from; empty while the two have the same positions.
    QList<int> m_origin;
};

// A search that goes on from the other end when it reaches one.
struct FoundMatch
{
    TextMatch match;
    bool wrapped = false;
};
std::optional<FoundMatch> FindWrapping(const TextSearch &search, qsizetype from, bool backward);

// The text with each match (in order, not overlapping) replaced.
QString ReplaceMatches(const QString &text, const QList<TextMatch> &matches,
                       const QString &replacement);
// Where positions of the text land once the matches are replaced; one inside a match lands
// behind its replacement. Asked in rising order it walks the matches once.
class ReplacedPositions
{
public:
    ReplacedPositions(const QList<TextMatch> &matches, qsizetype replacementLength)
        : m_matches(matches), m_replacement(replacementLength)
    {
    }
    qsizetype operator()(qsizetype position);

private:
    const QList<TextMatch> &m_matches;
    qsizetype m_replacement;
    qsizetype m_passed = 0; // matches that begin before the last position asked
    qsizetype m_shift = 0;  // what those replacements moved the text by
    qsizetype m_last = 0;
};
