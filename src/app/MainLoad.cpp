// The main window's start and end: load sequence, settings, command line, unload.
#include "app/CommandLine.h"
#include "app/CommandTable.h"
#include "app/MDI_Main.h"
#include "app/MDI_Module.h"
#include "app/Settings.h"
#include "app/StatusPanels.h"
#include "platform/StepRunner.h"
#include "platform/Twips.h"

#include <QAction>
#include <QCloseEvent>
#include <QComboBox>
#include <QFile>
#include <QGuiApplication>
#include <QMenu>
#include <QScreen>
#include <QToolBar>

namespace {
// Shows or hides a menu in the menu bar. The items of a hidden menu keep working from the
// client-area pop-up, but their shortcut keys go with the menu, as its items are out of reach.
void showMenu(MDI_Main &main, const QString &name, bool shown)
{
    QMenu *menu = main.menu(name);
    menu->menuAction()->setVisible(shown);
    for (QAction *action : menu->actions())
        if (const CommandTable::Item *item = CommandTable::find(action->objectName()))
            action->setShortcut(shown ? item->key : QKeySequence());
}
} // namespace

void MDI_Main::Load(const QString &commandLine)
{
    // 1. 80 % of the screen, centred.
    if (QScreen *screen = QGuiApplication::primaryScreen()) {
        const QRect area = screen->geometry();
        resize(area.width() * 8 / 10, area.height() * 8 / 10);
        move(area.center() - QPoint(width() / 2, height() / 2));
    }
    // 2. Settings.
    LoadSettings(m_programFolder);
    // 3.
    Combo1->setEditText(QString());
    // 4.-6. The no-document state.
    showMenu(*this, "m_edit", false);
    showMenu(*this, "m_win", false);
    action("m_eime")->setEnabled(false);
    setDocumentItemsEnabled(false);
    action("t_ime")->setEnabled(false);
    // 7.
    show();
    // 8.
    ApplySettings();
    // 9.-11. A failing step is skipped and the next one runs.
    StepRunner steps;
    steps.run([this] {
        QFile preview(ProgramFiles::preview(m_programFolder));
        if (preview.open(QIODevice::WriteOnly | QIODevice::Truncate))
            preview.close();
    });
    steps.run([this] { RefreshPreview(); });
    steps.run([this, &commandLine] { OpenCommandLineFiles(commandLine); });
}

void MDI_Main::ApplySettings()
{
    if (MDI_Module::OptTagColor)
        runCommand("m_vtcl");
    if (MDI_Module::OptRealtimePreview)
        runCommand("m_vrpr");
    runCommand(MDI_Module::OptWidth8 ? "m_vb08" : "m_vb10");
}

void MDI_Main::OpenCommandLineFiles(const QString &commandLine)
{
    for (const QString &path : QuotedPaths(commandLine)) {
        StepRunner step;
        step.run([&] {
            if (OpenDocument)
                OpenDocument(path);
        });
        step.run([this] { RefreshPreview(); });
    }
}

void MDI_Main::closeEvent(QCloseEvent *event)
{
    if (m_unloaded) {
        event->accept();
        return;
    }
    // Every document window is asked first; one refusal keeps everything open.
    if (QueryCloseDocuments && !documents().isEmpty() && !QueryCloseDocuments()) {
        event->ignore();
        return;
    }
    Unload();
    event->accept();
}

void MDI_Main::Unload()
{
    m_unloaded = true;
    Q_EMIT unloading();
    StepRunner steps;
    steps.run([this] {
        if (CloseAllDocuments)
            CloseAllDocuments();
    });
    steps.run([this] {
        SaveSettings(m_programFolder, isChecked("m_vtcl"), isChecked("m_vrpr"),
                     isChecked("m_vb08"), isChecked("m_vb10"));
    });
    steps.run([this] { showMinimized(); });
}

bool MDI_Main::isChecked(const QString &item) const
{
    QAction *a = action(item);
    return a && a->isChecked();
}

void MDI_Main::setDocumentItemsEnabled(bool enabled)
{
    for (const char *name : {"m_mclos", "m_msave", "m_msaas", "m_minf", "m_mrel", "m_vtag",
                             "m_vpre", "t_load", "t_tag", "t_save", "t_name", "t_winV",
                             "t_winH", "t_winC", "t_pall", "t_col", "t_pre"})
        action(name)->setEnabled(enabled);
}

void MDI_Main::EnableDocumentCommands()
{
    StepRunner steps;
    steps.run([this] { RefreshPreview(); });
    showMenu(*this, "m_edit", true);
    showMenu(*this, "m_win", true);
    setDocumentItemsEnabled(true);
    if (MDI_Module::PictographListFound) {
        action("m_eime")->setEnabled(true);
        action("t_ime")->setEnabled(true);
    }
}

void MDI_Main::DisableDocumentCommands()
{
    showMenu(*this, "m_edit", false);
    showMenu(*this, "m_win", false);
    setDocumentItemsEnabled(false);
    // m_eime stays as it is: it is hidden with its menu.
    action("t_ime")->setEnabled(false);
}
