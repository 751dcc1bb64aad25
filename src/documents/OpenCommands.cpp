#include "documents/OpenCommands.h"

#include "documents/DocumentHost.h"
#include "documents/Form_Editer.h"
#include "documents/OpenDocument.h"
#include "documents/OpenTemplate.h"
#include "platform/CommonDialog.h"
#include "platform/ErrorBoxes.h"
#include "platform/FileReplace.h"
#include "platform/Prompts.h"
#include "widgets/RichTextBox.h"
#include "platform/StepRunner.h"

void OpenCommand(DocumentHost &host)
{
    // No initial name or folder: the dialog starts where its last use left it.
    StepRunner().run([&] {
        host.fileDialog().Filter =
            QStringLiteral("HTML,HTM|*.html;*.htm|JSP,ASP|*.jsp;*.asp|LBI|*.lbi|*.*|*.*");
        host.fileDialog().Flags = CommonDialog::OverwritePrompt;
        host.fileDialog().ShowOpen();
        OpenDocument(host, host.fileDialog().FileName);
    });
    host.restorePointer();
}

void OpenTemplateCommand(DocumentHost &host)
{
    StepRunner().run([&] {
        host.fileDialog().Filter = QStringLiteral("TMP|*.tmp|*.*|*.*");
        host.fileDialog().Flags = CommonDialog::OverwritePrompt;
        host.fileDialog().InitDir = host.programFolder();
        host.fileDialog().ShowOpen();
        OpenTemplate(host, host.fileDialog().FileName);
    });
}

void OpenDroppedFiles(DocumentHost &host, const QStringList &paths)
{
    for (const QString &path : paths)
        StepRunner().run([&] { OpenDocument(host, path); });
}

void ReloadCommand(DocumentHost &host)
{
    Form_Editer *doc = host.activeDocument();
    if (!doc)
        return;
    if (host.prompts()->message(doc->HtmlName() +
                                    QStringLiteral("\r\n\r\nデータの再読み込みを行います。"),
                                Prompt::Buttons::OkCancel, Prompt::Icon::Information,
                                QStringLiteral("再読み込み")) != Prompt::Answer::Ok)
        return;
    StepRunner steps;
    // A file that cannot be read leaves the text, so also its edit state, as it was; one that
    // is there but unreadable, or no file at all, is reported. (A page never saved has no
    // file: that is no news.)
    if (steps.run([&] { doc->RichTextBox1->LoadFile(doc->HtmlName()); })) {
        doc->EditerFr = Form_Editer::Unmodified;
        doc->updateJournal();
    } else if (!IsMissingFileNumber(steps.lastError()->number))
        ShowReadError(*host.prompts(), *steps.lastError(), doc->HtmlName());
    steps.run([&] { host.runCommand(Cmd::m_vtag); });
}
