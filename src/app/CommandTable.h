#pragma once

#include <QHash>
#include <QKeySequence>
#include <QList>
#include <QString>

class QAction;
class QMenu;
class QMenuBar;
class QToolBar;
class QWidget;

// The program's whole command vocabulary in one table: every menu item with its caption,
// access key and shortcut, the tool-bar button that runs it and whether it needs a document.
// The File menu also holds the recent pages (最近使ったファイル, the submenu m_mmru right before
// lm2), which the main window builds itself: its items are pages, not commands. So does the
// View menu's 対象機種 (m_vtarget, right before m_vchk), whose items are phones.
class CommandTable
{
public:
    // When an item can be chosen: always; only with a document window open (items of the
    // Edit and Window menus go with their menu, which is hidden without one, so there only
    // their buttons are disabled); with a document and the pictograph list found; never.
    enum class Availability { Always, Document, DocumentWithPictographs, Never };

    struct Item
    {
        QString name;     // m_mopen; separators lm1, lv1...
        QString menu;     // m_menu, m_edit, m_view, m_navi, m_win
        QString caption;  // empty for a separator
        QKeySequence key;
        QString button;   // Toolbar1 key (t_open) or Toolbar2 position ("2:1")
        QString toolTip;
        Availability available = Availability::Always;
        bool isSeparator() const { return caption.isEmpty(); }
    };

    struct Menu
    {
        QString name;
        QString caption;
    };

    static const QList<Menu> &menus();
    static const QList<Item> &items();
    // Toolbar1 keys left to right; an empty key stands for a separator.
    static const QStringList &toolbar1Keys();
    // Toolbar2 positions 1 to 8: the button's picture key, or empty for a separator. The
    // buttons at 7 and 8 are also known by these keys; the others only by their position.
    static const QStringList &toolbar2Keys();
    // Toolbar2 positions 1 to 8: tool tip, or empty for a separator.
    static QString toolbar2Tip(int position);
    // The menu item that a Toolbar1 key or a Toolbar2 position runs.
    static QString itemForButton(const QString &key);
    static QString itemForPosition(int position);
    static const Item *find(const QString &name);
    // The button of an item: its Toolbar1 key or, on Toolbar2, the object name of its button
    // ("Toolbar2_1", "t_pre"); empty for an item without one.
    static QString buttonName(const Item &item);
};
