#pragma once

#include "platform/SystemColor.h"
#include "text/Cp932.h"
#include "text/DisplayRows.h"
#include "text/RichImage.h"

#include <QPlainTextEdit>
#include <QTextBlock>
#include <functional>
#include <optional>

// The document's text control. Positions count characters of Text(), one character per line
// end; files are code page 932. Every character read from a file keeps the byte sequence it
// came in (its form, Cp932::Form) until it is removed, so that what was not edited is written
// back byte for byte; characters entered are written as Windows writes them. New line ends
// are written as the page's own line end: that of the file, CR LF for a new page. The
// control's own undo is off: the document window keeps its own images, forms included.
//
// A line of thousands of characters is shown in rows of about a thousand, cut after a ">"
// where one is near: laying out a line costs with its whole length at every keystroke, and
// minified pages come in one line of a megabyte. These display breaks are the control's
// alone: positions, the text, copies, searches and saves never see them, and a row that
// continues on the next ends in a grey mark.
class RichTextBox : public QPlainTextEdit
{
    Q_OBJECT
public:
    static constexpr quint32 WindowTextColor = SystemColor::WindowText;

    explicit RichTextBox(QWidget *parent = nullptr);

    QString Text() const;
    // New text, without colours and forms: written as Windows writes it, with the page's own
    // line end.
    void setText(const QString &text);
    // The same, its characters keeping the forms given (positions in text): a text changed as
    // a whole, such as a conversion, keeps the forms of the characters it left alone.
    void setText(const QString &text, const Cp932::Forms &forms);
    RichImage TextRTF() const;
    void setTextRTF(const RichImage &image);

    int SelStart() const;
    void setSelStart(int position);
    int SelLength() const;
    void setSelLength(int length);
    QString SelText() const;
    void setSelText(const QString &text);
    // Inserts text (not rich text) in place of the selection.
    void setSelRTF(const QString &text);
    // Colours the selection; a value with the top bit set names a system colour.
    void setSelColor(quint32 color);
    // Colours the whole text in the window-text colour and then each span as given, in one
    // step: the colouring pass over a whole page.
    void colorWhole(const QList<ColorRun> &spans);

    // Throws ZError when the file cannot be read; the content then stays as it was. The page's
    // own line end becomes the one the file has most of (on a tie its first; CR LF for none).
    void LoadFile(const QString &path);
    // Writes the text as code page 932 (fileType 1): each character in its form, each line end
    // in its own or the page's; throws ZError on failure, with the file on disk left whole.
    // Characters that cannot be written as they stand (Cp932::Unwritable) are refused.
    void SaveFile(const QString &path, int fileType = 1);
    // The preview copy: written in place, the page as SaveFile writes it, but for characters
    // the code page lacks, written as character references.
    void SavePreviewFile(const QString &path) const;
    // The bytes SaveFile writes.
    QByteArray fileBytes() const;

    // Lines of the text, not rows on screen: a line shown in several rows is one line.
    int lineCount() const;
    // The line (from 0) holding a position, and where a line starts.
    int lineOf(int position) const;
    int lineStart(int line) const;
    // Where a position of the text stands in the document: behind a display break there,
    // at the start of the row it begins.
    int documentPosition(int position) const;

    // The character colour at a position (0x00BBGGRR), for tests and images.
    quint32 colorAt(int position) const;
    static QColor resolveColor(quint32 color);
    static quint32 colorValue(const QColor &color);

    // Receives each typed character before it is inserted; returning true swallows it.
    std::function<bool(QChar)> onKeyPress;

Q_SIGNALS:
    // Raised synchronously inside every change of the content (not of colours alone).
    void Change();

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void inputMethodEvent(QInputMethodEvent *event) override;
    bool event(QEvent *event) override;
    void contextMenuEvent(QContextMenuEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void insertFromMimeData(const QMimeData *source) override;
    void dropEvent(QDropEvent *event) override;
    QMimeData *createMimeDataFromSelection() const override;

private:
    class Batch;
    struct Edit
    {
        int position = 0, removed = 0, added = 0;
    };
    void onContentsChange(int position, int removed, int added);
    // The forms, colours and listeners follow a change of the text; forms names the
    // characters whose forms it takes.
    void followEdit(const Edit &change, const Edit &forms);
    // Puts text in place of the selection, and the rows it touches back cut into rows in one
    // change of the document, when a line would be long; false, and nothing done, otherwise.
    // The text pasted as a whole line would be laid out whole, then cut one row at a time.
    bool insertInRows(const QString &text);
    // Colours the characters [from, to); the default colour leaves them without a run.
    void paint(int from, int to, quint32 color);
    void recolor(int from, int to);
    // position, removed and added count characters of the text; the inserted ones are read
    // from the document at documentAt, unless given.
    void followText(int position, int removed, int added, int documentAt, int documentAdded,
                    const std::optional<QString> &read);
    QString documentText(int documentAt, int length) const;
    // What the document held over a range before a change, rebuilt from the text.
    QString oldDocumentText(int documentAt, int length, int breaksBefore, int breaks) const;
    // Sets the whole text, cursor at the start.
    void replaceAll(const QString &text);
    // True when the document holds text exactly, which then is the text read back.
    bool adoptText(const PieceText &text);
    const PieceText &pieces() const;
    // All colours changed: the blocks on screen are drawn now, the rest as they are shown.
    void redrawAll();
    // True when a long line is among the blocks on screen.
    bool drawVisibleBlocks();
    // A line this long carries no formats: each run would split the layout's items once
    // more, at a cost growing with the square of the line. Its colours are drawn with the part
    // of it on screen instead.
    static constexpr int LongLine = 4096;
    static bool isLong(const QTextBlock &block) { return block.length() > LongLine; }
    // A line over twice this long is shown in rows of this many characters, or up to half as
    // many when a ">" ends one sooner: a keystroke lays out its row alone.
    static constexpr int RowLength = 1024;
    static bool inRows(const QTextBlock &block) { return block.length() > 2 * RowLength + 1; }
    int textSize() const;
    // Cuts the long lines among the blocks an edit touched into rows.
    void breakLongLines();
    // Puts rows, cut at the offsets given, in place of the document's [from, to) in one
    // change: a line cut a row at a time was laid out whole again at every cut. The display
    // breaks follow; the text, being the same or followed by the caller, does not.
    void putRows(int from, int to, const QString &rows, const QList<int> &cuts);
    void drawDisplayBreakMarks(const QRect &area);
    void paintLongLines(QPaintEvent *event);
    // Draws a long line within the area: only its part there is laid out, with its colours and
    // the selections given.
    void drawLongLine(QPainter &painter, const QTextBlock &block, const QPointF &offset,
                      const QRect &area, QList<QTextLayout::FormatRange> selections);
    // The carriers' pictographs among the text on screen, drawn as their pictures.
    void drawPictographs(const QRect &area);
    // Sets the runs over one block as its layout's formats.
    void drawBlock(QTextBlock block);
    // The colours of the text's [from, to) as formats counted from from.
    QList<QTextLayout::FormatRange> colourFormats(int from, int to) const;
    int m_silent = 0; // inside one operation that reports one change itself
    mutable PieceText m_text;
    mutable bool m_textValid = false;
    bool m_changed = false;
    // The colours, as runs of our own sorted by start; drawn as the layout's formats, so
    // that neither edits nor the images have to go through the document's formats.
    QList<ColorRun> m_runs;
    // Which colouring is drawn: a block whose state differs is drawn before it is shown.
    int m_generation = 0;
    // The forms of the characters read from the file where they are not the Windows form,
    // sorted by position; they follow edits as the runs do.
    Cp932::Forms m_forms;
    Cp932::LineEnds m_lineEnds = Cp932::LineEnds::CrLf;
    // The change an input method event makes, while it is handled: the document reports the
    // whole line as changed, and the forms of the rest of the line must stay.
    std::optional<Edit> m_inputEdit;
    // The display breaks.
    DisplayRows m_rows;
    // Inside putRows, whose change of the document is followed by the caller.
    bool m_cutting = false;
    // Inside a drop, whose edit block reports its change only once complete.
    bool m_dropping = false;
    // Document positions an edit left a long line between, to be cut into rows.
    std::optional<std::pair<int, int>> m_toBreak;
};
