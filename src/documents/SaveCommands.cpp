#include "documents/SaveCommands.h"

#include "documents/DocumentHost.h"
#include "documents/Form_Editer.h"
#include "documents/PageWriter.h"
#include "documents/SizeLimit.h"
#include "platform/ErrorBoxes.h"
#include "platform/Prompts.h"
#include "platform/CommonDialog.h"
#include "platform/StepRunner.h"

const QString SaveFilter =
    QStringLiteral("HTML,HTM|*.html;*.htm|JSP,ASP|*.jsp;*.asp|LBI|*.lbi|TMP|*.tmp|*.*|*.*");

namespace {

// The error box at the end of a save: only the last failure is shown.
void ReportSaveFailure(DocumentHost &host, const StepRunner &steps)
{
    if (steps.failed())
        ShowSaveError(*host.prompts(), *steps.lastError());
}
} // namespace

bool SizeCheck(DocumentHost &host, const Form_Editer &doc)
{
    if (!ExceedsSizeLimit(host.sizeText()))
        return true;
    return host.prompts()->message(
               doc.HtmlName() +
                   QStringLiteral("\r\n\r\nファイルサイズが 5KB を超えています。継続しますか？"),
               Prompt::Buttons::OkCancel, Prompt::Icon::Information,
               QStringLiteral("確認")) == Prompt::Answer::Ok;
}

void SaveCommand(DocumentHost &host)
{
    Form_Editer *doc = host.activeDocument();
    if (!doc)
        return;
    if (!SizeCheck(host, *doc))
        return;
    StepRunner steps;
    const bool confirmed =
        host.prompts()->message(doc->HtmlName() + QStringLiteral("\r\n\r\n編集内容を保存します。"),
                                Prompt::Buttons::OkCancel, Prompt::Icon::Information,
                                QStringLiteral("保存")) == Prompt::Answer::Ok;
    if (confirmed && doc->HtmlName() == Form_Editer::NewFileName) {
        // A cancelled dialog leaves the page modified: nothing was written.
        SaveAsCommand(host);
    } else if (confirmed) {
        // Unmodified only once the page is on disk; a failed write keeps the edit state.
        steps.run([&] {
            if (WritePage(host, *doc, doc->HtmlName())) {
                doc->EditerFr = Form_Editer::Unmodified;
                doc->updateJournal();
            }
        });
    }
    ReportSaveFailure(host, steps);
}

void SaveAsCommand(DocumentHost &host)
{
    Form_Editer *doc = host.activeDocument();
    if (!doc)
        return;
    // A cancelled dialog is the failure of its step and ends the command quietly.
    StepRunner().run([&] {
        CommonDialog &dialog = host.fileDialog();
        dialog.Filter = SaveFilter;
        dialog.FileName = doc->HtmlName();
        dialog.Flags = CommonDialog::OverwritePrompt;
        dialog.DefaultExt = QStringLiteral("html");
        dialog.ShowSave();
        SaveDocumentAs(host, dialog.FileName);
    });
}

void SaveDocumentAs(DocumentHost &host, const QString &path)
{
    Form_Editer *doc = host.activeDocument();
    if (!doc)
        return;
    if (!SizeCheck(host, *doc))
        return;
    StepRunner steps;
    // The window takes the new name only with the page written under it, so that a failed
    // write leaves name, caption and edit state as they were.
    steps.run([&] {
        if (!WritePage(host, *doc, path))
            return;
        doc->setHtmlName(path);
        doc->EditerFr = Form_Editer::Unmodified;
        doc->updateJournal();
    });
    ReportSaveFailure(host, steps);
}
