// The main window's start and end: load sequence, settings, command line, unload.
#include "app/CommandTable.h"
#include "app/MDI_Main.h"
#include "app/MDI_Module.h"
#include "app/Settings.h"
#include "app/StatusPanels.h"
#include "app/TileLayout.h"
#include "documents/DocumentCommands.h"
#include "documents/OpenDocument.h"
#include "documents/RecoverPages.h"
#include "site/SitePane.h"
#include "taglib/TagLibraryCommands.h"
#include "platform/StepRunner.h"
#include "widgets/Twips.h"

#include <QAction>
#include <QCloseEvent>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLayout>
#include <QMenu>
#include <QScreen>
#include <QToolBar>
#include <algorithm>

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

// The least sizes of widget and what it holds are worked out again now, not at the next turn
// of the event loop.
void relayoutNow(QWidget &widget)
{
    for (QLayout *layout : widget.findChildren<QLayout *>())
        layout->invalidate();
    widget.updateGeometry();
}

// On a screen narrower than the window's bars (a small screen, or one scaled up), the status
// panels give up width first, all alike, and then the client area its scroll bars' width, so
// that the window fits with room for its frame.
void fitToWidth(QWidget &window, StatusPanels &bar, QWidget &clientArea, int screenWidth)
{
    const int target = screenWidth * 9 / 10;
    const int excess = window.minimumSizeHint().width() - target;
    if (excess <= 0)
        return;
    int total = 0;
    for (int i = 1; i <= 6; ++i)
        total += bar.panel(i)->minimumWidth();
    for (int i = 1; i <= 6; ++i) {
        QLabel *panel = bar.panel(i);
        const int width =
            std::max(panel->minimumWidth() * std::max(total - excess, total / 4) / total, 8);
        if (i == 1)
            panel->setMinimumWidth(width);
        else
            panel->setFixedWidth(width);
    }
    relayoutNow(bar);
    if (window.minimumSizeHint().width() > target) {
        clientArea.setMinimumWidth(std::min(clientArea.minimumSizeHint().width(), 48));
        relayoutNow(*clientArea.parentWidget());
    }
}

} // namespace

void MDI_Main::Load(const QStringList &paths)
{
    // 1. 80 % of the screen it opens on, centred, and never past the screen's edges.
    if (QScreen *screen = this->screen()) {
        const QRect area = screen->availableGeometry();
        fitToWidth(*this, *StatusBar1, *mdiArea, area.width());
        const QRect place = MainWindowPlace(area, minimumSizeHint());
        resize(place.size());
        move(place.topLeft());
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
    steps.run([this] { OfferLastSite(*this); });
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
