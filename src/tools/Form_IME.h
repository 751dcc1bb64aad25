#pragma once

#include "tools/ImageStore.h"

#include <QHash>
#include <QMainWindow>

class QAction;
class QListWidget;
class QListWidgetItem;
class QMenu;
class QToolBar;
class DocumentHost;

// The pictograph picker "i-mode 絵文字": a grid of the pictographs of the list file beside
// the program; choosing one inserts its numeric character reference into the active page.
// Hiding keeps it loaded with its list; closing it by its title bar unloads it.
class Form_IME : public QMainWindow
{
    Q_OBJECT
public:
    // The entry's data role holding its insertion text.
    static constexpr int InsertionTextRole = Qt::UserRole;

    explicit Form_IME(DocumentHost &host);

    // The window's load: reads the list, then takes the top half of the main window.
    void Load();
    bool isUnloaded() const { return m_unloaded; }

    // The picker's own menu items and buttons, by name.
    QAction *action(const QString &name) const { return m_actions.value(name); }

    void m_mime_Click();
    void m_mtyu_Click();
    void m_mref_Click();
    void m_mwin_Click();
    void m_mexit_Click();
    void Toolbar1_ButtonClick(const QString &key);

    ImageStore ImageList2;
    QListWidget *ListView1 = nullptr;
    QToolBar *Toolbar1 = nullptr;
    QMenu *m_menu = nullptr;

protected:
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void buildMenu();
    void buildToolbar();
    void buildList();
    QAction *addItem(const QString &name, const QString &caption, const QKeySequence &key);
    void loadImages();
    void fillList();
    void Form_Resize();
    void ListView1_ItemClick(QListWidgetItem *item);
    void ListView1_Click();

    DocumentHost &m_host;
    QWidget *m_client = nullptr;
    QHash<QString, QAction *> m_actions;
    bool m_unloaded = false;
};
