// The main window's start and end: load sequence, settings, command line, unload.
#include "app/CommandLine.h"
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
    menu("m_edit")->menuAction()->setVisible(false);
    menu("m_win")->menuAction()->setVisible(false);
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
    menu("m_edit")->menuAction()->setVisible(true);
    menu("m_win")->menuAction()->setVisible(true);
    setDocumentItemsEnabled(true);
    if (MDI_Module::PictographListFound) {
        action("m_eime")->setEnabled(true);
        action("t_ime")->setEnabled(true);
    }
}

void MDI_Main::DisableDocumentCommands()
{
    menu("m_edit")->menuAction()->setVisible(false);
    menu("m_win")->menuAction()->setVisible(false);
    setDocumentItemsEnabled(false);
    // m_eime stays as it is: it is hidden with its menu.
    action("t_ime")->setEnabled(false);
}
