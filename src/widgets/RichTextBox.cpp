#include "widgets/RichTextBox.h"

#include "platform/FileReplace.h"
#include "platform/ZError.h"
#include "text/ColorRuns.h"
#include "text/Cp932.h"
#include "text/DisplayRows.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QFile>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QMimeData>
#include <QResizeEvent>
#include <QScopedValueRollback>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextLayout>

#include <algorithm>

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
    // Display breaks inside the change went with it, unless the change only counts them:
    // a replacement across rows is reported as a change of all of them.
    const DisplayRows::Change touched = m_rows.touched(position, removed);
    std::optional<QString> inserted;
    QString old;
    if (touched.gone > 0 && added > 0) {
        inserted = documentText(position, added);
        if (m_textValid)
            old = oldDocumentText(position, removed, touched.before, touched.gone);
    }
    const DisplayRows::Change breaks =
        m_rows.follow(position, removed, added, inserted.value_or(QString()), old);
    const int delta = added - removed;
    // The lines the change made long are cut into rows once it is complete.
    const QTextBlock touchedFirst = document()->findBlock(position);
    const QTextBlock touchedLast = document()->findBlock(position + added);
    if (added > 2 * RowLength || inRows(touchedFirst) || inRows(touchedLast)) {
        const int from = m_toBreak ? qMin(m_toBreak->first, position) : position;
        const int to = m_toBreak ? qMax(m_toBreak->second + delta, position + added) : position + added;
        if (!m_toBreak)
            QMetaObject::invokeMethod(this, &RichTextBox::breakLongLines, Qt::QueuedConnection);
        m_toBreak = std::make_pair(from, to);
    }
    const int documentAt = position;
    const int documentAdded = added;
    position -= breaks.before;
    removed -= breaks.gone;
    added -= breaks.kept;
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
    ColorRuns::followEdit(m_runs, position, removed, added);
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
    const QString shown = DisplayRows::withBreaks(rows, 2 * RowLength, RowLength, &cuts);
    if (cuts.isEmpty())
        return false;
    const int textFrom = m_rows.textPosition(selectionFrom);
    const int textRemoved = m_rows.textPosition(selectionTo) - textFrom;
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
    m_rows.replaceRows(from, to, int(rows.size()), cuts);
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
    const int anchor = m_rows.textPosition(before.anchor()),
              position = m_rows.textPosition(before.position());
    for (auto b = longBlocks.crbegin(); b != longBlocks.crend(); ++b) {
        QList<int> cuts;
        const QString rows = DisplayRows::withBreaks(b->text(), 2 * RowLength, RowLength, &cuts);
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

int RichTextBox::documentPosition(int position) const
{
    return m_rows.documentPosition(position);
}

int RichTextBox::textSize() const
{
    return document()->characterCount() - 1 - m_rows.count();
}

int RichTextBox::lineCount() const
{
    return document()->blockCount() - m_rows.count();
}

int RichTextBox::lineOf(int position) const
{
    const int at = documentPosition(qBound(0, position, textSize()));
    return document()->findBlock(at).blockNumber() - m_rows.breaksBefore(at);
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
        text.insert(m_rows.breaks().at(breaksBefore + k) - documentAt, QChar::ParagraphSeparator);
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
        const QString inserted = fromDocument(m_rows.withoutBreaks(
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
        m_text = PieceText(fromDocument(m_rows.withoutBreaks(document()->toRawText(), 0)));
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
    const QString shown =
        DisplayRows::withBreaks(documentKeepsAsIs(text) ? text : asDocumentReadsIt(text),
                                2 * RowLength, RowLength, &breaks);
    m_rows = DisplayRows();
    document()->setPlainText(shown);
    m_rows = DisplayRows(breaks);
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
    for (const ColorRun &run : image.runs)
        ColorRuns::append(m_runs, run, end);
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
    ColorRuns::paint(m_runs, from, to, plain ? std::nullopt : std::optional<quint32>(color));
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
    const int begin = m_rows.textPosition(block.position());
    const int end = begin + block.length() - 1;
    // A long line's colours are drawn with its part on screen (paintLongLines).
    const QList<QTextLayout::FormatRange> formats =
        isLong(block) ? QList<QTextLayout::FormatRange>() : colourFormats(begin, end);
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

QList<QTextLayout::FormatRange> RichTextBox::colourFormats(int from, int to) const
{
    QList<QTextLayout::FormatRange> formats;
    for (const ColorRun &run : ColorRuns::within(m_runs, from, to)) {
        QTextLayout::FormatRange range;
        range.start = run.start;
        range.length = run.length;
        range.format.setForeground(resolveColor(run.color));
        formats.append(range);
    }
    return formats;
}

int RichTextBox::SelStart() const
{
    return m_rows.textPosition(textCursor().selectionStart());
}

void RichTextBox::setSelStart(int position)
{
    QTextCursor cursor = textCursor();
    cursor.setPosition(documentPosition(qBound(0, position, textSize())));
    setTextCursor(cursor);
}

int RichTextBox::SelLength() const
{
    const QTextCursor cursor = textCursor();
    return m_rows.textPosition(cursor.selectionEnd()) -
           m_rows.textPosition(cursor.selectionStart());
}

void RichTextBox::setSelLength(int length)
{
    QTextCursor cursor = textCursor();
    const int start = cursor.selectionStart();
    const int from = m_rows.textPosition(start);
    const int to = qBound(from, from + qMax(0, length), textSize());
    cursor.setPosition(start);
    if (to > from)
        cursor.setPosition(documentPosition(to), QTextCursor::KeepAnchor);
    setTextCursor(cursor);
}

QString RichTextBox::SelText() const
{
    const QTextCursor cursor = textCursor();
    return fromDocument(m_rows.withoutBreaks(cursor.selectedText(), cursor.selectionStart()));
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
        // Spans come in order and never overlap.
        ColorRuns::append(m_runs, {span.start, span.length, color}, end);
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

quint32 RichTextBox::colorAt(int position) const
{
    return ColorRuns::colorAt(m_runs, position).value_or(colorValue(resolveColor(WindowTextColor)));
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
    if (!cursor.hasSelection() && !m_rows.isEmpty()) {
        const int at = cursor.position();
        const int across = event->key() == Qt::Key_Backspace && m_rows.isBreak(at - 1) ? at - 1
                           : event->key() == Qt::Key_Delete && m_rows.isBreak(at)      ? at + 1
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
    if (!m_rows.anyIn(cursor.selectionStart(), cursor.selectionEnd()))
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
    const int textFrom = m_rows.textPosition(from), textTo = m_rows.textPosition(to);
    const int textSelected =
        m_rows.textPosition(cursor.selectionEnd()) - m_rows.textPosition(cursor.selectionStart());
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
