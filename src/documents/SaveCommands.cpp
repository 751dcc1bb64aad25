#include "documents/SaveCommands.h"

#include "app/MDI_Main.h"
#include "app/StatusPanels.h"
#include "documents/Form_Editer.h"
#include "documents/PageWriter.h"
#include "documents/SizeLimit.h"
#include "platform/Prompts.h"
#include "platform/StepRunner.h"

namespace {
const QString SaveFilter =
    QStringLiteral("HTML,HTM|*.html;*.htm|JSP,ASP|*.jsp;*.asp|LBI|*.lbi|TMP|*.tmp|*.*|*.*");

// The error box at the end of a save: only the last failure is shown.
void ShowSaveError(MDI_Main &main, const StepRunner &steps)
{
    if (!steps.failed())
        return;
    const ZErrorInfo &e = *steps.lastError();
    main.prompts()->message(QStringLiteral("Error %1\r\n\r\n%2").arg(e.number).arg(e.description),
                            Prompt::Buttons::Ok, Prompt::Icon::Information,
                            QStringLiteral("Error"));
}
} // namespace

bool SizeCheck(MDI_Main &main, const Form_Editer &doc)
{
    if (!ExceedsSizeLimit(main.StatusBar1->panelText(2)))
        return true;
    return main.prompts()->message(
               doc.HtmlName() +
                   QStringLiteral("\r\n\r\nファイルサイズが 5KB を超えています。継続しますか？"),
               Prompt::Buttons::OkCancel, Prompt::Icon::Information,
               QStringLiteral("確認")) == Prompt::Answer::Ok;
}

void SaveCommand(MDI_Main &main)
{
    Form_Editer *doc = main.activeDocument();
    if (!doc)
        return;
    if (!SizeCheck(main, *doc))
        return;
    StepRunner steps;
    const bool confirmed =
        main.prompts()->message(doc->HtmlName() + QStringLiteral("\r\n\r\n編集内容を保存します。"),
                                Prompt::Buttons::OkCancel, Prompt::Icon::Information,
                                QStringLiteral("保存")) == Prompt::Answer::Ok;
    if (confirmed && doc->HtmlName() == Form_Editer::NewFileName) {
        // A cancelled dialog leaves the page modified: nothing was written.
        SaveAsCommand(main);
    } else if (confirmed) {
        // Unmodified only once the page is on disk; a failed write keeps the edit state.
        steps.run([&] {
            if (WritePage(main, *doc, doc->HtmlName()))
                doc->EditerFr = 2;
        });
    }
    ShowSaveError(main, steps);
}

void SaveAsCommand(MDI_Main &main)
{
    Form_Editer *doc = main.activeDocument();
    if (!doc)
        return;
    // A cancelled dialog is the failure of its step and ends the command quietly.
    StepRunner().run([&] {
        CommonDialog &dialog = main.CommonDialog1;
        dialog.Filter = SaveFilter;
        dialog.FileName = doc->HtmlName();
        dialog.Flags = CommonDialog::OverwritePrompt;
        dialog.DefaultExt = QStringLiteral("html");
        dialog.ShowSave();
        SaveDocumentAs(main, dialog.FileName);
    });
}

void SaveDocumentAs(MDI_Main &main, const QString &path)
{
    Form_Editer *doc = main.activeDocument();
    if (!doc)
        return;
    if (!SizeCheck(main, *doc))
        return;
    StepRunner steps;
    // The window takes the new name only with the page written under it, so that a failed
    // write leaves name, caption and edit state as they were.
    steps.run([&] {
        if (!WritePage(main, *doc, path))
            return;
        doc->setHtmlName(path);
        doc->EditerFr = 2;
    });
    ShowSaveError(main, steps);
}
