// The drawing of the text control: the long lines from their part on screen, the marks behind
// rows that go on, and the carriers' pictographs as their pictures.
#include "widgets/RichTextBox.h"

#include "text/Pictographs.h"

#include <QAbstractTextDocumentLayout>
#include <QCoreApplication>
#include <QHash>
#include <QPaintEvent>
#include <QPainter>
#include <QPixmap>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextLayout>

void RichTextBox::paintEvent(QPaintEvent *event)
{
    if (drawVisibleBlocks() && !overwriteMode())
        paintLongLines(event);
    else
        QPlainTextEdit::paintEvent(event);
    drawPictographs(event->rect());
    if (!m_rows.isEmpty())
        drawDisplayBreakMarks(event->rect());
}

namespace {
// The pictures beside the program, each read once.
QPixmap pictographPixmap(const Pictograph &pictograph)
{
    static QHash<char16_t, QPixmap> pictures;
    auto it = pictures.find(pictograph.pua);
    if (it == pictures.end()) {
        it = pictures.insert(
            pictograph.pua,
            QPixmap(Pictographs::imagePath(QCoreApplication::applicationDirPath(), pictograph)));
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
            const Pictograph *p = Pictographs::byPua(text[i].unicode());
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
            painter.fillRect(cell,
                             palette().brush(selected ? QPalette::Highlight : QPalette::Base));
            const qreal side = qMin(cell.width() + 1, cell.height());
            painter.drawPixmap(
                QRectF(cell.center().x() - side / 2, cell.center().y() - side / 2, side, side),
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
        if (!m_rows.isBreak(block.position() + block.length() - 1) || layout->lineCount() == 0)
            continue;
        const QTextLine line = layout->lineAt(layout->lineCount() - 1);
        const qreal x = box.left() + line.naturalTextWidth() + 3;
        const qreal h = line.height(), top = box.top() + line.y();
        const qreal w = qMax<qreal>(4, h / 3);
        const QPointF end(x, top + h * 0.75);
        painter.drawPolyline(
            QPolygonF{QPointF(x + w, top + h * 0.3), QPointF(x + w, top + h * 0.75), end});
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
    const int begin = m_rows.textPosition(block.position()) + from;
    QList<QTextLayout::FormatRange> colours = colourFormats(begin, begin + (to - from));
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
