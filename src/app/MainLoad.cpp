// The main window's start and end: load sequence, settings, command line, unload.
#include "app/CommandTable.h"
#include "app/MDI_Main.h"
#include "app/MDI_Module.h"
#include "app/Settings.h"
#include "app/StatusPanels.h"
#include "documents/DocumentCommands.h"
#include "documents/OpenDocument.h"
#include "documents/RecoverPages.h"
#include "taglib/TagLibraryCommands.h"
#include "platform/StepRunner.h"
#include "widgets/Twips.h"

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

void MDI_Main::Load(const QStringList &paths)
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
    action(Cmd::m_eime)->setEnabled(false);
    setDocumentItemsEnabled(false);
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
    steps.run([this, &paths] { OpenCommandLineFiles(paths); });
    // 12. Unsaved work a crash left behind, with the window on screen.
    steps.run([this] { OfferRecovery(*this); });
}

void MDI_Main::ApplySettings()
{
    if (MDI_Module::OptTagColor)
        runCommand(Cmd::m_vtcl);
    if (MDI_Module::OptRealtimePreview)
        runCommand(Cmd::m_vrpr);
    runCommand(MDI_Module::OptWidth8 ? Cmd::m_vb08 : Cmd::m_vb10);
}

void MDI_Main::OpenCommandLineFiles(const QStringList &paths)
{
    for (const QString &path : paths) {
        StepRunner step;
        step.run([&] { OpenDocument(*this, path); });
        step.run([this] { RefreshPreview(); });
    }
}

void MDI_Main::OpenHandedPages(const QStringList &paths)
{
    if (m_unloaded)
        return;
    OpenCommandLineFiles(paths);
    // Restored from the task bar as it was, maximized or not.
    setWindowState((windowState() & ~Qt::WindowMinimized) | Qt::WindowActive);
    show();
    raise();
    activateWindow();
}

void MDI_Main::closeEvent(QCloseEvent *event)
{
    if (m_unloaded) {
        event->accept();
        return;
    }
    // Every document window is asked first; one refusal keeps everything open.
    if (!documents().isEmpty() && !QueryCloseDocuments(*this)) {
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
    steps.run([this] { CloseTagLibrary(*this); });
    steps.run([this] { CloseAllDocuments(*this); });
    steps.run([this] {
        SaveSettings(m_programFolder, isChecked(Cmd::m_vtcl), isChecked(Cmd::m_vrpr),
                     isChecked(Cmd::m_vb08), isChecked(Cmd::m_vb10));
    });
    steps.run([this] { showMinimized(); });
}

bool MDI_Main::isChecked(Command item) const
{
    QAction *a = action(item);
    return a && a->isChecked();
}

void MDI_Main::setDocumentItemsEnabled(bool enabled)
{
    using Av = CommandTable::Availability;
    for (const CommandTable::Item &item : CommandTable::items()) {
        if (item.available != Av::Document && item.available != Av::DocumentWithPictographs)
            continue;
        const bool on =
            enabled && (item.available == Av::Document || MDI_Module::PictographListFound);
        // The Edit and Window menus are hidden without a document, their items with them:
        // those keep their state, but for the pictograph item, which follows the list.
        const bool hiddenWithMenu = item.menu == QLatin1String("m_edit") ||
                                    item.menu == QLatin1String("m_win");
        if (!hiddenWithMenu || (item.available == Av::DocumentWithPictographs && on))
            action(item.name)->setEnabled(on);
        if (!item.button.isEmpty())
            action(CommandTable::buttonName(item))->setEnabled(on);
    }
}

void MDI_Main::EnableDocumentCommands()
{
    StepRunner steps;
    steps.run([this] { RefreshPreview(); });
    showMenu(*this, "m_edit", true);
    showMenu(*this, "m_win", true);
    setDocumentItemsEnabled(true);
}

void MDI_Main::DisableDocumentCommands()
{
    showMenu(*this, "m_edit", false);
    showMenu(*this, "m_win", false);
    setDocumentItemsEnabled(false);
}
