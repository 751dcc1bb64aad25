#pragma once

#include "platform/CommonDialog.h"

#include <QHash>
#include <QMainWindow>
#include <QPointer>
#include <functional>

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
class StatusPanels;
class WebBrowser;

// The program's one top-level window: owns the panes, bars and document windows, and routes
// every command to the handler that the subsystem owning it has registered.
class MDI_Main : public QMainWindow
{
    Q_OBJECT
public:
    MDI_Main(const QString &programFolder, Prompts *prompts, QWidget *parent = nullptr);
    ~MDI_Main() override;

    // The load sequence: size, settings, menus, show, apply settings, preview, command line.
    void Load(const QString &commandLine);

    const QString &programFolder() const { return m_programFolder; }
    Prompts *prompts() const { return m_prompts; }

    // Commands. Every menu item is a QAction named by its item; every button too, by its key.
    QAction *action(const QString &name) const;
    QMenu *menu(const QString &name) const;
    void setHandler(const QString &item, std::function<void()> handler);
    bool hasHandler(const QString &item) const { return m_handlers.contains(item); }
    // Runs an item's command as its menu item does (nothing when the item is disabled).
    void runCommand(const QString &item);
    void Toolbar1_ButtonClick(const QString &key);
    void Toolbar2_ButtonClick(int position);

    // Document state.
    Form_Editer *activeDocument() const;
    QList<Form_Editer *> documents() const;
    void EnableDocumentCommands();
    void DisableDocumentCommands();

    // Preview.
    void RefreshPreview();
    void Picture2_Resize();
    void Picture1_Resize();
    bool isChecked(const QString &item) const;
    // The browser finished a document: the address box learns its address.
    void onDocumentComplete(const QString &address);

    // The custom pointer, and the wait pointer while work takes time.
    void setBusyPointer();
    void restorePointer();

    QToolBar *Toolbar1 = nullptr;
    QToolBar *Toolbar2 = nullptr;
    QWidget *Picture1 = nullptr;
    QWidget *Picture2 = nullptr;
    QComboBox *Combo1 = nullptr;
    WebBrowser *WebBrowser1 = nullptr;
    QMdiArea *mdiArea = nullptr;
    StatusPanels *StatusBar1 = nullptr;
    CommonDialog CommonDialog1;
    // Where the colouring scan goes on: a 1-based position in the active document's text.
    int TagScanPos = 1;

    // Set by the documents subsystem: opens a path as a document window.
    std::function<void(const QString &)> OpenDocument;
    // Set by the documents subsystem: closes every document window.
    std::function<void()> CloseAllDocuments;
    // Called with the dropped paths, in list order.
    std::function<void(const QStringList &)> FilesDropped;
    // Set by the documents subsystem: the close query of every document window; false when
    // one of them refuses.
    std::function<bool()> QueryCloseDocuments;

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
    void OpenCommandLineFiles(const QString &commandLine);
    void ApplySettings();
    void Unload();
    void toggleWindowSize();

    QString m_programFolder;
    Prompts *m_prompts;
    QHash<QString, QAction *> m_actions;
    QHash<QString, QMenu *> m_menus;
    QHash<QString, std::function<void()>> m_handlers;
    bool m_unloaded = false;
    QPointer<QMdiSubWindow> m_lastActive;
};
