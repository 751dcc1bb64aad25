#pragma once

#include "platform/RichImage.h"
#include "platform/SystemColor.h"

#include <QPlainTextEdit>
#include <QTextBlock>
#include <functional>

// The document's text control. Positions count characters of Text(), one character per line
// end; files are code page 932 with CR LF line ends. The control's own undo is off: the
// document window keeps its own images.
class RichTextBox : public QPlainTextEdit
{
    Q_OBJECT
public:
    static constexpr quint32 WindowTextColor = SystemColor::WindowText;

    explicit RichTextBox(QWidget *parent = nullptr);

    QString Text() const;
    void setText(const QString &text);
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

    // Throws ZError when the file cannot be read; the content then stays as it was.
    void LoadFile(const QString &path);
    // Writes the text as code page 932 with CR LF (fileType 1); throws ZError on failure,
    // with the file on disk left whole. Characters code page 932 cannot hold are refused.
    void SaveFile(const QString &path, int fileType = 1);
    // The preview copy: written in place, unwritable characters as character references.
    void SavePreviewFile(const QString &path) const;
    // The bytes SaveFile writes.
    QByteArray fileBytes() const;

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
    bool event(QEvent *event) override;
    void contextMenuEvent(QContextMenuEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    class Batch;
    void onContentsChange(int position, int removed, int added);
    // Colours the characters [from, to); the default colour leaves them without a run.
    void paint(int from, int to, quint32 color);
    void recolor(int from, int to);
    void followText(int position, int removed, int added);
    // Sets the whole text, cursor at the start.
    void replaceAll(const QString &text);
    void adoptText(const PieceText &text);
    const PieceText &pieces() const;
    // All colours changed: the blocks on screen are drawn now, the rest as they are shown.
    void redrawAll();
    void drawVisibleBlocks();
    // The carriers' pictographs among the text on screen, drawn as their pictures.
    void drawPictographs(const QRect &area);
    // Sets the runs over one block as its layout's formats.
    void drawBlock(QTextBlock block);
    int m_silent = 0; // inside one operation that reports one change itself
    mutable PieceText m_text;
    mutable bool m_textValid = false;
    bool m_changed = false;
    // The colours, as runs of our own sorted by start; drawn as the layout's formats, so
    // that neither edits nor the images have to go through the document's formats.
    QList<ColorRun> m_runs;
    // Which colouring is drawn: a block whose state differs is drawn before it is shown.
    int m_generation = 0;
};
