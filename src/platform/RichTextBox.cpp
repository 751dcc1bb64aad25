#include "platform/RichTextBox.h"

#include "platform/Cp932.h"
#include "platform/ZError.h"
#include "platform/FileReplace.h"
#include "platform/Pictographs.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QFile>
#include <QHash>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QPainter>
#include <QResizeEvent>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

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
    followText(position, removed, added);
    // Removed characters take their forms with them; inserted ones have none.
    Edit edit{position, removed, added};
    if (m_inputEdit && m_inputEdit->position >= position &&
        m_inputEdit->position + m_inputEdit->removed <= position + removed &&
        m_inputEdit->added - m_inputEdit->removed == added - removed)
        edit = *m_inputEdit;
    Cp932::followEdit(m_forms, edit.position, edit.removed, edit.added);
    // The runs follow the text: removed characters take their colour with them, inserted
    // ones take the colour of the character before them.
    const int end = position + removed;
    const qsizetype first = runAfter(m_runs.cbegin(), m_runs.cend(), position - 1) - m_runs.cbegin();
    qsizetype w = first;
    for (qsizetype r = first; r < m_runs.size(); ++r) {
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

void RichTextBox::followText(int position, int removed, int added)
{
    // A small edit is applied to the text already read, so that a keystroke on a large page
    // does not read the whole page again.
    // Qt counts the document's closing paragraph mark in some changes; those are read afresh.
    if (m_textValid && position >= 0 && position + removed <= m_text.size() &&
        position + added < document()->characterCount()) {
        QTextCursor cursor(document());
        cursor.setPosition(position);
        cursor.setPosition(position + added, QTextCursor::KeepAnchor);
        const QString inserted = fromDocument(cursor.selectedText());
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
        m_text = PieceText(fromDocument(document()->toRawText()));
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
    document()->setPlainText(text);
    setTextCursor(QTextCursor(document()));
    horizontalScrollBar()->setValue(0);
    verticalScrollBar()->setValue(0);
}

bool RichTextBox::adoptText(const PieceText &text)
{
    // The text just set is the text: reading a large page back costs as much as decoding it.
    if (text.size() != document()->characterCount() - 1)
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
    QTextBlock block = document()->findBlock(from);
    QTextBlock last = document()->findBlock(qMax(from, to));
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
    const int begin = block.position();
    const int end = begin + block.length() - 1;
    QList<QTextLayout::FormatRange> formats;
    for (auto it = runAfter(m_runs.cbegin(), m_runs.cend(), begin);
         it != m_runs.cend() && it->start < end; ++it) {
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
    document()->markContentsDirty(begin, block.length());
}

int RichTextBox::SelStart() const { return textCursor().selectionStart(); }

void RichTextBox::setSelStart(int position)
{
    QTextCursor cursor = textCursor();
    cursor.setPosition(qBound(0, position, document()->characterCount() - 1));
    setTextCursor(cursor);
}

int RichTextBox::SelLength() const
{
    const QTextCursor cursor = textCursor();
    return cursor.selectionEnd() - cursor.selectionStart();
}

void RichTextBox::setSelLength(int length)
{
    QTextCursor cursor = textCursor();
    const int start = cursor.selectionStart();
    const int end = document()->characterCount() - 1;
    cursor.setPosition(start);
    cursor.setPosition(qBound(start, start + qMax(0, length), end), QTextCursor::KeepAnchor);
    setTextCursor(cursor);
}

QString RichTextBox::SelText() const { return fromDocument(textCursor().selectedText()); }

void RichTextBox::setSelText(const QString &text)
{
    Batch batch(this);
    QTextCursor cursor = textCursor();
    cursor.insertText(text);
    setTextCursor(cursor);
}

void RichTextBox::setSelRTF(const QString &text) { setSelText(text); }

void RichTextBox::setSelColor(quint32 color)
{
    const QTextCursor cursor = textCursor();
    paint(cursor.selectionStart(), cursor.selectionEnd(), color);
}

void RichTextBox::colorWhole(const QList<ColorRun> &spans)
{
    // Sized once: a page keeps its runs for as long as it is open.
    m_runs = QList<ColorRun>();
    m_runs.reserve(spans.size());
    const int end = document()->characterCount() - 1;
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

void RichTextBox::drawVisibleBlocks()
{
    const int bottom = viewport()->rect().bottom();
    const QPointF offset = contentOffset();
    for (QTextBlock block = firstVisibleBlock(); block.isValid(); block = block.next()) {
        if (blockBoundingGeometry(block).translated(offset).top() > bottom)
            break;
        if (block.userState() != m_generation)
            drawBlock(block);
    }
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
    drawVisibleBlocks();
    QPlainTextEdit::paintEvent(event);
    drawPictographs(event->rect());
}

namespace {
// The pictures beside the program, each read once.
QPixmap pictographPicture(const Pictograph &pictograph)
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
            const QPixmap picture = pictographPicture(*p);
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
    const auto writePieces = [&file](const QList<QString> &pieces) {
        constexpr qsizetype Flush = 256 * 1024;
        QByteArray buffer;
        buffer.reserve(Flush + 2 * PieceText::PieceSize + 16);
        const auto flush = [&] {
            if (file.write(buffer) != buffer.size())
                throw ZError(ZErr::DiskFull);
            buffer.resize(0);
        };
        for (const QString &piece : pieces) {
            const Cp932::Encoded encoded = Cp932::encode(piece, Cp932::LineEnds::CrLf);
            if (!encoded.ok())
                return false;
            buffer.append(encoded.bytes);
            if (buffer.size() >= Flush)
                flush();
        }
        flush();
        return true;
    };
    // Only a page with unwritable characters pays for the references.
    if (!writePieces(pieces().pieces())) {
        if (!file.seek(0))
            throw ZError(ZErr::DiskFull);
        writePieces(PieceText(Cp932::withCharacterReferences(Text())).pieces());
    }
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
    QPlainTextEdit::keyPressEvent(event);
}

void RichTextBox::inputMethodEvent(QInputMethodEvent *event)
{
    // The commit replaces the selection and the characters the event names around the caret;
    // composing alone changes no character.
    const QTextCursor cursor = textCursor();
    const int selected = cursor.selectionEnd() - cursor.selectionStart();
    const int from = cursor.selectionStart() + qMin(0, event->replacementStart());
    const int to =
        cursor.selectionEnd() + qMax(0, event->replacementStart() + event->replacementLength());
    const int kept = to - from - selected - event->replacementLength();
    m_inputEdit = Edit{from, to - from, kept + int(event->commitString().size())};
    QPlainTextEdit::inputMethodEvent(event);
    m_inputEdit.reset();
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
