#pragma once

#include "documents/CommandName.h"

#include <QList>
#include <QString>
#include <functional>

class CommonDialog;
class Form_Editer;
class Prompts;
class QWidget;
class RecoveryJournal;

// What documents, tools and the tag library may ask of the window that holds the documents.
// They see only this; the main window is the real host, and tests can stand in a small one.
class DocumentHost
{
public:
    virtual ~DocumentHost() = default;

    // The document the commands act on, or null; and every document window.
    virtual Form_Editer *activeDocument() const = 0;
    virtual QList<Form_Editer *> documents() const = 0;

    virtual Prompts *prompts() const = 0;
    // The folder of the program's own files, without a trailing separator.
    virtual QString programFolder() const = 0;
    // The one file dialog the main window's commands share, so it remembers its last folder.
    virtual CommonDialog &fileDialog() = 0;
    // The window that dialogs and tool windows belong to.
    virtual QWidget *dialogParent() const = 0;

    // Takes in a new document window, shows it and makes it the active one.
    virtual void addDocumentWindow(Form_Editer *doc) = 0;
    // A document window became the active one, or is going away.
    virtual void documentActivated(Form_Editer &doc) = 0;
    virtual void documentUnloaded(Form_Editer &doc) = 0;

    // The preview size as the status bar shows it ("3.14 KB"), which the size limit reads.
    virtual QString sizeText() const = 0;
    virtual void refreshPreview() = 0;

    virtual bool isChecked(Command item) const = 0;
    // Runs an item's command as its menu item does (nothing while the item is disabled).
    virtual void runCommand(Command item) = 0;
    virtual void setHandler(Command item, std::function<void()> handler) = 0;

    // A short notice in the status bar's first panel ("見つかりません").
    virtual void showStatus(const QString &text) = 0;
    // A page was opened from or written to this path: it goes to the front of the recent pages.
    virtual void pageUsed(const QString &path) = 0;

    // The wait pointer while work takes time, then the program's own pointer again.
    virtual void setBusyPointer() = 0;
    virtual void restorePointer() = 0;

    // Where document windows keep their unsaved text against a crash; none, no journal.
    virtual RecoveryJournal *recoveryJournal() const { return nullptr; }
};

// Refreshes the preview when real-time preview is on.
inline void FollowPreview(DocumentHost &host)
{
    if (host.isChecked(Cmd::m_vrpr))
        host.refreshPreview();
}
