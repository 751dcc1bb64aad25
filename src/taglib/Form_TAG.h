#pragma once

#include "platform/CommonDialog.h"
#include "platform/Prompts.h"
#include "taglib/TagLibraryFile.h"

#include <QHash>
#include <QIcon>
#include <QMainWindow>
#include <optional>

class DocumentHost;
class QAction;
class QKeyEvent;
class QMenu;
class QToolBar;
class QTreeWidget;
class QTreeWidgetItem;

// "My TAG Library": the user's tags with comments, inserted at the caret of the active
// document. The list is the only copy of the library while the window lives; it is written
// back only when the window is unloaded and the user agrees.
class Form_TAG : public QMainWindow
{
    Q_OBJECT
public:
    explicit Form_TAG(DocumentHost &host);

    QString LibraryName;
    bool LibraryEdited = false;

    QTreeWidget *ListView1 = nullptr;
    QToolBar *Toolbar1 = nullptr;
    QHash<QString, QIcon> ImageList1;
    QMenu *m_menu = nullptr;
    CommonDialog CommonDialog1;

    // The window's menu items and buttons, by name ("m_mtin", "t_inp"...).
    QAction *action(const QString &name) const;

    // Reads the library named by the pointer file into a freshly placed window.
    void Form_Load();
    void ReloadLibrary();
    void SwitchLibraryFile(const QString &path);
    void CreateLibraryFile(const QString &path);

    // The rows as they are shown, which is the order they are saved in.
    QList<TagLibraryEntry> entries() const;
    // True once the window has been unloaded; a hidden window is still loaded.
    bool isUnloaded() const { return m_unloaded; }

    void Toolbar1_ButtonClick(const QString &key);
    void ListView1_ColumnClick(int column);

    void m_mtin_Click();
    void m_madd_Click();
    void m_medi_Click();
    void m_mdel_Click();
    void m_mnew_Click();
    void m_mche_Click();
    void m_mref_Click() { ReloadLibrary(); }
    void m_mwin_Click();
    void m_mexit_Click() { hide(); }

protected:
    void closeEvent(QCloseEvent *event) override;
    bool event(QEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void buildMenu();
    // This window's item whose key the main window holds too.
    QAction *ownKeyOverMainWindow(const QKeyEvent *event) const;
    void buildToolbar();
    void buildList();
    void addRow(const TagLibraryEntry &entry);
    void keepSorted();
    void Form_Unload();
    void saveLibrary();
    // Writes rows to path; a file other than the library in use becomes the one in use.
    std::optional<ZErrorInfo> writeLibrary(const QString &path, const QList<TagLibraryEntry> &rows);
    // Asks before the save replaces a library file that was not read whole.
    bool mayOverwriteUnreadLibrary();
    // Asks for another file after a failed save; nothing when the user gives up.
    std::optional<QString> askOtherLibraryFile(const ZErrorInfo &failure);
    std::optional<QString> chooseLibraryFile();
    // Asks for a comment or tag until it can be kept in the library file; empty when cancelled.
    QString askEntryText(InputRequest request);
    // Runs a menu command; a dialog it showed leaves this window active again.
    void runKeepingFocus(void (Form_TAG::*handler)());

    DocumentHost &m_host;
    QHash<QString, QAction *> m_actions;
    int m_sortColumn = -1; // -1 while the list keeps the file's order
    bool m_unloaded = false;
    // The last read of LibraryName, when it failed: what a save over it would lose.
    std::optional<ZErrorInfo> m_readFailure;
    QString m_droppedLine;
};
