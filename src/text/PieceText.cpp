#include "text/PieceText.h"

namespace {
bool splitsPair(QStringView left, QStringView right)
{
    return !left.isEmpty() && !right.isEmpty() && left.back().isHighSurrogate() &&
           right.front().isLowSurrogate();
}
} // namespace

PieceText::PieceText(const QString &text)
{
    if (text.isEmpty())
        return;
    m_pieces.append(text);
    m_size = text.size();
    split(0);
}

QString PieceText::toString() const
{
    if (m_pieces.size() == 1)
        return m_pieces.first();
    QString out;
    out.reserve(m_size);
    for (const QString &piece : m_pieces)
        out.append(piece);
    return out;
}

QString PieceText::mid(qsizetype position, qsizetype length) const
{
    QString out;
    qsizetype start = 0;
    for (const QString &piece : m_pieces) {
        const qsizetype end = start + piece.size();
        if (end > position && start < position + length) {
            const qsizetype from = qMax(position, start);
            out.append(QStringView(piece).mid(from - start, qMin(end, position + length) - from));
        }
        if (end >= position + length)
            break;
        start = end;
    }
    return out;
}

void PieceText::split(qsizetype index)
{
    const QString whole = m_pieces.at(index);
    if (whole.size() <= 2 * PieceSize)
        return;
    QList<QString> parts;
    qsizetype at = 0;
    while (whole.size() - at > 2 * PieceSize) {
        qsizetype cut = at + PieceSize;
        if (splitsPair(QStringView(whole).first(cut), QStringView(whole).sliced(cut)))
            ++cut;
        parts.append(whole.mid(at, cut - at));
        at = cut;
    }
    parts.append(whole.mid(at));
    m_pieces.remove(index);
    for (qsizetype k = 0; k < parts.size(); ++k)
        m_pieces.insert(index + k, parts.at(k));
}

bool PieceText::replace(qsizetype position, qsizetype removed, QStringView inserted)
{
    if (position < 0 || removed < 0 || position + removed > m_size)
        return false;
    if (removed == 0 && inserted.isEmpty())
        return true;
    if (m_pieces.isEmpty()) {
        m_pieces.append(inserted.toString());
        m_size = inserted.size();
        split(0);
        return true;
    }
    // The piece the change starts in: an insertion between two pieces goes to the earlier one.
    qsizetype first = 0, firstStart = 0;
    while (first + 1 < m_pieces.size() && firstStart + m_pieces.at(first).size() < position +
                                                  (removed > 0 ? 1 : 0)) {
        firstStart += m_pieces.at(first).size();
        ++first;
    }
    const qsizetype end = position + removed;
    qsizetype last = first, lastStart = firstStart;
    while (last + 1 < m_pieces.size() && lastStart + m_pieces.at(last).size() < end) {
        lastStart += m_pieces.at(last).size();
        ++last;
    }
    if (first == last) {
        m_pieces[first].replace(position - firstStart, removed, inserted.toString());
    } else {
        QString merged = QStringView(m_pieces.at(first)).first(position - firstStart).toString();
        merged.append(inserted);
        merged.append(QStringView(m_pieces.at(last)).sliced(end - lastStart));
        m_pieces.remove(first + 1, last - first);
        m_pieces[first] = merged;
    }
    m_size += inserted.size() - removed;

    // Keep pairs whole across the changed piece's edges, and no piece empty.
    qsizetype count = m_pieces.size();
    split(first);
    const qsizetype lastChanged = first + (m_pieces.size() - count);
    if (lastChanged + 1 < m_pieces.size() &&
        splitsPair(m_pieces.at(lastChanged), m_pieces.at(lastChanged + 1))) {
        m_pieces[lastChanged].append(m_pieces.at(lastChanged + 1).front());
        m_pieces[lastChanged + 1].remove(0, 1);
        if (m_pieces.at(lastChanged + 1).isEmpty())
            m_pieces.remove(lastChanged + 1);
    }
    if (first > 0 && splitsPair(m_pieces.at(first - 1), m_pieces.at(first))) {
        m_pieces[first - 1].append(m_pieces.at(first).front());
        m_pieces[first].remove(0, 1);
    }
    if (m_pieces.at(first).isEmpty())
        m_pieces.remove(first);
    return true;
}

bool operator==(const PieceText &a, const PieceText &b)
{
    if (a.m_size != b.m_size)
        return false;
    qsizetype i = 0, j = 0, oi = 0, oj = 0;
    while (i < a.m_pieces.size() && j < b.m_pieces.size()) {
        const QStringView left = QStringView(a.m_pieces.at(i)).sliced(oi);
        const QStringView right = QStringView(b.m_pieces.at(j)).sliced(oj);
        const qsizetype n = qMin(left.size(), right.size());
        if (left.first(n) != right.first(n))
            return false;
        oi += n;
        oj += n;
        if (oi == a.m_pieces.at(i).size()) {
            ++i;
            oi = 0;
        }
        if (oj == b.m_pieces.at(j).size()) {
            ++j;
            oj = 0;
        }
    }
    return true;
}
