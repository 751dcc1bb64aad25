#pragma once

#include <QList>
#include <QString>
#include <QStringView>

// A text kept in pieces of a few thousand characters that copies share: a change copies the
// list of pieces and the piece it falls in, never the whole text. The control's text and the
// undo images of a page share their pieces, so that a keystroke on a large page costs what the
// keystroke changes. No piece ends between the two halves of a surrogate pair, so each piece
// can be converted on its own.
class PieceText
{
public:
    static constexpr qsizetype PieceSize = 4096;

    PieceText() = default;
    PieceText(const QString &text);

    qsizetype size() const { return m_size; }
    bool isEmpty() const { return m_size == 0; }
    const QList<QString> &pieces() const { return m_pieces; }
    QString toString() const;
    // The characters [position, position + length), within the text.
    QString mid(qsizetype position, qsizetype length) const;

    // Replaces removed characters at position by inserted ones; false (and no change) when
    // the range is not within the text.
    bool replace(qsizetype position, qsizetype removed, QStringView inserted);

    friend bool operator==(const PieceText &a, const PieceText &b);
    friend bool operator==(const PieceText &a, const QString &b) { return a == PieceText(b); }

private:
    // Cuts pieces[index] into pieces of about PieceSize, keeping surrogate pairs whole.
    void split(qsizetype index);
    QList<QString> m_pieces;
    qsizetype m_size = 0;
};
