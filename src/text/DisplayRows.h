#pragma once

#include <QList>
#include <QString>
#include <QStringView>

// The rows a text control shows its long lines in. A line of thousands of characters is cut
// into rows by display breaks: marks in the document that are no characters of the text.
// Positions of the text count no break; positions of the document count each break as one.
// Lines end in LF in the text; the document's marks (breaks and line ends) are any character,
// the control's paragraph separator.
class DisplayRows
{
public:
    // Where a line is cut when it is longer than longest: the offsets the rows after the first
    // start at. A row holds row characters, or as few as half when a ">" ends it sooner, and
    // never ends between the halves of a surrogate pair.
    static QList<int> cuts(QStringView line, int longest, int row);
    // The text with each line longer than longest cut into rows, and the document positions of
    // its breaks; the text itself when no line is.
    static QString withBreaks(const QString &text, int longest, int row, QList<int> *breaks);

    DisplayRows() = default;
    explicit DisplayRows(QList<int> breaks) : m_breaks(std::move(breaks)) {}

    // The document positions of the breaks, sorted.
    const QList<int> &breaks() const { return m_breaks; }
    bool isEmpty() const { return m_breaks.isEmpty(); }
    int count() const { return int(m_breaks.size()); }

    // The breaks standing before a document position.
    int breaksBefore(int documentAt) const;
    // True when a break stands in [from, to).
    bool anyIn(int from, int to) const;
    bool isBreak(int documentAt) const;
    // The text position of a document position: a break counts as the character after it.
    int textPosition(int documentAt) const;
    // Where a text position stands in the document: behind a break there, at the start of the
    // row it begins.
    int documentPosition(int position) const;
    // A part of the document starting at from, without the breaks among it.
    QString withoutBreaks(const QString &documentText, int from) const;

    // The rows of the document's [from, to) were put back, rows long, cut at the offsets
    // given: the breaks there give way to the cuts, those behind move.
    void replaceRows(int from, int to, int rows, const QList<int> &cuts);

    // What a change of the document did to the breaks.
    struct Change
    {
        int before = 0; // breaks before the change
        int gone = 0;   // breaks the change removed
        int kept = 0;   // of those, the ones still standing (moved with the characters)
    };
    // The breaks among removed document characters at position that the change took.
    Change touched(int position, int removed) const;
    // The breaks follow a change that put added characters in place of removed ones. Where it
    // took breaks and added characters, inserted is what it added and old what it removed
    // (empty when not known), marks included. The document reports a replacement across rows
    // as a change of all of them: breaks the replacement did not touch stay. Without old, a
    // break stays where the inserted text has a mark in its place, counted from either end.
    Change follow(int position, int removed, int added, QStringView inserted, QStringView old);

private:
    QList<int> m_breaks;
};
