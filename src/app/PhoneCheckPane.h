#pragma once

#include "text/PhoneCheck.h"

#include <QDockWidget>
#include <QPointer>
#include <QTimer>

class QActionGroup;
class QListWidget;
class QListWidgetItem;
class QMenu;
class Form_Editer;
class MDI_Main;

// The 機種チェック pane under the documents: what in the active page the target phones cannot
// show, one finding a row, kept up with typing once the keys rest. Enter or a double-click on a
// finding puts the caret on its place. The target (表示 → 対象機種) is kept in a file of its own
// in the program folder.
class PhoneCheckPane : public QDockWidget
{
    Q_OBJECT
public:
    explicit PhoneCheckPane(MDI_Main &main);

    // The 対象機種 submenu, put into menu before the item before.
    void buildTargetMenu(QMenu *menu, QAction *before);
    const PhoneCheck::Target &target() const;
    // Chooses a target by its generation and keeps the choice.
    void chooseTarget(const QString &generation);
    // The pane's command: shows the pane with the keyboard in its list.
    void showAndFocus();
    // Checks the active page now rather than when typing rests.
    void checkNow();
    QListWidget *list() const { return m_list; }

    // The quiet time after the last key before the list follows.
    static constexpr int DelayMs = 300;
    // Rows shown at most; a page with more says how many more.
    static constexpr int MaxRows = 1000;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void follow(Form_Editer *doc);
    void jumpTo(QListWidgetItem *item);
    void changed();

    MDI_Main &m_main;
    QListWidget *m_list;
    QTimer m_timer;
    QPointer<Form_Editer> m_doc;
    QMetaObject::Connection m_docChange;
    QString m_generation;
    QActionGroup *m_targets = nullptr;
    bool m_stale = true;
};

// Makes the pane, hidden, its target submenu in the View menu and its command's handler.
PhoneCheckPane *InstallPhoneCheck(MDI_Main &main);
