#pragma once

#include "text/RichImage.h"

#include <QTimer>
#include <QWidget>

class QLabel;
class QMdiArea;
class DocumentHost;
class RichTextBox;

// A document window: one open page, its file name, its edit state and its one undo image.
class Form_Editer : public QWidget
{
    Q_OBJECT
public:
    static const QString NewFileName; // "新しいファイル"

    explicit Form_Editer(DocumentHost *host, QWidget *parent = nullptr);
    ~Form_Editer() override;

    // The file's full path, or "新しいファイル"; the caption always shows the same.
    const QString &HtmlName() const { return m_htmlName; }
    void setHtmlName(const QString &name);

    // The edit state; the numbers are those the program has always used.
    enum EditState : int {
        Created = 0,    // just made, nothing seen yet
        OneChange = 1,  // one change seen (the load), or a template loaded
        Unmodified = 2, // as on disk
        Modified = 3,
    };
    EditState EditerFr = Created;
    RichImage UndoBuff;
    RichImage BuffBuff;

    RichTextBox *RichTextBox1;
    QLabel *Label1;

    bool isModified() const { return EditerFr >= Modified; }
    DocumentHost *host() const { return m_host; }

    // The close request: asks about a modified page; false when the close is refused.
    bool QueryUnload();
    // Marks that the close request was already answered for this closing.
    void setCloseAgreed(bool agreed) { m_closeAgreed = agreed; }

    // Runs when the window becomes the active document window.
    void Activate();

    // Brings the recovery journal in line with the edit state now: written while the page holds
    // unsaved work, removed once it does not. Changes of the text do this by themselves once
    // typing rests; a save or a reload calls it at once.
    void updateJournal();
    // Takes over a journal found at the start, whose text the window now shows.
    void adoptJournal(const QString &id);
    // A window restored from a journal: its first save to its page asks first, as the page
    // named by a journal may not be the one the user thinks of.
    bool restoredFromJournal() const { return m_restored; }
    void setRestoredFromJournal(bool restored) { m_restored = restored; }
    // The window's journal name; empty while it has none.
    const QString &journalId() const { return m_journalId; }
    // True while a change waits for the quiet moment that writes it.
    bool journalPending() const { return m_journalTimer.isActive(); }
    // The quiet time after the last change before the journal is written, and the longest
    // time a change waits for it.
    static constexpr int JournalDelayMs = 2000;

    // A bar under the text (the find bar), which the window takes over; the text gives up
    // the bar's height while the bar is shown.
    void setBottomBar(QWidget *bar);
    QWidget *bottomBar() const { return m_bottomBar; }

protected:
    void resizeEvent(QResizeEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    void RichTextBox1_Change();
    bool RichTextBox1_KeyPress(QChar ch);
    bool saveOnClose();
    void layoutChildren();
    bool needsJournal() const;
    void removeJournal();

    DocumentHost *m_host;
    QString m_htmlName;
    QWidget *m_bottomBar = nullptr;
    bool m_closeAgreed = false;
    bool m_unloaded = false;
    QTimer m_journalTimer;
    QTimer m_journalDeadline;
    QString m_journalId;
    bool m_journaled = false;
    bool m_restored = false;
};

// The document windows of an area, in its order: what every host lists as its documents.
QList<Form_Editer *> DocumentWindowsIn(const QMdiArea &area);
