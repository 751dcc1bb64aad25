#include "widgets/RichTextBox.h"

#include "text/Cp932.h"
#include "platform/ZError.h"
#include "platform/FileReplace.h"
#include "text/Pictographs.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QFile>
#include <QHash>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QMimeData>
#include <QScopedValueRollback>
#include <QPainter>
#include <QResizeEvent>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextLayout>

#include <algorithm>

namespace {
// The first run that ends after pos.
template <typename It> It runAfter(It begin, It end, int pos)
{
    return std::upper_bound(begin, end, pos,
                            [](int p, const ColorRun &r) { return p < r.start + r.length; });
}
} // namespace

// One operation that changes the content reports one change, after it is complete.
class RichTextBox::Batch
{
public:
    explicit Batch(RichTextBox *box, bool forceChange = false) : m_box(box), m_force(forceChange)
    {
        if (m_box->m_silent++ == 0)
            m_box->m_changed = false;
    }
    ~Batch()
    {
        if (--m_box->m_silent == 0 && (m_box->m_changed || m_force)) {
            m_box->m_changed = false;
            Q_EMIT m_box->Change();
        }
    }

private:
    RichTextBox *m_box;
    bool m_force;
};

namespace {
QString fromDocument(QString text)
{
    text.replace(QChar::ParagraphSeparator, QLatin1Char('\n'));
    text.replace(QChar::LineSeparator, QLatin1Char('\n'));
    return text;
}

QFont designFont()
{
    QFont font;
    font.setFamilies({QStringLiteral("ＭＳ ゴシック"), QStringLiteral("MS Gothic"),
                      QStringLiteral("Noto Sans Mono CJK JP"), QStringLiteral("Noto Sans CJK JP"),
                      QStringLiteral("IPAGothic"), QStringLiteral("monospace")});
    font.setStyleHint(QFont::Monospace);
    font.setPointSizeF(9.75);
    font.setWeight(QFont::Normal);
    return font;
}

// Characters the document takes as the end of a paragraph, or reads back as one: a text
// with none of them is held exactly as given.
bool documentKeepsAsIs(QStringView text)
{
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        if (u == u'\r' || u == 0x2028 || u == 0x2029 || u == 0xFDD0 || u == 0xFDD1)
            return false;
    }
    return true;
}

// The text as the document holds it: each paragraph end it knows (CR LF among them) one mark.
QString asDocumentReadsIt(QString text)
{
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    for (QChar &c : text) {
        const char16_t u = c.unicode();
        if (u == u'\r' || u == 0x2029 || u == 0xFDD0 || u == 0xFDD1)
            c = QLatin1Char('\n');
    }
    return text;
}

// Where a line is cut into rows: the offsets the rows after the first start at.
QList<int> rowCuts(QStringView line, int longest, int row)
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

// The text with its long lines cut into rows, and the document positions of the cuts.
QString withDisplayBreaks(const QString &text, int longest, int row, QList<int> *breaks)
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
            for (const int cut : rowCuts(QStringView(text).mid(start, end - start), longest, row)) {
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

} // namespace

RichTextBox::RichTextBox(QWidget *parent) : QPlainTextEdit(parent)
{
    setObjectName("RichTextBox1");
    setUndoRedoEnabled(false);
    setFont(designFont());
    setLineWrapMode(QPlainTextEdit::NoWrap);
    // The runs move before the highlighter redraws the changed blocks.
    connect(document(), &QTextDocument::contentsChange, this, &RichTextBox::onContentsChange);
}

void RichTextBox::onContentsChange(int position, int removed, int added)
{
    if (removed == 0 && added == 0)
        return;
    // Rows put back whole: the caller follows them.
    if (m_cutting)
        return;
    const int delta = added - removed;
    // Display breaks inside the change went with it, unless the change only counts them:
    // a replacement across rows is reported as a change of all of them.
    const auto first = std::lower_bound(m_breaks.begin(), m_breaks.end(), position);
    const auto last = std::lower_bound(first, m_breaks.end(), position + removed);
    const int before = int(first - m_breaks.begin());
    const int gone = int(last - first);
    QList<int> kept;
    std::optional<QString> inserted;
    if (gone > 0 && added > 0) {
        inserted = documentText(position, added);
        const QString old = m_textValid ? oldDocumentText(position, removed, before, gone) : QString();
        if (old.size() == removed) {
            const qsizetype most = qMin(removed, added);
            qsizetype same = 0, sameEnd = 0;
            while (same < most && old.at(same) == inserted->at(same))
                ++same;
            while (sameEnd < most - same &&
                   old.at(removed - 1 - sameEnd) == inserted->at(added - 1 - sameEnd))
                ++sameEnd;
            for (auto it = first; it != last; ++it) {
                if (*it < position + same)
                    kept.append(*it);
                else if (*it >= position + removed - sameEnd)
                    kept.append(*it + delta);
            }
        } else {
            // Without the old text, a break still stands where the document has a mark in
            // its place, counted from either end of the change.
            const auto markAt = [&](int at) {
                return at >= position && at < position + added &&
                       inserted->at(at - position) == QChar::ParagraphSeparator;
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
        m_breaks.insert(before + k, kept.at(k));
    // The lines the change made long are cut into rows once it is complete.
    const QTextBlock touched = document()->findBlock(position);
    const QTextBlock touchedLast = document()->findBlock(position + added);
    if (added > 2 * RowLength || inRows(touched) || inRows(touchedLast)) {
        const int from = m_toBreak ? qMin(m_toBreak->first, position) : position;
        const int to = m_toBreak ? qMax(m_toBreak->second + delta, position + added) : position + added;
        if (!m_toBreak)
            QMetaObject::invokeMethod(this, &RichTextBox::breakLongLines, Qt::QueuedConnection);
        m_toBreak = std::make_pair(from, to);
    }
    const int documentAt = position;
    const int documentAdded = added;
    position -= before;
    removed -= gone;
    added -= int(kept.size());
    if (removed == 0 && added == 0)
        return;
    followText(position, removed, added, documentAt, documentAdded, inserted);
    // Removed characters take their forms with them; inserted ones have none.
    Edit edit{position, removed, added};
    if (m_inputEdit && m_inputEdit->position >= position &&
        m_inputEdit->position + m_inputEdit->removed <= position + removed &&
        m_inputEdit->added - m_inputEdit->removed == added - removed)
        edit = *m_inputEdit;
    followEdit({position, removed, added}, edit);
}

void RichTextBox::followEdit(const Edit &change, const Edit &forms)
{
    const int position = change.position, removed = change.removed, added = change.added;
    Cp932::followEdit(m_forms, forms.position, forms.removed, forms.added);
    // The runs follow the text: removed characters take their colour with them, inserted
    // ones take the colour of the character before them.
    const int end = position + removed;
    const qsizetype firstRun = runAfter(m_runs.cbegin(), m_runs.cend(), position - 1) - m_runs.cbegin();
    qsizetype w = firstRun;
    for (qsizetype r = firstRun; r < m_runs.size(); ++r) {
        ColorRun run = m_runs.at(r);
        const int runEnd = run.start + run.length;
        if (run.start >= end) {
            run.start += added - removed;
        } else if (run.start < position) {
            // Typing inside a run, or right behind it, continues it.
            run.length = (qMin(runEnd, position) - run.start) + added + qMax(0, runEnd - end);
        } else {
            run.length = qMax(0, runEnd - end);
            run.start = position + added;
        }
        if (run.length > 0)
            m_runs[w++] = run;
    }
    m_runs.resize(w);
    // The edited blocks keep the formats of their old text until they are drawn again.
    recolor(position, position + added);
    if (m_silent > 0) {
        m_changed = true;
        return;
    }
    Q_EMIT Change();
}

bool RichTextBox::insertInRows(const QString &text)
{
    const QTextCursor cursor = textCursor();
    const int selectionFrom = cursor.selectionStart(), selectionTo = cursor.selectionEnd();
    const QTextBlock first = document()->findBlock(selectionFrom);
    const QTextBlock last = document()->findBlock(selectionTo);
    // The rows the selection touches are put back whole, with the text in place of it.
    const int from = first.position(), to = last.position() + last.length() - 1;
    const QString inserted = asDocumentReadsIt(text);
    const QString rows = first.text().left(selectionFrom - from) + inserted +
                         last.text().mid(selectionTo - last.position());
    QList<int> cuts;
    const QString shown = withDisplayBreaks(rows, 2 * RowLength, RowLength, &cuts);
    if (cuts.isEmpty())
        return false;
    const int textFrom = textPosition(selectionFrom);
    const int textRemoved = textPosition(selectionTo) - textFrom;
    putRows(from, to, shown, cuts);
    const QString added = fromDocument(inserted);
    if (!m_textValid || !m_text.replace(textFrom, textRemoved, added)) {
        m_textValid = false;
        m_text = PieceText();
    }
    QTextCursor caret = textCursor();
    caret.setPosition(documentPosition(textFrom + int(added.size())));
    setTextCursor(caret);
    const Edit change{textFrom, textRemoved, int(added.size())};
    followEdit(change, change);
    return true;
}

void RichTextBox::putRows(int from, int to, const QString &rows, const QList<int> &cuts)
{
    {
        const QScopedValueRollback<bool> cutting(m_cutting, true);
        QTextCursor edit(document());
        edit.setPosition(from);
        edit.setPosition(to, QTextCursor::KeepAnchor);
        edit.insertText(rows);
    }
    // The breaks of the rows replaced go, those behind them move, the new ones come in.
    const auto gone = std::lower_bound(m_breaks.begin(), m_breaks.end(), from);
    const auto kept = std::lower_bound(gone, m_breaks.end(), to);
    const int delta = int(rows.size()) - (to - from);
    for (auto it = kept; it != m_breaks.end(); ++it)
        *it += delta;
    const qsizetype at = gone - m_breaks.begin();
    m_breaks.erase(gone, kept);
    for (qsizetype k = 0; k < cuts.size(); ++k)
        m_breaks.insert(at + k, from + cuts.at(k));
}

void RichTextBox::breakLongLines()
{
    if (!m_toBreak)
        return;
    const int end = document()->characterCount() - 1;
    QTextBlock block = document()->findBlock(qBound(0, m_toBreak->first, end));
    const QTextBlock last = document()->findBlock(qBound(0, m_toBreak->second, end));
    m_toBreak.reset();
    QList<QTextBlock> longBlocks;
    for (; block.isValid(); block = block.next()) {
        if (inRows(block))
            longBlocks.append(block);
        if (block == last)
            break;
    }
    if (longBlocks.isEmpty())
        return;
    // From the end, so that the positions still to cut stay where they are. The caret and the
    // selection stand at the same characters after.
    const QTextCursor before = textCursor();
    const int anchor = textPosition(before.anchor()), position = textPosition(before.position());
    for (auto b = longBlocks.crbegin(); b != longBlocks.crend(); ++b) {
        QList<int> cuts;
        const QString rows = withDisplayBreaks(b->text(), 2 * RowLength, RowLength, &cuts);
        putRows(b->position(), b->position() + b->length() - 1, rows, cuts);
    }
    QTextCursor after(document());
    after.setPosition(documentPosition(anchor));
    after.setPosition(documentPosition(position), QTextCursor::KeepAnchor);
    setTextCursor(after);
    // The rows cut from a long line have no colours drawn yet.
    ++m_generation;
    viewport()->update();
}

int RichTextBox::textPosition(int documentAt) const
{
    return documentAt -
           int(std::lower_bound(m_breaks.cbegin(), m_breaks.cend(), documentAt) - m_breaks.cbegin());
}

int RichTextBox::documentPosition(int position) const
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

bool RichTextBox::isDisplayBreak(int documentAt) const
{
    return std::binary_search(m_breaks.cbegin(), m_breaks.cend(), documentAt);
}

int RichTextBox::textSize() const
{
    return document()->characterCount() - 1 - int(m_breaks.size());
}

QString RichTextBox::withoutDisplayBreaks(const QString &documentText, int from) const
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

int RichTextBox::lineCount() const { return document()->blockCount() - int(m_breaks.size()); }

int RichTextBox::lineOf(int position) const
{
    const int at = documentPosition(qBound(0, position, textSize()));
    return document()->findBlock(at).blockNumber() - int(std::lower_bound(m_breaks.cbegin(), m_breaks.cend(), at) - m_breaks.cbegin());
}

int RichTextBox::lineStart(int line) const
{
    if (line <= 0)
        return 0;
    qsizetype offset = 0;
    for (const QString &piece : pieces().pieces()) {
        for (qsizetype i = piece.indexOf(QLatin1Char('\n')); i >= 0;
             i = piece.indexOf(QLatin1Char('\n'), i + 1))
            if (--line == 0)
                return int(offset + i + 1);
        offset += piece.size();
    }
    return int(offset);
}

QString RichTextBox::documentText(int documentAt, int length) const
{
    QTextCursor cursor(document());
    cursor.setPosition(documentAt);
    cursor.setPosition(documentAt + length, QTextCursor::KeepAnchor);
    return cursor.selectedText();
}

QString RichTextBox::oldDocumentText(int documentAt, int length, int breaksBefore, int breaks) const
{
    // The text still holds what the change removed; the breaks among it are marks of their
    // own, as the document had them.
    const int from = documentAt - breaksBefore;
    QString text = m_text.mid(from, length - breaks);
    if (text.size() != length - breaks)
        return QString();
    for (QChar &c : text)
        if (c == QLatin1Char('\n'))
            c = QChar::ParagraphSeparator;
    for (int k = 0; k < breaks; ++k)
        text.insert(m_breaks.at(breaksBefore + k) - documentAt, QChar::ParagraphSeparator);
    return text;
}

void RichTextBox::followText(int position, int removed, int added, int documentAt,
                             int documentAdded, const std::optional<QString> &read)
{
    // A small edit is applied to the text already read, so that a keystroke on a large page
    // does not read the whole page again.
    // Qt counts the document's closing paragraph mark in some changes; those are read afresh.
    if (m_textValid && position >= 0 && position + removed <= m_text.size() &&
        documentAt + documentAdded < document()->characterCount()) {
        const QString inserted = fromDocument(withoutDisplayBreaks(
            read ? *read : documentText(documentAt, documentAdded), documentAt));
        if (inserted.size() == added && m_text.replace(position, removed, inserted))
            return;
    }
    m_textValid = false;
    m_text = PieceText();
}

const PieceText &RichTextBox::pieces() const
{
    // Read once per change: the change handler, the preview and the colouring all ask.
    if (!m_textValid) {
        m_text = PieceText(fromDocument(withoutDisplayBreaks(document()->toRawText(), 0)));
        m_textValid = true;
    }
    return m_text;
}

QString RichTextBox::Text() const { return pieces().toString(); }

void RichTextBox::setText(const QString &text) { setText(text, Cp932::Forms()); }

void RichTextBox::setText(const QString &text, const Cp932::Forms &forms)
{
    Batch batch(this, true);
    replaceAll(text);
    // Forms count positions of the text given: they hold only where the document holds it.
    const bool exact = adoptText(PieceText(text));
    // New text comes without colours.
    m_runs.clear();
    m_forms = exact ? forms : Cp932::Forms();
}

void RichTextBox::replaceAll(const QString &text)
{
    // Straight into the document: the control's own way then gives every character of the
    // page the insertion format once more, a fifth of the time of opening a large page, for
    // formats the page never uses (its colours are runs of our own).
    QList<int> breaks;
    const QString shown = withDisplayBreaks(documentKeepsAsIs(text) ? text : asDocumentReadsIt(text),
                                            2 * RowLength, RowLength, &breaks);
    m_breaks.clear();
    document()->setPlainText(shown);
    m_breaks = breaks;
    m_toBreak.reset();
    ++m_generation;
    setTextCursor(QTextCursor(document()));
    horizontalScrollBar()->setValue(0);
    verticalScrollBar()->setValue(0);
}

bool RichTextBox::adoptText(const PieceText &text)
{
    // The text just set is the text: reading a large page back costs as much as decoding it.
    if (text.size() != textSize())
        return false;
    for (const QString &piece : text.pieces())
        if (!documentKeepsAsIs(piece))
            return false;
    m_text = text;
    m_textValid = true;
    return true;
}

RichImage RichTextBox::TextRTF() const
{
    return RichImage{pieces(), m_runs, m_forms, m_lineEnds};
}

void RichTextBox::setTextRTF(const RichImage &image)
{
    Batch batch(this, true);
    replaceAll(image.text.toString());
    // The image's pieces become the text's: undoing copies nothing of them.
    const bool exact = adoptText(image.text);
    m_forms = exact ? image.forms : Cp932::Forms();
    m_lineEnds = image.lineEnds;
    m_runs.clear();
    const int end = int(image.text.size());
    for (const ColorRun &run : image.runs) {
        const int from = qBound(0, run.start, end);
        const int to = qBound(from, run.start + run.length, end);
        if (to > from && (m_runs.isEmpty() || from >= m_runs.last().start + m_runs.last().length))
            m_runs.append({from, to - from, run.color});
    }
    if (!m_runs.isEmpty())
        redrawAll();
}

void RichTextBox::paint(int from, int to, quint32 color)
{
    if (to <= from)
        return;
    const bool plain = color == WindowTextColor;
    if ((color & SystemColor::Flag) && !plain)
        color = colorValue(resolveColor(color));
    const qsizetype first = runAfter(m_runs.cbegin(), m_runs.cend(), from) - m_runs.cbegin();
    qsizetype last = first;
    QList<ColorRun> middle;
    if (first < m_runs.size() && m_runs.at(first).start < from)
        middle.append({m_runs.at(first).start, from - m_runs.at(first).start, m_runs.at(first).color});
    if (!plain)
        middle.append({from, to - from, color});
    for (; last < m_runs.size() && m_runs.at(last).start < to; ++last) {
        const ColorRun &r = m_runs.at(last);
        if (r.start + r.length > to)
            middle.append({to, r.start + r.length - to, r.color});
    }
    // Neighbours of one colour become one run, so that images stay canonical.
    qsizetype from_i = first, to_i = last;
    if (from_i > 0)
        middle.prepend(m_runs.at(--from_i));
    if (to_i < m_runs.size())
        middle.append(m_runs.at(to_i++));
    QList<ColorRun> merged;
    for (const ColorRun &r : middle) {
        if (!merged.isEmpty() && merged.last().color == r.color &&
            merged.last().start + merged.last().length == r.start)
            merged.last().length += r.length;
        else
            merged.append(r);
    }
    m_runs.remove(from_i, to_i - from_i);
    for (qsizetype k = 0; k < merged.size(); ++k)
        m_runs.insert(from_i + k, merged.at(k));
    recolor(from, to);
}

void RichTextBox::recolor(int from, int to)
{
    QTextBlock block = document()->findBlock(documentPosition(from));
    QTextBlock last = document()->findBlock(documentPosition(qMax(from, to)));
    if (!last.isValid())
        last = document()->lastBlock();
    // Beyond a screenful the blocks are left to be drawn as they come into view.
    if (last.blockNumber() - block.blockNumber() > 200) {
        ++m_generation;
        viewport()->update();
        return;
    }
    while (block.isValid()) {
        drawBlock(block);
        if (block == last)
            break;
        block = block.next();
    }
}

void RichTextBox::drawBlock(QTextBlock block)
{
    const int begin = textPosition(block.position());
    const int end = begin + block.length() - 1;
    QList<QTextLayout::FormatRange> formats;
    // A long line's colours are drawn with its part on screen (paintLongLines).
    for (auto it = runAfter(m_runs.cbegin(), m_runs.cend(), begin);
         !isLong(block) && it != m_runs.cend() && it->start < end; ++it) {
        const int from = qMax(begin, it->start);
        const int to = qMin(end, it->start + it->length);
        if (to > from) {
            QTextLayout::FormatRange range;
            range.start = from - begin;
            range.length = to - from;
            range.format.setForeground(resolveColor(it->color));
            formats.append(range);
        }
    }
    // A block never drawn has no formats yet: no layout is made for it before it is shown.
    if (formats.isEmpty() && block.userState() == -1) {
        block.setUserState(m_generation);
        return;
    }
    block.setUserState(m_generation);
    QTextLayout *layout = block.layout();
    if (layout->formats() == formats)
        return;
    layout->setFormats(formats);
    document()->markContentsDirty(block.position(), block.length());
}

int RichTextBox::SelStart() const { return textPosition(textCursor().selectionStart()); }

void RichTextBox::setSelStart(int position)
{
    QTextCursor cursor = textCursor();
    cursor.setPosition(documentPosition(qBound(0, position, textSize())));
    setTextCursor(cursor);
}

int RichTextBox::SelLength() const
{
    const QTextCursor cursor = textCursor();
    return textPosition(cursor.selectionEnd()) - textPosition(cursor.selectionStart());
}

void RichTextBox::setSelLength(int length)
{
    QTextCursor cursor = textCursor();
    const int start = cursor.selectionStart();
    const int from = textPosition(start);
    const int to = qBound(from, from + qMax(0, length), textSize());
    cursor.setPosition(start);
    if (to > from)
        cursor.setPosition(documentPosition(to), QTextCursor::KeepAnchor);
    setTextCursor(cursor);
}

QString RichTextBox::SelText() const
{
    const QTextCursor cursor = textCursor();
    return fromDocument(withoutDisplayBreaks(cursor.selectedText(), cursor.selectionStart()));
}

void RichTextBox::setSelText(const QString &text)
{
    Batch batch(this);
    if (insertInRows(text))
        return;
    QTextCursor cursor = textCursor();
    cursor.insertText(text);
    setTextCursor(cursor);
    breakLongLines();
}

void RichTextBox::setSelRTF(const QString &text) { setSelText(text); }

void RichTextBox::setSelColor(quint32 color)
{
    const int from = SelStart();
    paint(from, from + SelLength(), color);
}

void RichTextBox::colorWhole(const QList<ColorRun> &spans)
{
    // Sized once: a page keeps its runs for as long as it is open.
    m_runs = QList<ColorRun>();
    m_runs.reserve(spans.size());
    const int end = textSize();
    for (const ColorRun &span : spans) {
        if (span.color == WindowTextColor)
            continue;
        const quint32 color =
            (span.color & SystemColor::Flag) ? colorValue(resolveColor(span.color)) : span.color;
        const int from = qBound(0, span.start, end);
        const int to = qBound(from, span.start + span.length, end);
        // Spans come in order and never overlap.
        if (to <= from || (!m_runs.isEmpty() && from < m_runs.last().start + m_runs.last().length))
            continue;
        m_runs.append({from, to - from, color});
    }
    redrawAll();
}

void RichTextBox::redrawAll()
{
    // Block states start at -1, so that a new block is never taken for drawn.
    ++m_generation;
    drawVisibleBlocks();
    viewport()->update();
}

bool RichTextBox::drawVisibleBlocks()
{
    const int bottom = viewport()->rect().bottom();
    const QPointF offset = contentOffset();
    bool longLine = false;
    for (QTextBlock block = firstVisibleBlock(); block.isValid(); block = block.next()) {
        if (blockBoundingGeometry(block).translated(offset).top() > bottom)
            break;
        if (block.userState() != m_generation)
            drawBlock(block);
        longLine = longLine || isLong(block);
    }
    return longLine;
}

void RichTextBox::resizeEvent(QResizeEvent *event)
{
    // Lines never wrap, so a new width moves no line; told of one, the base class would make a
    // layout for every block of the page only to clear it again (a quarter of a kilobyte per
    // line, kept for the life of the page). Told of none, it still sets the scroll bars,
    // whose width follows the widest line laid out.
    QResizeEvent sameWidth(event->size(), QSize(event->size().width(), event->oldSize().height()));
    QPlainTextEdit::resizeEvent(&sameWidth);
}

void RichTextBox::paintEvent(QPaintEvent *event)
{
    if (drawVisibleBlocks() && !overwriteMode())
        paintLongLines(event);
    else
        QPlainTextEdit::paintEvent(event);
    drawPictographs(event->rect());
    if (!m_breaks.isEmpty())
        drawDisplayBreakMarks(event->rect());
}

namespace {
// The pictures beside the program, each read once.
QPixmap pictographPixmap(const Pictograph &pictograph)
{
    static QHash<char16_t, QPixmap> pictures;
    auto it = pictures.find(pictograph.pua);
    if (it == pictures.end()) {
        it = pictures.insert(pictograph.pua,
                             QPixmap(Pictographs::imagePath(QCoreApplication::applicationDirPath(),
                                                            pictograph)));
    }
    return *it;
}
} // namespace

void RichTextBox::drawPictographs(const QRect &area)
{
    // No font has the carriers' pictographs, so the text draws a blank box in their place:
    // their pictures go over it, as high as the line.
    QPainter painter(viewport());
    painter.setClipRect(area);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    const QTextCursor cursor = textCursor();
    const QPointF offset = contentOffset();
    for (QTextBlock block = firstVisibleBlock(); block.isValid(); block = block.next()) {
        const QRectF box = blockBoundingGeometry(block).translated(offset);
        if (box.top() > area.bottom())
            break;
        if (box.bottom() < area.top())
            continue;
        const QString text = block.text();
        const QTextLayout *layout = block.layout();
        for (int i = 0; i < text.size(); ++i) {
            const char16_t c = text[i].unicode();
            if (c < 0xE000 || c >= 0xE800)
                continue;
            const Pictograph *p = Pictographs::byPua(c);
            if (!p)
                continue;
            const QPixmap picture = pictographPixmap(*p);
            const QTextLine line = layout->lineForTextPosition(i);
            if (picture.isNull() || !line.isValid())
                continue;
            const qreal left = line.cursorToX(i), right = line.cursorToX(i + 1);
            // The caret at the character's left stays visible.
            const QRectF cell(box.left() + left + 1, box.top() + line.y(), right - left - 1,
                              line.height());
            if (!cell.intersects(area))
                continue;
            const int position = block.position() + i;
            const bool selected =
                position >= cursor.selectionStart() && position < cursor.selectionEnd();
            painter.fillRect(cell, palette().brush(selected ? QPalette::Highlight : QPalette::Base));
            const qreal side = qMin(cell.width() + 1, cell.height());
            painter.drawPixmap(QRectF(cell.center().x() - side / 2, cell.center().y() - side / 2,
                                      side, side),
                               picture, QRectF(picture.rect()));
        }
    }
}

void RichTextBox::drawDisplayBreakMarks(const QRect &area)
{
    // A grey hook behind each row that goes on in the next: that row end is no line end.
    QPainter painter(viewport());
    painter.setClipRect(area);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(palette().color(QPalette::Disabled, QPalette::Text), 1));
    const QPointF offset = contentOffset();
    for (QTextBlock block = firstVisibleBlock(); block.isValid(); block = block.next()) {
        const QRectF box = blockBoundingGeometry(block).translated(offset);
        if (box.top() > area.bottom())
            break;
        const QTextLayout *layout = block.layout();
        if (!isDisplayBreak(block.position() + block.length() - 1) || layout->lineCount() == 0)
            continue;
        const QTextLine line = layout->lineAt(layout->lineCount() - 1);
        const qreal x = box.left() + line.naturalTextWidth() + 3;
        const qreal h = line.height(), top = box.top() + line.y();
        const qreal w = qMax<qreal>(4, h / 3);
        const QPointF end(x, top + h * 0.75);
        painter.drawPolyline(QPolygonF{QPointF(x + w, top + h * 0.3), QPointF(x + w, top + h * 0.75), end});
        painter.drawLine(end, end + QPointF(w / 2, -w / 2));
        painter.drawLine(end, end + QPointF(w / 2, w / 2));
    }
}

void RichTextBox::paintLongLines(QPaintEvent *event)
{
    // The base class's drawing, but a long line is drawn from its part on screen.
    QPainter painter(viewport());
    QPointF offset = contentOffset();
    QRect area = event->rect();
    const QRect viewportRect = viewport()->rect();
    const qreal width = document()->documentLayout()->documentSize().width();
    painter.setBrushOrigin(offset);
    area.setRight(qMin(area.right(), int(offset.x() + qMax(qreal(viewportRect.width()), width) -
                                         document()->documentMargin() + cursorWidth())));
    painter.setClipRect(area);
    const QAbstractTextDocumentLayout::PaintContext context = getPaintContext();
    painter.setPen(context.palette.text().color());
    const bool caretShown =
        !isReadOnly() || (textInteractionFlags() & Qt::TextSelectableByKeyboard);
    for (QTextBlock block = firstVisibleBlock(); block.isValid(); block = block.next()) {
        const QRectF r = blockBoundingRect(block).translated(offset);
        QTextLayout *layout = block.layout();
        if (block.isVisible() && r.bottom() >= area.top() && r.top() <= area.bottom()) {
            const int blpos = block.position(), bllen = block.length();
            QList<QTextLayout::FormatRange> selections;
            for (const QAbstractTextDocumentLayout::Selection &range : context.selections) {
                const int selStart = range.cursor.selectionStart() - blpos;
                const int selEnd = range.cursor.selectionEnd() - blpos;
                if (selStart < bllen && selEnd > 0 && selEnd > selStart)
                    selections.append({selStart, selEnd - selStart, range.format});
            }
            if (isLong(block))
                drawLongLine(painter, block, offset, area, selections);
            else
                layout->draw(&painter, offset, selections, area);
            const bool caretHere = caretShown && context.cursorPosition >= blpos &&
                                   context.cursorPosition < blpos + bllen;
            if (caretHere || (!isReadOnly() && context.cursorPosition < -1 &&
                              !layout->preeditAreaText().isEmpty())) {
                const int at = context.cursorPosition < -1
                                   ? layout->preeditAreaPosition() - (context.cursorPosition + 2)
                                   : context.cursorPosition - blpos;
                layout->drawCursor(&painter, offset, at, cursorWidth());
            }
        }
        offset.ry() += r.height();
        if (offset.y() > viewportRect.height())
            break;
    }
}

void RichTextBox::drawLongLine(QPainter &painter, const QTextBlock &block, const QPointF &offset,
                               const QRect &area, QList<QTextLayout::FormatRange> selections)
{
    QTextLayout *layout = block.layout();
    if (layout->lineCount() != 1) {
        layout->draw(&painter, offset, selections, area);
        return;
    }
    const QTextLine line = layout->lineAt(0);
    // The characters under the area, and one more either side for glyphs that reach over.
    int from = line.xToCursor(area.left() - offset.x());
    int to = line.xToCursor(area.right() + 1 - offset.x());
    from = layout->previousCursorPosition(layout->previousCursorPosition(from));
    to = layout->nextCursorPosition(layout->nextCursorPosition(to));
    // The text being composed stands in the layout, not in the document.
    const QString composed = layout->preeditAreaText();
    const int composedAt = composed.isEmpty() ? block.length() : layout->preeditAreaPosition();
    const auto inBlock = [&](int at) {
        return at <= composedAt ? at : qMax(composedAt, at - int(composed.size()));
    };
    from = inBlock(from);
    to = qMax(from, qMin(inBlock(to), block.length() - 1));
    if (to == from && composed.isEmpty())
        return;
    // The colours over the part, counted from its start.
    QList<QTextLayout::FormatRange> colours;
    const int begin = textPosition(block.position()) + from, end = begin + (to - from);
    for (auto it = runAfter(m_runs.cbegin(), m_runs.cend(), begin);
         it != m_runs.cend() && it->start < end; ++it) {
        const int start = qMax(begin, it->start);
        QTextLayout::FormatRange range;
        range.start = start - begin;
        range.length = qMin(end, it->start + it->length) - start;
        range.format.setForeground(resolveColor(it->color));
        colours.append(range);
    }
    // Only the part is read: the whole line would be copied at every paint.
    QTextCursor cursor(block);
    cursor.setPosition(block.position() + from);
    cursor.setPosition(block.position() + to, QTextCursor::KeepAnchor);
    const QString text = cursor.selectedText();
    // Tab stops count from the start of the line, which the part does not have; the text being
    // composed is the layout's own. The whole line is drawn then, its colours given with the
    // selection, which costs more.
    if (!composed.isEmpty() || text.contains(QLatin1Char('\t'))) {
        for (QTextLayout::FormatRange &range : colours) {
            range.start += from;
            if (range.start >= composedAt)
                range.start += int(composed.size());
        }
        layout->draw(&painter, offset, colours + selections, area);
        return;
    }
    QList<QTextLayout::FormatRange> selected;
    for (QTextLayout::FormatRange range : selections) {
        const int start = qMax(from, range.start), stop = qMin(to, range.start + range.length);
        if (stop <= start)
            continue;
        range.start = start - from;
        range.length = stop - start;
        selected.append(range);
    }
    QTextLayout part(text, document()->defaultFont(), painter.device());
    QTextOption option = layout->textOption();
    option.setWrapMode(QTextOption::NoWrap);
    part.setTextOption(option);
    part.setFormats(colours);
    part.beginLayout();
    QTextLine partLine = part.createLine();
    partLine.setNumColumns(int(text.size()));
    part.endLayout();
    // On the line's baseline, where the line has these characters.
    const QPointF at(offset.x() + line.cursorToX(from),
                     offset.y() + line.y() + line.ascent() - partLine.ascent());
    part.draw(&painter, at, selected, area);
}

quint32 RichTextBox::colorAt(int position) const
{
    auto it = runAfter(m_runs.cbegin(), m_runs.cend(), position);
    if (it != m_runs.cend() && it->start <= position)
        return it->color;
    return colorValue(resolveColor(WindowTextColor));
}

QColor RichTextBox::resolveColor(quint32 color)
{
    if (color & SystemColor::Flag) {
        // System colours by their index, as the platform numbers them.
        const QPalette pal = QApplication::palette();
        switch (color & 0xFFu) {
        case 5:
            return pal.color(QPalette::Base);
        case 8:
            return pal.color(QPalette::Text);
        case 15:
            return pal.color(QPalette::Button);
        case 18:
            return pal.color(QPalette::ButtonText);
        case 13:
            return pal.color(QPalette::Highlight);
        case 14:
            return pal.color(QPalette::HighlightedText);
        default:
            return pal.color(QPalette::WindowText);
        }
    }
    return QColor(color & 0xFF, (color >> 8) & 0xFF, (color >> 16) & 0xFF);
}

quint32 RichTextBox::colorValue(const QColor &color)
{
    return quint32(color.red()) | (quint32(color.green()) << 8) | (quint32(color.blue()) << 16);
}

void RichTextBox::LoadFile(const QString &path)
{
    const Cp932::Page page = Cp932::decodePage(ReadFileContent(path));
    // Set before the text, so that the change it raises sees the whole page.
    m_lineEnds = page.lineEnds;
    setText(page.text, page.forms);
}

QByteArray RichTextBox::fileBytes() const
{
    return Cp932::encodePage(Text(), m_forms, m_lineEnds).bytes;
}

void RichTextBox::SaveFile(const QString &path, int)
{
    const Cp932::Encoded encoded = Cp932::encodePage(Text(), m_forms, m_lineEnds);
    if (!encoded.ok())
        throw ZError(ZErr::InvalidCall,
                     QStringLiteral("Shift-JIS で保存できない文字があります: ") + encoded.unencodable);
    if (auto failure = ReplaceFileContent(path, encoded.bytes))
        throw ZError(failure->number, failure->description);
}

void RichTextBox::SavePreviewFile(const QString &path) const
{
    // Written over in place and cut to length after, piece by piece: with real-time preview
    // this runs on every keystroke, and so neither allocates the size of the page nor gives
    // the file's pages back to the system only to ask for them again.
    QFile file(path);
    if (!file.open(QIODevice::ReadWrite | QIODevice::Unbuffered))
        throw ZError(OpenFailureNumber(path, true));
    constexpr qsizetype Flush = 256 * 1024;
    QByteArray buffer;
    buffer.reserve(Flush + 2 * PieceText::PieceSize + 16);
    const auto flush = [&] {
        if (file.write(buffer) != buffer.size())
            throw ZError(ZErr::DiskFull);
        buffer.resize(0);
    };
    // The page as Save writes it, forms and line ends, with references for characters the code
    // page lacks.
    Cp932::encodePageInPieces(pieces().pieces(), m_forms, m_lineEnds, [&](QByteArrayView part) {
        buffer.append(part);
        if (buffer.size() >= Flush)
            flush();
    });
    flush();
    if (!file.resize(file.pos()))
        throw ZError(ZErr::DiskFull);
}

void RichTextBox::keyPressEvent(QKeyEvent *event)
{
    const QString text = event->text();
    if (text.size() == 1 && text.at(0).unicode() >= 0x20 && onKeyPress && onKeyPress(text.at(0))) {
        event->accept();
        return;
    }
    // One character per line end: Shift+Enter makes a line end like Enter.
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) &&
        (event->modifiers() & Qt::ShiftModifier)) {
        QKeyEvent plain(event->type(), event->key(), event->modifiers() & ~Qt::ShiftModifier,
                        QStringLiteral("\r"));
        QPlainTextEdit::keyPressEvent(&plain);
        return;
    }
    if (event->matches(QKeySequence::Undo) || event->matches(QKeySequence::Redo))
        return;
    // Beside a display break, Backspace and Delete mean the character across it.
    QTextCursor cursor = textCursor();
    if (!cursor.hasSelection() && !m_breaks.isEmpty()) {
        const int at = cursor.position();
        const int across = event->key() == Qt::Key_Backspace && isDisplayBreak(at - 1) ? at - 1
                           : event->key() == Qt::Key_Delete && isDisplayBreak(at)   ? at + 1
                                                                                   : at;
        if (across != at) {
            cursor.setPosition(across);
            setTextCursor(cursor);
        }
    }
    QPlainTextEdit::keyPressEvent(event);
    breakLongLines();
}

void RichTextBox::dropEvent(QDropEvent *event)
{
    // The drop inserts inside an edit block of its own, which reports its changes only once
    // it is complete: its long lines are cut after it, as the document reports them.
    const QScopedValueRollback<bool> dropping(m_dropping, true);
    QPlainTextEdit::dropEvent(event);
}

void RichTextBox::insertFromMimeData(const QMimeData *source)
{
    const QString text = source && !isReadOnly() && !m_dropping ? source->text() : QString();
    if (!text.isNull() && insertInRows(text)) {
        ensureCursorVisible();
        return;
    }
    QPlainTextEdit::insertFromMimeData(source);
    breakLongLines();
}

QMimeData *RichTextBox::createMimeDataFromSelection() const
{
    const QTextCursor cursor = textCursor();
    const auto first = std::lower_bound(m_breaks.cbegin(), m_breaks.cend(), cursor.selectionStart());
    if (first == m_breaks.cend() || *first >= cursor.selectionEnd())
        return QPlainTextEdit::createMimeDataFromSelection();
    // A copy holds the line as it is, without the rows it is shown in.
    auto *data = new QMimeData;
    data->setText(SelText());
    return data;
}

void RichTextBox::inputMethodEvent(QInputMethodEvent *event)
{
    // The commit replaces the selection and the characters the event names around the caret;
    // composing alone changes no character.
    const QTextCursor cursor = textCursor();
    const int from = cursor.selectionStart() + qMin(0, event->replacementStart());
    const int to =
        cursor.selectionEnd() + qMax(0, event->replacementStart() + event->replacementLength());
    // In the text's positions: a display break among them is no character.
    const int textFrom = textPosition(from), textTo = textPosition(to);
    const int textSelected =
        textPosition(cursor.selectionEnd()) - textPosition(cursor.selectionStart());
    const int kept = textTo - textFrom - textSelected - event->replacementLength();
    m_inputEdit = Edit{textFrom, textTo - textFrom, kept + int(event->commitString().size())};
    QPlainTextEdit::inputMethodEvent(event);
    m_inputEdit.reset();
    breakLongLines();
}

bool RichTextBox::event(QEvent *event)
{
    // Undo belongs to the main window's command, even while the text has the focus.
    if (event->type() == QEvent::ShortcutOverride) {
        auto *key = static_cast<QKeyEvent *>(event);
        if (key->matches(QKeySequence::Undo) || key->matches(QKeySequence::Redo)) {
            event->ignore();
            return true;
        }
    }
    return QPlainTextEdit::event(event);
}

void RichTextBox::contextMenuEvent(QContextMenuEvent *event)
{
    QMenu *menu = createStandardContextMenu(event->pos());
    for (QAction *action : menu->actions())
        if (action->objectName() == QLatin1String("edit-undo") ||
            action->objectName() == QLatin1String("edit-redo"))
            menu->removeAction(action);
    // Drop a separator left leading the menu.
    if (!menu->actions().isEmpty() && menu->actions().first()->isSeparator())
        menu->removeAction(menu->actions().first());
    menu->exec(event->globalPos());
    delete menu;
}
