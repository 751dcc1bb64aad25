#pragma once

#include "documents/DocumentHost.h"
#include "platform/CommonDialog.h"

#include <QHash>
#include <QMainWindow>
#include <QPointer>
#include <QStringList>
#include <functional>
#include <memory>

class QAction;
class QComboBox;
class QLabel;
class QMdiArea;
class QMdiSubWindow;
class QMenu;
class QToolBar;
class Form_Editer;
class Prompts;
class PreviewPane;
class PhoneCheckPane;
class RecoveryJournal;
class StatusPanels;
class WebBrowser;

// The program's one top-level window: owns the panes, bars and document windows, and routes
// every command to the handler that the subsystem owning it has registered. It is the host
// that documents, tools and the tag library see through DocumentHost.
class MDI_Main : public QMainWindow, public DocumentHost
{
    Q_OBJECT
public:
    MDI_Main(const QString &programFolder, Prompts *prompts, QWidget *parent = nullptr);
    ~MDI_Main() override;

    // The load sequence: size, settings, menus, show, apply settings, preview, and the pages
    // named on the command line.
    void Load(const QStringList &paths);
    // Pages a later start handed over: opened as command-line pages, and the window comes to
    // the front.
    void OpenHandedPages(const QStringList &paths);

    QString programFolder() const override { return m_programFolder; }
    Prompts *prompts() const override { return m_prompts; }
    CommonDialog &fileDialog() override { return CommonDialog1; }
    QWidget *dialogParent() const override { return const_cast<MDI_Main *>(this); }

    // Commands. Every menu item is a QAction named by its item; every button too, by its key.
    QAction *action(Command item) const;
    QAction *action(const QString &name) const;
    QMenu *menu(const QString &name) const;
    void setHandler(Command item, std::function<void()> handler) override;
    bool hasHandler(Command item) const { return m_handlers.contains(item.toString()); }
    void runCommand(Command item) override;
    bool isChecked(Command item) const override;
    void Toolbar1_ButtonClick(const QString &key);
    void Toolbar2_ButtonClick(int position);

    // Document state.
    Form_Editer *activeDocument() const override;
    QList<Form_Editer *> documents() const override;
    void addDocumentWindow(Form_Editer *doc) override;
    void documentActivated(Form_Editer &) override { EnableDocumentCommands(); }
    void documentUnloaded(Form_Editer &) override { DisableDocumentCommands(); }
    void EnableDocumentCommands();
    void DisableDocumentCommands();

    // Preview.
    void RefreshPreview();
    void refreshPreview() override { RefreshPreview(); }
    QString sizeText() const override;
    void Picture2_Resize();
    void Picture1_Resize();
    // The browser finished a document: the address box learns its address.
    void onDocumentComplete(const QString &address);

    // Status-bar panel 1.
    void showStatus(const QString &text) override;

    // The recent pages, newest first, as the File menu lists them.
    const QStringList &recentPages() const { return m_recentPages; }
    void pageUsed(const QString &path) override;
    // Opens a recent page as the open command does; one that is gone is reported and dropped.
    void openRecentPage(const QString &path);

    // The custom pointer, and the wait pointer while work takes time.
    void setBusyPointer() override;
    void restorePointer() override;

    RecoveryJournal *recoveryJournal() const override { return m_journal.get(); }
    PhoneCheckPane *phoneCheck() const { return m_phoneCheck; }

    QToolBar *Toolbar1 = nullptr;
    QToolBar *Toolbar2 = nullptr;
    QWidget *Picture1 = nullptr;
    QWidget *Picture2 = nullptr;
    QComboBox *Combo1 = nullptr;
    WebBrowser *WebBrowser1 = nullptr;
    QMdiArea *mdiArea = nullptr;
    StatusPanels *StatusBar1 = nullptr;
    CommonDialog CommonDialog1;

Q_SIGNALS:
    // Emitted when the main window is about to end, after the close queries agreed.
    void unloading();

protected:
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dropEvent(QDropEvent *event) override;

private:
    void buildMenus();
    void buildToolbar1();
    void buildPanes();
    void wireBuiltInCommands();
    void setDocumentItemsEnabled(bool enabled);
    void runItem(const QString &item);
    void OpenCommandLineFiles(const QStringList &paths);
    void ApplySettings();
    void Unload();
    void toggleWindowSize();
    void buildRecentMenu();
    void setRecentPages(const QStringList &pages);
    // The browser's own texts for the first panel; they wait while a notice is held.
    void showBrowserStatus(const QString &text);

    QString m_programFolder;
    Prompts *m_prompts;
    QHash<QString, QAction *> m_actions;
    QHash<QString, QMenu *> m_menus;
    QHash<QString, std::function<void()>> m_handlers;
    bool m_unloaded = false;
    QPointer<QMdiSubWindow> m_lastActive;
    QStringList m_recentPages;
    QMenu *m_recentMenu = nullptr;
    // A notice of showStatus stays in the first panel until the user's next key or click.
    bool m_noticeHeld = false;
    QPointer<QObject> m_noticeWatch;
    std::unique_ptr<RecoveryJournal> m_journal;
    PhoneCheckPane *m_phoneCheck = nullptr;
};
