#pragma once

#include "text/Cp932.h"
#include "text/RichImage.h"

#include <QDateTime>
#include <QObject>
#include <QSet>
#include <QString>
#include <QStringList>
#include <QThreadPool>
#include <functional>

// A page's unsaved text kept on disk, so that a crash, a power cut or a killed process loses
// nothing typed. Each document window has its own journal in the folder: <id>.sjis holds the
// bytes Save would write (or <id>.utf8 the text, while it has characters Shift-JIS cannot
// hold), and <id>.rec a small record of the page's path, the time, the byte forms and line end
// of the page, and the size and digest of the text file it goes with. Both are replaced
// atomically, text first: a record that does not match its text file tells of an end between
// the two, and the text file alone then still gives the page back byte for byte. The folder is
// made private to the user (mode 700); one that is not the user's own, or that others may
// write, is never written nor read.
//
// Writes are encoded and written on a worker thread of their own, in the order asked, so that
// typing never waits for the disk; a removal asked after a write follows it.
class RecoveryJournal : public QObject
{
    Q_OBJECT
public:
    explicit RecoveryJournal(const QString &folder, QObject *parent = nullptr);
    // Waits for the writes asked for.
    ~RecoveryJournal() override;

    const QString &folder() const { return m_folder; }

    // A name for a new window's journal, unique to this run and to earlier ones.
    QString newId();
    // Writes the journal of a page (its path, or "新しいファイル") from a snapshot of its text.
    void write(const QString &id, const QString &page, const RichImage &image);
    // Removes a journal, after any write of it still under way.
    void remove(const QString &id);
    // Blocks until every write and removal asked so far is done.
    void waitForIdle();

    // Called on the owner's thread with the first failure of this run, as a short text for the
    // status bar; later failures stay silent, so that a full disk does not speak per keystroke.
    std::function<void(const QString &message)> onFailure;

    // A journal as found at the start.
    struct Found
    {
        QString id;
        QString page;
        QDateTime time;
        QString text;
        Cp932::Forms forms;
        Cp932::LineEnds lineEnds = Cp932::LineEnds::CrLf;
    };
    struct Unreadable
    {
        QString name; // the record file's
        QString reason;
    };
    struct Scan
    {
        QList<Found> pages; // oldest first
        QList<Unreadable> unreadable;
        // Why the folder itself is not read (a link, another user's, writable by others),
        // naming it; empty when it was read or is missing.
        QString refusedFolder;
    };
    // Reads the journals of a folder; a page without a file goes by newPage. Only this user's
    // own folder and files are read, never through a link; a record is read as untrusted
    // input (JournalRecord::read).
    static Scan scan(const QString &folder, const QString &newPage);
    // Deletes a journal's files at once (on the caller's thread), in this user's folder only.
    static void discard(const QString &folder, const QString &id);

private:
    void reportFailure(const QString &message);

    QString m_folder;
    QThreadPool m_worker;
    QString m_runStamp;
    int m_next = 0;
    bool m_reported = false;
};
