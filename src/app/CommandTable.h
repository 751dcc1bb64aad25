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
class CommandTable
{
public:
    enum class Availability { Always, Document };

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
    // Toolbar2 positions 1 to 8: tool tip, or empty for a separator.
    static const QStringList &toolbar2Tips();
    // The menu item that a Toolbar1 key or a Toolbar2 position runs.
    static QString itemForButton(const QString &key);
    static QString itemForPosition(int position);
    static const Item *find(const QString &name);
};
