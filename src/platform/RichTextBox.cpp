#include "platform/RichTextBox.h"

#include "platform/Cp932.h"
#include "taglib/FileReplace.h"
#include "platform/ZError.h"

#include <QAbstractTextDocumentLayout>
#include <QApplication>
#include <QContextMenuEvent>
#include <QFile>
#include <QFontDatabase>
#include <QKeyEvent>
#include <QMenu>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

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
// Colour changes are not content changes.
struct FormatOnly
{
    explicit FormatOnly(int &depth) : m_depth(depth) { ++m_depth; }
    ~FormatOnly() { --m_depth; }
    int &m_depth;
};
int g_formatting = 0;

QString fromDocument(QString text)
{
    for (QChar &c : text)
        if (c == QChar::ParagraphSeparator || c == QChar::LineSeparator)
            c = QLatin1Char('\n');
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

QString normaliseLineEnds(const QString &text)
{
    QString out;
    out.reserve(text.size());
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = text.at(i);
        if (c == QLatin1Char('\r')) {
            out.append(QLatin1Char('\n'));
            if (i + 1 < n && text.at(i + 1) == QLatin1Char('\n'))
                ++i;
        } else {
            out.append(c);
        }
    }
    return out;
}

QString withCrLf(const QString &text)
{
    QString out = text;
    out.replace(QLatin1Char('\n'), QLatin1String("\r\n"));
    return out;
}
} // namespace

RichTextBox::RichTextBox(QWidget *parent) : QPlainTextEdit(parent)
{
    setObjectName("RichTextBox1");
    setUndoRedoEnabled(false);
    setFont(designFont());
    setLineWrapMode(QPlainTextEdit::NoWrap);
    connect(document(), &QTextDocument::contentsChange, this, &RichTextBox::onContentsChange);
}

void RichTextBox::onContentsChange(int, int removed, int added)
{
    if (g_formatting > 0 || (removed == 0 && added == 0))
        return;
    if (m_silent > 0) {
        m_changed = true;
        return;
    }
    Q_EMIT Change();
}

QString RichTextBox::Text() const { return fromDocument(document()->toRawText()); }

void RichTextBox::setText(const QString &text)
{
    Batch batch(this, true);
    // New text comes without colours, whatever the caret's colour was.
    setCurrentCharFormat(QTextCharFormat());
    setPlainText(text);
}

RichImage RichTextBox::TextRTF() const
{
    RichImage image;
    image.text = Text();
    for (QTextBlock block = document()->begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            const QTextCharFormat format = fragment.charFormat();
            if (!format.hasProperty(QTextFormat::ForegroundBrush))
                continue;
            const quint32 color = colorValue(format.foreground().color());
            const int start = fragment.position();
            if (!image.runs.isEmpty()) {
                ColorRun &last = image.runs.last();
                if (last.color == color && last.start + last.length == start) {
                    last.length += fragment.length();
                    continue;
                }
            }
            image.runs.append({start, fragment.length(), color});
        }
    }
    return image;
}

void RichTextBox::setTextRTF(const RichImage &image)
{
    Batch batch(this, true);
    setCurrentCharFormat(QTextCharFormat());
    setPlainText(image.text);
    applyRuns(image.runs);
}

void RichTextBox::applyRuns(const QList<ColorRun> &runs)
{
    FormatOnly guard(g_formatting);
    QTextCursor cursor(document());
    const int end = document()->characterCount() - 1;
    for (const ColorRun &run : runs) {
        const int from = qBound(0, run.start, end);
        const int to = qBound(from, run.start + run.length, end);
        if (from == to)
            continue;
        cursor.setPosition(from);
        cursor.setPosition(to, QTextCursor::KeepAnchor);
        QTextCharFormat format;
        format.setForeground(resolveColor(run.color));
        cursor.mergeCharFormat(format);
    }
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
    FormatOnly guard(g_formatting);
    QTextCursor cursor = textCursor();
    QTextCharFormat format;
    format.setForeground(resolveColor(color));
    cursor.mergeCharFormat(format);
    setTextCursor(cursor);
}

void RichTextBox::colorWhole(const QList<ColorRun> &spans)
{
    FormatOnly guard(g_formatting);
    QTextCursor cursor(document());
    cursor.select(QTextCursor::Document);
    QTextCharFormat plain;
    plain.setForeground(resolveColor(WindowTextColor));
    cursor.mergeCharFormat(plain);
    applyRuns(spans);
}

quint32 RichTextBox::colorAt(int position) const
{
    const QTextBlock block = document()->findBlock(position);
    for (auto it = block.begin(); !it.atEnd(); ++it) {
        const QTextFragment f = it.fragment();
        if (position >= f.position() && position < f.position() + f.length())
            return f.charFormat().hasProperty(QTextFormat::ForegroundBrush)
                       ? colorValue(f.charFormat().foreground().color())
                       : colorValue(resolveColor(WindowTextColor));
    }
    return colorValue(resolveColor(WindowTextColor));
}

QColor RichTextBox::resolveColor(quint32 color)
{
    if (color & 0x80000000u) {
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
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw ZError(OpenFailureNumber(path, false));
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        throw ZError(ZErr::PathFileAccess);
    setText(normaliseLineEnds(Cp932::decode(bytes)));
}

QByteArray RichTextBox::fileBytes() const { return Cp932::encode(withCrLf(Text())).bytes; }

void RichTextBox::SaveFile(const QString &path, int)
{
    const Cp932::Encoded encoded = Cp932::encode(withCrLf(Text()));
    if (!encoded.ok())
        throw ZError(ZErr::InvalidCall,
                     QStringLiteral("Shift-JIS で保存できない文字があります: ") + encoded.unencodable);
    if (auto failure = ReplaceFileContent(path, encoded.bytes))
        throw ZError(failure->number, failure->description);
}

void RichTextBox::SavePreviewFile(const QString &path) const
{
    const QByteArray bytes =
        Cp932::encode(Cp932::withCharacterReferences(withCrLf(Text()))).bytes;
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        throw ZError(OpenFailureNumber(path, true));
    if (file.write(bytes) != bytes.size() || !file.flush())
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
