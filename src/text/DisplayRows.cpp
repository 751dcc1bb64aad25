#include "text/DisplayRows.h"

#include <algorithm>

QList<int> DisplayRows::cuts(QStringView line, int longest, int row)
{
    QList<int> cuts;
    qsizetype from = 0;
    while (line.size() - from > longest) {
        qsizetype cut = from + row;
        // A minified page breaks between its tags.
        for (qsizetype c = cut; c > from + row / 2; --c) {
            if (line[c - 1] == QLatin1Char('>')) {
                cut = c;
                break;
            }
        }
        if (line[cut - 1].isHighSurrogate())
            --cut;
        cuts.append(int(cut));
        from = cut;
    }
    return cuts;
}

QString DisplayRows::withBreaks(const QString &text, int longest, int row, QList<int> *breaks)
{
    breaks->clear();
    QString out;
    qsizetype copied = 0, start = 0;
    while (start <= text.size()) {
        qsizetype end = text.indexOf(QLatin1Char('\n'), start);
        if (end < 0)
            end = text.size();
        if (end - start > longest) {
            if (out.isEmpty())
                out.reserve(text.size() + text.size() / (row / 2) + 1);
            for (const int cut : cuts(QStringView(text).mid(start, end - start), longest, row)) {
                out.append(QStringView(text).mid(copied, start + cut - copied));
                breaks->append(int(out.size()));
                out.append(QChar::ParagraphSeparator);
                copied = start + cut;
            }
        }
        start = end + 1;
    }
    if (breaks->isEmpty())
        return text;
    out.append(QStringView(text).mid(copied));
    return out;
}

int DisplayRows::breaksBefore(int documentAt) const
{
    return int(std::lower_bound(m_breaks.cbegin(), m_breaks.cend(), documentAt) -
               m_breaks.cbegin());
}

bool DisplayRows::anyIn(int from, int to) const
{
    const auto first = std::lower_bound(m_breaks.cbegin(), m_breaks.cend(), from);
    return first != m_breaks.cend() && *first < to;
}

bool DisplayRows::isBreak(int documentAt) const
{
    return std::binary_search(m_breaks.cbegin(), m_breaks.cend(), documentAt);
}

int DisplayRows::textPosition(int documentAt) const
{
    return documentAt - breaksBefore(documentAt);
}

int DisplayRows::documentPosition(int position) const
{
    // The i-th break stands before the text position m_breaks[i] - i.
    qsizetype low = 0, high = m_breaks.size();
    while (low < high) {
        const qsizetype middle = (low + high) / 2;
        if (m_breaks.at(middle) - middle <= position)
            low = middle + 1;
        else
            high = middle;
    }
    return position + int(low);
}

QString DisplayRows::withoutBreaks(const QString &documentText, int from) const
{
    auto it = std::lower_bound(m_breaks.cbegin(), m_breaks.cend(), from);
    if (it == m_breaks.cend() || *it >= from + documentText.size())
        return documentText;
    QString text;
    text.reserve(documentText.size());
    qsizetype copied = 0;
    for (; it != m_breaks.cend() && *it < from + documentText.size(); ++it) {
        text.append(QStringView(documentText).mid(copied, *it - from - copied));
        copied = *it - from + 1;
    }
    text.append(QStringView(documentText).mid(copied));
    return text;
}

void DisplayRows::replaceRows(int from, int to, int rows, const QList<int> &cuts)
{
    const auto gone = std::lower_bound(m_breaks.begin(), m_breaks.end(), from);
    const auto kept = std::lower_bound(gone, m_breaks.end(), to);
    const int delta = rows - (to - from);
    for (auto it = kept; it != m_breaks.end(); ++it)
        *it += delta;
    const qsizetype at = gone - m_breaks.begin();
    m_breaks.erase(gone, kept);
    for (qsizetype k = 0; k < cuts.size(); ++k)
        m_breaks.insert(at + k, from + cuts.at(k));
}

DisplayRows::Change DisplayRows::touched(int position, int removed) const
{
    const auto first = std::lower_bound(m_breaks.cbegin(), m_breaks.cend(), position);
    const auto last = std::lower_bound(first, m_breaks.cend(), position + removed);
    return {int(first - m_breaks.cbegin()), int(last - first), 0};
}

DisplayRows::Change DisplayRows::follow(int position, int removed, int added, QStringView inserted,
                                        QStringView old)
{
    Change change = touched(position, removed);
    const auto first = m_breaks.begin() + change.before;
    const auto last = first + change.gone;
    const int delta = added - removed;
    QList<int> kept;
    if (change.gone > 0 && added > 0 && inserted.size() == added) {
        if (old.size() == removed) {
            const qsizetype most = qMin(removed, added);
            qsizetype same = 0, sameEnd = 0;
            while (same < most && old.at(same) == inserted.at(same))
                ++same;
            while (sameEnd < most - same &&
                   old.at(removed - 1 - sameEnd) == inserted.at(added - 1 - sameEnd))
                ++sameEnd;
            for (auto it = first; it != last; ++it) {
                if (*it < position + same)
                    kept.append(*it);
                else if (*it >= position + removed - sameEnd)
                    kept.append(*it + delta);
            }
        } else {
            const auto markAt = [&](int at) {
                return at >= position && at < position + added &&
                       inserted.at(at - position) == QChar::ParagraphSeparator;
            };
            for (auto it = first; it != last; ++it) {
                if (markAt(*it) && (kept.isEmpty() || kept.last() < *it))
                    kept.append(*it);
                else if (markAt(*it + delta) && (kept.isEmpty() || kept.last() < *it + delta))
                    kept.append(*it + delta);
            }
        }
    }
    for (auto it = last; it != m_breaks.end(); ++it)
        *it += delta;
    m_breaks.erase(first, last);
    for (qsizetype k = 0; k < kept.size(); ++k)
        m_breaks.insert(change.before + k, kept.at(k));
    change.kept = int(kept.size());
    return change;
}
